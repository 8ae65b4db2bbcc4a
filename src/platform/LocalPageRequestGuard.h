#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

// Keeps local pages to what a browser allows a page opened from disk: every local file is shown
// under its own origin, so a page may show other local files (pictures, stylesheets, scripts,
// media, fonts, frames) but its scripts cannot read them. A request under another file's origin
// is moved to the file's own, so frames and windows of other files are other origins. The engine
// lets local origins read each other freely, so a script's read (XMLHttpRequest) is allowed
// only of a file under its own origin by that origin itself. file: URLs go through our scheme,
// under the same rules.
class LocalPageRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    enum class Action {
        Allow,
        Block,
        // Load the file under its own origin (target()).
        MoveToOwnOrigin,
    };

    // What becomes of a request for `url` of `type` made by a document of origin `initiator`
    // (empty for the preview's own navigations).
    static Action action(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type,
                         const QUrl& initiator);
    // The URL of the file `url` names under its own origin (for MoveToOwnOrigin).
    static QUrl target(const QUrl& url);

    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
