#include "platform/NamedMenuItemAccessible.h"

#include <QAction>
#include <QMenu>

QAccessibleInterface* NamedMenuItemAccessible::create(QAction* item)
{
    if (!item || item->property(NameProperty).toString().isEmpty())
        return nullptr;
    for (QObject* shownIn : item->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(shownIn))
            return new NamedMenuItemAccessible(item, menu);
    return nullptr;
}

NamedMenuItemAccessible::NamedMenuItemAccessible(QAction* item, QMenu* menu)
    : item_(item), menu_(menu)
{}

bool NamedMenuItemAccessible::isValid() const
{
    return item_ && menu_;
}

QObject* NamedMenuItemAccessible::object() const
{
    return item_;
}

QAccessibleInterface* NamedMenuItemAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(menu_.data());
}

QAccessibleInterface* NamedMenuItemAccessible::child(int) const
{
    return nullptr;
}

int NamedMenuItemAccessible::childCount() const
{
    return 0;
}

int NamedMenuItemAccessible::indexOfChild(const QAccessibleInterface*) const
{
    return -1;
}

QAccessibleInterface* NamedMenuItemAccessible::childAt(int, int) const
{
    return nullptr;
}

QString NamedMenuItemAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    switch (type) {
    case QAccessible::Name:
        return item_->property(NameProperty).toString();
    case QAccessible::Description:
        return item_->toolTip() == item_->text() ? QString() : item_->toolTip();
    case QAccessible::Accelerator:
        return item_->shortcut().toString(QKeySequence::NativeText);
    default:
        return {};
    }
}

void NamedMenuItemAccessible::setText(QAccessible::Text, const QString&) {}

QRect NamedMenuItemAccessible::rect() const
{
    if (!isValid() || !menu_->isVisible())
        return {};
    const QRect local = menu_->actionGeometry(item_);
    return QRect(menu_->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role NamedMenuItemAccessible::role() const
{
    return QAccessible::MenuItem;
}

QAccessible::State NamedMenuItemAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    state.disabled = !item_->isEnabled();
    state.invisible = !menu_->isVisible() || !item_->isVisible();
    state.focused = menu_->isVisible() && menu_->activeAction() == item_;
    state.checkable = item_->isCheckable();
    state.checked = item_->isChecked();
    return state;
}

void* NamedMenuItemAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

QStringList NamedMenuItemAccessible::actionNames() const
{
    if (!isValid() || !item_->isEnabled())
        return {};
    return {pressAction()};
}

void NamedMenuItemAccessible::doAction(const QString& actionName)
{
    if (!isValid() || !item_->isEnabled() || actionName != pressAction())
        return;
    menu_->hide();
    item_->trigger();
}

QStringList NamedMenuItemAccessible::keyBindingsForAction(const QString&) const
{
    return {};
}
