// The preview: refresh (save, then reload or load the saved file), its history buttons, the
// focus after a page has loaded, and the full-screen preview.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/FullScreenPreview.h"
#include "platform/Browser.h"
#include "text/SourceEditor.h"

void TForm1::connectPreviewCommands()
{
    connect(ui->N21, &QAction::triggered, this, &TForm1::N21Click);
    connect(ui->SpeedButton10, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
    connect(ui->SpeedButton11, &QToolButton::clicked, this, &TForm1::SpeedButton11Click);
    connect(ui->SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
    connect(ui->N27, &QAction::triggered, this, &TForm1::Action1Execute);
    connect(WebBrowser1, &Browser::commandStateChange, this,
            &TForm1::WebBrowser1CommandStateChange);
    connect(WebBrowser1, &Browser::documentComplete, this, &TForm1::WebBrowser1DocumentComplete);
}

void TForm1::navigatePreview()
{
    previewFile_ = currentFileName_;
    WebBrowser1->navigate(currentFileName_);
}

void TForm1::N21Click()
{
    RefreshPreview();
}

void TForm1::SpeedButton10Click()
{
    RefreshPreview();
}

void TForm1::RefreshPreview()
{
    if (!RichEdit1->Modified())
        return;
    if (currentFileName_ == UntitledName) {
        if (SaveDocumentAs())
            navigatePreview();
        return;
    }
    if (!writeTo(currentFileName_))
        return;
    RichEdit1->SetModified(false);
    setStatusPanel(0, QString());
    // Reload what the preview shows (it may be a page the user followed a link to), unless the
    // preview has never been sent this document's file: then load the file.
    if (previewFile_ == currentFileName_)
        WebBrowser1->refresh();
    else
        navigatePreview();
}

void TForm1::SpeedButton11Click()
{
    WebBrowser1->goBack();
}

void TForm1::SpeedButton12Click()
{
    WebBrowser1->goForward();
}

void TForm1::WebBrowser1CommandStateChange(int command, bool enable)
{
    if (command == Browser::ForwardCommand)
        ui->SpeedButton12->setEnabled(enable);
    else if (command == Browser::BackCommand)
        ui->SpeedButton11->setEnabled(enable);
}

void TForm1::WebBrowser1DocumentComplete()
{
    // While a template window keeps this window disabled the editor cannot take the focus.
    if (isEnabled() && RichEdit1->isEnabled())
        RichEdit1->setFocus();
}

void TForm1::Action1Execute()
{
    if (!windows_.form2)
        return;
    windows_.form2->showFullScreenPreview(ScreenMode());
    if (!currentFileName_.isEmpty() && currentFileName_ != UntitledName)
        windows_.form2->navigate(currentFileName_);
}
