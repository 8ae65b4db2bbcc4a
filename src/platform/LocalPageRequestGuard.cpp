#include "platform/LocalPageRequestGuard.h"

#include "platform/LocalPageSchemeHandler.h"
#include "platform/LoopbackFileServer.h"

#include <QDir>
#include <cstdio>

using ResourceType = QWebEngineUrlRequestInfo::ResourceType;

namespace {

bool isScriptRead(ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeXhr;
}

// What a page's scripts could read from when it is answered by our scheme: a picture's or a
// video's pixels through a canvas, a stylesheet's rules.
bool isReadableWhenShown(ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeImage ||
           type == QWebEngineUrlRequestInfo::ResourceTypeStylesheet ||
           type == QWebEngineUrlRequestInfo::ResourceTypeMedia;
}

bool isSameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port();
}

QString filePathOf(const QUrl& url, const LoopbackFileAddress& loopback)
{
    if (url.isLocalFile())
        return QDir::cleanPath(url.toLocalFile());
    const QString served = loopback.filePath(url);
    return served.isEmpty() ? LocalPageSchemeHandler::filePath(url) : served;
}

} // namespace

LocalPageRequestGuard::Action LocalPageRequestGuard::action(const QUrl& url, ResourceType type,
                                                            const QUrl& initiator,
                                                            const LoopbackFileAddress& loopback)
{
    const bool onLoopback = !loopback.filePath(url).isEmpty();
    const bool onScheme = url.scheme() == QLatin1String(LocalPageSchemeHandler::schemeName);
    if (!url.isLocalFile() && !onScheme && !onLoopback)
        return Action::Allow;
    if (filePathOf(url, loopback).isEmpty())
        return Action::Block;
    const bool underOwnOrigin = onScheme && LocalPageSchemeHandler::isUnderOwnOrigin(url);
    if (isScriptRead(type))
        return underOwnOrigin && isSameOrigin(initiator, url) ? Action::Allow : Action::Block;
    if (isReadableWhenShown(type)) {
        // A page may read its own file, shown as a picture or as a stylesheet.
        if ((underOwnOrigin && isSameOrigin(initiator, url)) || loopback.isUnderOwnOrigin(url))
            return Action::Allow;
        return Action::MoveToLoopback;
    }
    // The engine loads a font of another origin only when the answer allows it (CORS), which our
    // scheme's never do; a script cannot read a font's bytes, so fonts load under the page's
    // origin, or from the loopback server, whose answers for fonts allow it.
    if (type == QWebEngineUrlRequestInfo::ResourceTypeFontResource && (onScheme || onLoopback))
        return onScheme || loopback.isUnderOwnOrigin(url) ? Action::Allow : Action::MoveToLoopback;
    return underOwnOrigin ? Action::Allow : Action::MoveToOwnOrigin;
}

QUrl LocalPageRequestGuard::target(const QUrl& url, const LoopbackFileAddress& from,
                                   const LoopbackFileAddress& to)
{
    const QString path = filePathOf(url, from);
    QUrl moved = to.isValid() ? to.urlOf(path) : LocalPageSchemeHandler::pageUrl(path);
    moved.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
    moved.setFragment(url.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
    return moved;
}

LocalPageRequestGuard::LocalPageRequestGuard(QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent)
{}

LoopbackFileServer* LocalPageRequestGuard::loopbackServer()
{
    if (!server_ && !serverFailed_) {
        server_ = new LoopbackFileServer(&LocalPageSchemeHandler::openServed, this);
        if (!server_->start()) {
            std::fputs("pagewright: the loopback file server did not start; pictures and "
                       "stylesheets of other files are served as the page is\n",
                       stderr);
            delete server_;
            server_ = nullptr;
            serverFailed_ = true;
        }
    }
    return server_;
}

void LocalPageRequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const LoopbackFileAddress loopback = server_ ? server_->address() : LoopbackFileAddress();
    switch (action(info.requestUrl(), info.resourceType(), info.initiator(), loopback)) {
    case Action::Allow:
        break;
    case Action::Block:
        info.block(true);
        break;
    case Action::MoveToOwnOrigin:
        info.redirect(target(info.requestUrl(), loopback));
        break;
    case Action::MoveToLoopback:
        if (LoopbackFileServer* server = loopbackServer())
            info.redirect(target(info.requestUrl(), loopback, server->address()));
        else if (!LocalPageSchemeHandler::isUnderOwnOrigin(info.requestUrl()))
            info.redirect(target(info.requestUrl(), loopback));
        break;
    }
}
