// Find and replace: the two modeless dialogs and the search position they share.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/FindDialog.h"
#include "platform/Platform.h"
#include "text/SourceEditor.h"

void TForm1::connectSearchCommands()
{
    FindDialog1 = new FindDialog(FindDialog::Mode::Find, this);
    ReplaceDialog1 = new FindDialog(FindDialog::Mode::Replace, this);
    connect(ui->N30, &QAction::triggered, this, &TForm1::N30Click);
    connect(ui->N39, &QAction::triggered, this, &TForm1::N39Click);
    connect(ui->SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    connect(FindDialog1, &FindDialog::findNext, this, &TForm1::FindDialog1Find);
    connect(ReplaceDialog1, &FindDialog::findNext, this, &TForm1::ReplaceDialog1Find);
    connect(ReplaceDialog1, &FindDialog::replace, this, &TForm1::ReplaceDialog1Replace);
    connect(ReplaceDialog1, &FindDialog::replaceAll, this, &TForm1::ReplaceDialog1ReplaceAll);
}

void TForm1::openSearchDialog(FindDialog* dialog)
{
    // Also when the dialog is already open: the search starts again from the selection's end.
    search_.anchor(*RichEdit1);
    dialog->Execute();
}

void TForm1::N30Click()
{
    openSearchDialog(FindDialog1);
}

void TForm1::N39Click()
{
    openSearchDialog(ReplaceDialog1);
}

void TForm1::SpeedButton8Click()
{
    openSearchDialog(FindDialog1);
}

void TForm1::searchStep(FindDialog* dialog)
{
    if (!search_.findNext(*RichEdit1, dialog->FindText()))
        platform_.dialogs().showMessage(dialog, SearchState::textNotFoundMessage);
}

void TForm1::FindDialog1Find()
{
    searchStep(FindDialog1);
}

void TForm1::ReplaceDialog1Find()
{
    searchStep(ReplaceDialog1);
}

void TForm1::ReplaceDialog1Replace()
{
    SearchState::replaceSelection(*RichEdit1, ReplaceDialog1->ReplaceText());
}

void TForm1::ReplaceDialog1ReplaceAll()
{
    if (!SearchState::replaceAll(*RichEdit1, ReplaceDialog1->FindText(),
                                 ReplaceDialog1->ReplaceText())) {
        platform_.dialogs().showMessage(ReplaceDialog1, SearchState::textNotFoundMessage);
        return;
    }
    RichEdit1->SetHideSelection(false);
}
