#include "platform/AccessibleRoles.h"

#include "platform/NamedMenuItemAccessible.h"
#include "platform/ViewportAccessible.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QFocusFrame>
#include <QMainWindow>
#include <QMenu>
#include <QVariant>
#include <QWidget>

namespace {

const char DecorativeProperty[] = "pagewright_decorative";
const char WindowProperty[] = "pagewright_window";

bool isDecorative(const QWidget* widget)
{
    return widget->property(DecorativeProperty).toBool();
}

// A top-level window exposed with the window role; its decorative pictures are not among its
// children.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(children().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> shown = children();
        if (index < 0 || index >= shown.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(shown.at(index));
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        return int(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    // The child widgets Qt would list (no windows, menus or focus frames), less the pictures
    // that carry nothing.
    QList<QWidget*> children() const
    {
        QList<QWidget*> list;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (!child || child->isWindow() || qobject_cast<QFocusFrame*>(child) ||
                qobject_cast<QMenu*>(child) || isDecorative(child))
                continue;
            list.append(child);
        }
        return list;
    }
};

// The program's own window classes reach here before Qt's factory sees their Qt base class, and so
// do the viewports of scroll areas.
QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
    if (auto* action = qobject_cast<QAction*>(object))
        return NamedMenuItemAccessible::create(action);
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && ViewportAccessible::isViewport(widget))
        return new ViewportAccessible(widget);
    // Qt already exposes main windows as windows, with their menu bar.
    if (!widget || className.startsWith(QLatin1Char('Q')) || !widget->isWindow() ||
        !widget->property(WindowProperty).toBool() || qobject_cast<QMainWindow*>(widget))
        return nullptr;
    return new WindowAccessible(widget);
}

} // namespace

namespace AccessibleRoles {

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

void markWindow(QWidget& window)
{
    install();
    window.setProperty(WindowProperty, true);
}

void markDecorative(QWidget& picture)
{
    install();
    picture.setProperty(DecorativeProperty, true);
}

void nameMenuItem(QAction& item, const QString& name)
{
    install();
    item.setProperty(NamedMenuItemAccessible::NameProperty, name);
}

} // namespace AccessibleRoles
