#pragma once

#include "platform/LoopbackFileAddress.h"

#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

class LoopbackFileServer;

// Keeps local pages to what a browser allows a page opened from disk: every local file is shown
// under its own origin, so a page may show other local files (pictures, stylesheets, scripts,
// media, fonts, frames) but its scripts cannot read them. A request under another file's origin
// is moved to the file's own, so frames and windows of other files are other origins. The engine
// lets local origins read each other freely, so a script's read (XMLHttpRequest) is allowed
// only of a file under its own origin by that origin itself. file: URLs go through our scheme,
// under the same rules.
//
// The engine also lets a page read the pixels of any picture (drawn on a canvas), media frame
// or the rules of any stylesheet that our scheme answers, whatever its origin: another file's
// pictures, media and stylesheets are therefore loaded from the loopback file server, started at
// the first of them, where the web's own rules keep them from the page's scripts.
class LocalPageRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    enum class Action {
        Allow,
        Block,
        // Load the file under its own origin of our scheme (target()).
        MoveToOwnOrigin,
        // Load the file from the loopback file server, under its own origin there.
        MoveToLoopback,
    };

    // What becomes of a request for `url` of `type` made by a document of origin `initiator`
    // (empty for the preview's own navigations), while the loopback server has `loopback`
    // addresses (invalid before it started).
    static Action action(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type,
                         const QUrl& initiator, const LoopbackFileAddress& loopback = {});
    // The URL of the file `url` names under its own origin of our scheme (for MoveToOwnOrigin),
    // or of the loopback server when `loopback` is given (for MoveToLoopback).
    static QUrl target(const QUrl& url, const LoopbackFileAddress& from = {},
                       const LoopbackFileAddress& to = {});

    explicit LocalPageRequestGuard(QObject* parent = nullptr);
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    // The loopback server, started at the first request that needs it; null when it cannot start.
    LoopbackFileServer* loopbackServer();

    LoopbackFileServer* server_ = nullptr;
    bool serverFailed_ = false;
};
