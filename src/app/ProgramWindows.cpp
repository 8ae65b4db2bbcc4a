#include "app/ProgramWindows.h"

#include "editor/Unit1.h"
#include "editor/Unit2.h"
#include "templates/Unit3.h"
#include "templates/Unit4.h"
#include "utilities/Unit5.h"
#include "utilities/Unit6.h"
#include "utilities/Unit7.h"

ProgramWindows::ProgramWindows(Platform& platform, const QString& templateDirectory)
{
    form1 = std::make_unique<TForm1>(platform);
    form2 = std::make_unique<TForm2>(platform);
    form3 = std::make_unique<TForm3>(platform, *form1, templateDirectory);
    form4 = std::make_unique<TForm4>(platform, *form1, templateDirectory);
    form5 = std::make_unique<TForm5>(platform);
    aboutBox = std::make_unique<TAboutBox>(platform);
    form7 = std::make_unique<TForm7>(platform);
    form1->setSecondaryWindows(
        {form2.get(), form3.get(), form4.get(), form5.get(), aboutBox.get(), form7.get()});
}

// The secondary windows go first: the main window outlives the windows it points to.
ProgramWindows::~ProgramWindows()
{
    form7.reset();
    aboutBox.reset();
    form5.reset();
    form4.reset();
    form3.reset();
    form2.reset();
    form1.reset();
}
