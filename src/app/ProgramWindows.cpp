#include "app/ProgramWindows.h"

#include "editor/FullScreenPreview.h"
#include "editor/MainWindow.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

ProgramWindows::ProgramWindows(Platform& platform, const QString& templateDirectory)
{
    mainWindow = std::make_unique<TForm1>(platform);
    fullScreenPreview = std::make_unique<TForm2>(platform);
    templateChooser = std::make_unique<TForm3>(platform, *mainWindow, templateDirectory);
    templateBuilder = std::make_unique<TForm4>(platform, *mainWindow, templateDirectory);
    colourHelper = std::make_unique<TForm5>(platform);
    aboutBox = std::make_unique<TAboutBox>(platform);
    screenLens = std::make_unique<TForm7>(platform);
    mainWindow->setSecondaryWindows({fullScreenPreview.get(), templateChooser.get(),
                                     templateBuilder.get(), colourHelper.get(), aboutBox.get(),
                                     screenLens.get()});
}

// The secondary windows go first: the main window outlives the windows it points to.
ProgramWindows::~ProgramWindows()
{
    screenLens.reset();
    aboutBox.reset();
    colourHelper.reset();
    templateBuilder.reset();
    templateChooser.reset();
    fullScreenPreview.reset();
    mainWindow.reset();
}
