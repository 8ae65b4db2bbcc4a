#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class QAction;
class QMenu;

// A menu item that shows only a picture, with the name a screen reader says for it. Otherwise it
// behaves as Qt's own menu items do: it lives in its menu, shows the menu's highlight as focus,
// and its press action triggers it.
class NamedMenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    // The dynamic property of the item that holds the name.
    static constexpr char NameProperty[] = "pagewright_accessibleName";

    // An interface for `item` if it carries a name, else null (Qt's own item is used).
    static QAccessibleInterface* create(QAction* item);

    bool isValid() const override;
    QObject* object() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // QAccessibleActionInterface
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    NamedMenuItemAccessible(QAction* item, QMenu* menu);

    QPointer<QAction> item_;
    QPointer<QMenu> menu_;
};
