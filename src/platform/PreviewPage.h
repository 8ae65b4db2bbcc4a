#pragma once

#include <QWebEnginePage>

// The preview's page. While the live preview updates a page in place, a page that greets its
// reader with alert, confirm or prompt would do so at every pause in typing: those updates keep
// the dialogs quiet (confirm answers no, prompt cancels) and say so once per load.
class PreviewPage : public QWebEnginePage
{
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

    // Whether the load that starts next is a live update of the page shown.
    void setQuietDialogs(bool quiet)
    {
        quiet_ = quiet;
        reported_ = false;
    }
    bool quietDialogs() const { return quiet_; }

signals:
    // A dialog of the page was kept quiet; once per load.
    void dialogSuppressed();

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                          const QString& defaultValue, QString* result) override;

private:
    // True when the dialog is to stay quiet.
    bool keepQuiet();

    bool quiet_ = false;
    bool reported_ = false;
};
