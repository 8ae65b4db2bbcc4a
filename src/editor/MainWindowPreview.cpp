// The preview: refresh (the session saves, then the preview reloads or loads the saved file), its
// history buttons, the focus after a page has loaded, and the request for the full-screen
// preview.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

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
    // The preview is told the saved file's charset, for pages that do not declare it.
    connect(session_.get(), &DocumentSession::previewNavigationRequested, WebBrowser1,
            [this](const QString& path) {
                WebBrowser1->setDefaultTextEncoding(charsetName(session_->format()));
                WebBrowser1->navigate(path);
            });
    connect(session_.get(), &DocumentSession::previewRefreshRequested, WebBrowser1, [this] {
        WebBrowser1->setDefaultTextEncoding(charsetName(session_->format()));
        WebBrowser1->refresh();
    });
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
    session_->refreshPreview();
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
    // While a template window keeps this window disabled, setFocus leaves the focus alone.
    RichEdit1->setFocus();
}

void TForm1::Action1Execute()
{
    emit fullScreenPreviewRequested(ScreenMode(), fullScreenPage(),
                                    charsetName(session_->format()));
}
