#include "platform/PreviewPage.h"

bool PreviewPage::keepQuiet()
{
    if (!quiet_)
        return false;
    if (!reported_) {
        reported_ = true;
        emit dialogSuppressed();
    }
    return true;
}

void PreviewPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (!keepQuiet())
        QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool PreviewPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    return !keepQuiet() && QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool PreviewPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                   const QString& defaultValue, QString* result)
{
    return !keepQuiet() &&
           QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}
