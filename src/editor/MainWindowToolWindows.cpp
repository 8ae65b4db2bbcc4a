// The commands that show the program's other windows: the tool windows, whose menu items carry a
// check mark while they are shown, and the about window.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"
#include "utilities/ToolWindowToggle.h"

void TForm1::setSecondaryWindows(const SecondaryWindows& windows)
{
    windows_ = windows;
    if (windows_.form5) {
        connect(ui->N37, &QAction::triggered, this, &TForm1::N37Click, Qt::UniqueConnection);
        connect(windows_.form5, &TForm5::closed, ui->N37, [this] { ui->N37->setChecked(false); });
    }
    if (windows_.form7) {
        connect(ui->N31, &QAction::triggered, this, &TForm1::N31Click, Qt::UniqueConnection);
        connect(windows_.form7, &TForm7::closed, ui->N31, [this] { ui->N31->setChecked(false); });
    }
    if (windows_.aboutBox)
        connect(ui->N36, &QAction::triggered, this, &TForm1::N36Click, Qt::UniqueConnection);
}

void TForm1::N37Click()
{
    toggleToolWindow(*ui->N37, *windows_.form5);
}

void TForm1::N31Click()
{
    toggleToolWindow(*ui->N31, *windows_.form7);
}

void TForm1::N36Click()
{
    windows_.aboutBox->show();
    windows_.aboutBox->raise();
}
