#pragma once

#include <QAccessible>
#include <QAccessibleInterface>

class PageNodes;

// One node of the web engine's accessible tree as a screen reader sees it: all the engine says
// of it, but the focused state only while the page's view has the keyboard focus, and its
// parent, children and relations seen through the same wrappers.
class PageNodeAccessible : public QAccessibleInterface
{
public:
    PageNodeAccessible(PageNodes& nodes, QAccessibleInterface* node);

    // The engine's node, or null once the engine has deleted it.
    QAccessibleInterface* node() const;

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QColor foregroundColor() const override;
    QColor backgroundColor() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

private:
    PageNodes& nodes_;
    QAccessibleInterface* node_;
    QAccessible::Id nodeId_;
};
