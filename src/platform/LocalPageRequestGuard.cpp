#include "platform/LocalPageRequestGuard.h"

#include "platform/LocalPageSchemeHandler.h"

using ResourceType = QWebEngineUrlRequestInfo::ResourceType;

namespace {

bool isScriptRead(ResourceType type)
{
    return type == QWebEngineUrlRequestInfo::ResourceTypeXhr;
}

} // namespace

LocalPageRequestGuard::Action LocalPageRequestGuard::action(const QUrl& url, ResourceType type,
                                                            const QUrl& initiator)
{
    if (url.isLocalFile())
        return isScriptRead(type) ? Action::Block : Action::MoveToOwnOrigin;
    if (url.scheme() != QLatin1String(LocalPageSchemeHandler::schemeName))
        return Action::Allow;
    if (LocalPageSchemeHandler::filePath(url).isEmpty())
        return Action::Block;
    if (isScriptRead(type)) {
        const bool byItsOwnOrigin = LocalPageSchemeHandler::isUnderOwnOrigin(url) &&
                                    initiator.scheme() == url.scheme() &&
                                    initiator.host() == url.host();
        return byItsOwnOrigin ? Action::Allow : Action::Block;
    }
    if (LocalPageSchemeHandler::isUnderOwnOrigin(url))
        return Action::Allow;
    // The engine loads a font of another origin only when the answer allows it (CORS), which ours
    // never do; a script cannot read a font's bytes, so fonts load under the page's origin.
    if (type == QWebEngineUrlRequestInfo::ResourceTypeFontResource)
        return Action::Allow;
    return Action::MoveToOwnOrigin;
}

QUrl LocalPageRequestGuard::target(const QUrl& url)
{
    const QString path =
        url.isLocalFile() ? url.toLocalFile() : LocalPageSchemeHandler::filePath(url);
    QUrl moved = LocalPageSchemeHandler::pageUrl(path);
    moved.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
    moved.setFragment(url.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
    return moved;
}

void LocalPageRequestGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    switch (action(info.requestUrl(), info.resourceType(), info.initiator())) {
    case Action::Allow:
        break;
    case Action::Block:
        info.block(true);
        break;
    case Action::MoveToOwnOrigin:
        info.redirect(target(info.requestUrl()));
        break;
    }
}
