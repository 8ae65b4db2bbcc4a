#include "platform/PreviewAccessible.h"

#include "platform/WebEngineBrowser.h"

#include <QWebEngineView>

namespace {

QAccessibleInterface* createPreviewInterface(const QString&, QObject* object)
{
    auto* browser = qobject_cast<WebEngineBrowser*>(object);
    return browser ? new PreviewAccessible(browser) : nullptr;
}

} // namespace

void PreviewAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createPreviewInterface);
        // The engine reads this when it starts; it builds the tree only while a screen reader
        // (or another assistive tool) is listening, so it costs nothing otherwise.
        if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
            qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
        return true;
    }();
    Q_UNUSED(installed);
}

PreviewAccessible::PreviewAccessible(WebEngineBrowser* browser)
    : QAccessibleWidget(browser), nodes_([this] { return viewHasFocus(); }, this)
{}

WebEngineBrowser* PreviewAccessible::browser() const
{
    return static_cast<WebEngineBrowser*>(widget());
}

bool PreviewAccessible::viewHasFocus() const
{
    const QWebEngineView* view = browser()->view();
    return view && view->hasFocus();
}

// The engine's view has the page's tree as its only child.
QAccessibleInterface* PreviewAccessible::pageRoot() const
{
    QWebEngineView* view = browser()->view();
    QAccessibleInterface* viewNode = view ? QAccessible::queryAccessibleInterface(view) : nullptr;
    if (!viewNode || viewNode->childCount() < 1)
        return nullptr;
    QAccessibleInterface* root = viewNode->child(0);
    return PageNodes::isEngineNode(root) ? nodes_.wrap(root) : nullptr;
}

QAccessibleInterface* PreviewAccessible::focusChild() const
{
    if (!viewHasFocus())
        return QAccessibleWidget::focusChild();
    QAccessibleInterface* root = pageRoot();
    QAccessibleInterface* focused = root ? root->focusChild() : nullptr;
    return focused ? focused : root;
}

int PreviewAccessible::childCount() const
{
    return pageRoot() ? 1 : 0;
}

QAccessibleInterface* PreviewAccessible::child(int index) const
{
    return index == 0 ? pageRoot() : nullptr;
}

int PreviewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && child == pageRoot() ? 0 : -1;
}
