#include "app/ProgramWindows.h"

#include "editor/FullScreenPreview.h"
#include "editor/MainWindow.h"
#include "platform/AccessibleRoles.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"
#include "utilities/ToolWindowToggle.h"

ProgramWindows::ProgramWindows(Platform& platform, const QString& templateDirectory)
{
    // Before the first window, so that each is exposed as a window from the start.
    AccessibleRoles::install();
    mainWindow = std::make_unique<TForm1>(platform);
    fullScreenPreview = std::make_unique<TForm2>(platform);
    templateChooser = std::make_unique<TForm3>(platform, *mainWindow, templateDirectory);
    templateBuilder = std::make_unique<TForm4>(platform, *mainWindow, templateDirectory);
    colourHelper = std::make_unique<TForm5>(platform);
    aboutBox = std::make_unique<TAboutBox>(platform);
    screenLens = std::make_unique<TForm7>(platform);
    for (QWidget* window :
         std::initializer_list<QWidget*>{fullScreenPreview.get(), templateChooser.get(),
                                         templateBuilder.get(), colourHelper.get(), aboutBox.get()})
        AccessibleRoles::markWindow(*window);
    connectWindows();
}

// The windows meet only here: the main window asks for the others, they report back to it.
void ProgramWindows::connectWindows()
{
    TForm1* main = mainWindow.get();
    TForm2* fullScreen = fullScreenPreview.get();
    QObject::connect(
        main, &TForm1::fullScreenPreviewRequested, fullScreen,
        [fullScreen](int screenMode, const QString& savedFile, const QByteArray& charset) {
            fullScreen->showFullScreenPreview(screenMode);
            if (!savedFile.isEmpty())
                fullScreen->navigate(savedFile, charset);
        });

    QObject::connect(main, &TForm1::templateChooserRequested, templateChooser.get(),
                     &TForm3::OpenOverMainWindow);
    QObject::connect(templateChooser.get(), &TForm3::templateChosen, main,
                     &TForm1::StartDocumentFromTemplate);
    QObject::connect(main, &TForm1::templateBuilderRequested, templateBuilder.get(),
                     &TForm4::OpenOverMainWindow);

    TForm5* helper = colourHelper.get();
    QObject::connect(main, &TForm1::colourHelperToggled, helper,
                     [helper](bool shown) { showToolWindow(*helper, shown); });
    QObject::connect(helper, &TForm5::closed, main, &TForm1::colourHelperClosed);
    TForm7* lens = screenLens.get();
    QObject::connect(main, &TForm1::screenLensToggled, lens,
                     [lens](bool shown) { showToolWindow(*lens, shown); });
    QObject::connect(lens, &TForm7::closed, main, &TForm1::screenLensClosed);
    TAboutBox* about = aboutBox.get();
    QObject::connect(main, &TForm1::aboutBoxRequested, about, [about] {
        about->show();
        about->raise();
    });
}

// The secondary windows go first: they refer to the main window (the template windows enable and
// disable it).
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
