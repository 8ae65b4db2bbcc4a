// The live preview on the engine: the editor's text served as the page, updated in place, its
// elements listed and found again by their place in document order. The scripts run in a world
// of their own, so the page's scripts neither see them nor can change what they rely on; nothing
// is written into the page.
#include "platform/LiveTrace.h"
#include "platform/LocalPageSchemeHandler.h"
#include "platform/PreviewPage.h"
#include "platform/WebEngineBrowser.h"

#include <QDir>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

constexpr quint32 ownWorld = QWebEngineScript::ApplicationWorld;
// How long the listing waits for the loaded page's first paint.
constexpr int listAtTheLatestMs = 150;

const QString listScript =
    QStringLiteral("Array.prototype.map.call(document.getElementsByTagName('*'),"
                   "function(e){return e.localName;}).join(' ')");

// %1: the index of an element in document order. Scrolls only when no part of it is in view.
const QString revealScript =
    QStringLiteral("(function(i){var e=document.getElementsByTagName('*')[i];if(!e)return;"
                   "var r=e.getBoundingClientRect();"
                   "if(r.bottom<=0||r.top>=innerHeight||r.right<=0||r.left>=innerWidth)"
                   "e.scrollIntoView({block:'nearest',inline:'nearest'});})(%1)");

// %1, %2: a point of the view in CSS pixels. Answers the indexes of the element there and of
// the elements around it, innermost first.
const QString pickScript =
    QStringLiteral("(function(x,y){var all=document.getElementsByTagName('*'),found=[];"
                   "for(var e=document.elementFromPoint(x,y);e;e=e.parentElement)"
                   "found.push(Array.prototype.indexOf.call(all,e));return found;})(%1,%2)");

} // namespace

void WebEngineBrowser::showLivePage(const QString& path, const QByteArray& bytes,
                                    const QByteArray& charset)
{
    LocalPageSchemeHandler::serveText(path, bytes, charset);
    if (!view_)
        createView();
    if (!livePath_.isEmpty() && QDir::cleanPath(livePath_) != QDir::cleanPath(path))
        LocalPageSchemeHandler::stopServingText(livePath_);
    livePath_ = path;
    const bool update = showsLivePage();
    // A reload keeps the scroll position, and the engine keeps the old page painted until the
    // new one has content: no white between two versions of a page.
    page_->setQuietDialogs(update);
    if (update)
        view_->reload();
    else
        view_->load(LocalPageSchemeHandler::pageUrl(path));
}

void WebEngineBrowser::endLivePage()
{
    if (livePath_.isEmpty())
        return;
    LocalPageSchemeHandler::stopServingText(livePath_);
    livePath_.clear();
    if (page_)
        page_->setQuietDialogs(false);
}

bool WebEngineBrowser::showsLivePage() const
{
    return view_ && !livePath_.isEmpty() &&
           LocalPageSchemeHandler::filePath(view_->url()) == QDir::cleanPath(livePath_);
}

void WebEngineBrowser::listAfterPaint()
{
    const quint64 load = ++liveLoads_;
    listWaitingLoad_ = load;
    QTimer::singleShot(listAtTheLatestMs, this, [this, load] {
        if (listWaitingLoad_ == load)
            pagePainted();
    });
}

void WebEngineBrowser::pagePainted()
{
    LiveTrace::mark("paint");
    if (listWaitingLoad_ == 0)
        return;
    listWaitingLoad_ = 0;
    // After the paint has been handled.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (showsLivePage())
                listElements();
        },
        Qt::QueuedConnection);
}

void WebEngineBrowser::listElements()
{
    QPointer<WebEngineBrowser> self(this);
    LiveTrace::mark("list-asked");
    page_->runJavaScript(listScript, ownWorld, [self](const QVariant& names) {
        LiveTrace::mark("list-answered");
        if (self && self->showsLivePage())
            emit self->elementsListed(names.toString());
    });
}

void WebEngineBrowser::revealElement(int index)
{
    if (showsLivePage() && index >= 0)
        page_->runJavaScript(revealScript.arg(index), ownWorld);
}

void WebEngineBrowser::pickElement(QPointF point)
{
    const qreal zoom = view_->zoomFactor();
    QPointer<WebEngineBrowser> self(this);
    page_->runJavaScript(pickScript.arg(point.x() / zoom).arg(point.y() / zoom), ownWorld,
                         [self](const QVariant& found) {
                             QList<int> indexes;
                             for (const QVariant& index : found.toList())
                                 indexes << index.toInt();
                             if (self && !indexes.isEmpty())
                                 emit self->elementPicked(indexes);
                         });
}

bool WebEngineBrowser::isElementPick(QEvent* event) const
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier) &&
           showsLivePage();
}
