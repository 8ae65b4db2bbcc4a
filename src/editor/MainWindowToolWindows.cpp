// The commands that show the program's other windows: the tool windows, whose menu items carry a
// check mark while they are shown, and the about window. The windows themselves are wired to these
// requests at start-up.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

void TForm1::connectToolWindowCommands()
{
    connect(ui->N37, &QAction::triggered, this, &TForm1::N37Click);
    connect(ui->N31, &QAction::triggered, this, &TForm1::N31Click);
    connect(ui->N36, &QAction::triggered, this, &TForm1::N36Click);
}

// By the time an item's triggered signal arrives, Qt has flipped its check mark: a mark now set
// asks for the window, a mark now clear closes it.
void TForm1::N37Click()
{
    emit colourHelperToggled(ui->N37->isChecked());
}

void TForm1::N31Click()
{
    emit screenLensToggled(ui->N31->isChecked());
}

void TForm1::N36Click()
{
    emit aboutBoxRequested();
}

void TForm1::colourHelperClosed()
{
    ui->N37->setChecked(false);
}

void TForm1::screenLensClosed()
{
    ui->N31->setChecked(false);
}
