#include "platform/PageNodeAccessible.h"

#include "platform/PageNodes.h"

#include <QColor>
#include <QRect>

PageNodeAccessible::PageNodeAccessible(PageNodes& nodes, QAccessibleInterface* node)
    : nodes_(nodes), node_(node), nodeId_(QAccessible::uniqueId(node))
{}

// The engine deletes its nodes as the page changes; a deleted node's id names nothing, or a
// newer interface.
QAccessibleInterface* PageNodeAccessible::node() const
{
    return QAccessible::accessibleInterface(nodeId_) == node_ ? node_ : nullptr;
}

bool PageNodeAccessible::isValid() const
{
    const QAccessibleInterface* engine = node();
    return engine && engine->isValid();
}

QObject* PageNodeAccessible::object() const
{
    return nullptr;
}

QWindow* PageNodeAccessible::window() const
{
    return nodes_.top() ? nodes_.top()->window() : nullptr;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
PageNodeAccessible::relations(QAccessible::Relation match) const
{
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> related;
    if (QAccessibleInterface* engine = node())
        for (const auto& [other, relation] : engine->relations(match))
            related.append({nodes_.wrap(other), relation});
    return related;
}

QAccessibleInterface* PageNodeAccessible::focusChild() const
{
    QAccessibleInterface* engine = node();
    if (!engine || !nodes_.viewHasFocus())
        return nullptr;
    QAccessibleInterface* focused = engine->focusChild();
    return PageNodes::isEngineNode(focused) ? nodes_.wrap(focused) : nullptr;
}

QAccessibleInterface* PageNodeAccessible::childAt(int x, int y) const
{
    QAccessibleInterface* engine = node();
    return engine ? nodes_.wrap(engine->childAt(x, y)) : nullptr;
}

// The root of the engine's tree has a parent of Qt's: it is seen under the top instead.
QAccessibleInterface* PageNodeAccessible::parent() const
{
    QAccessibleInterface* engine = node();
    return engine ? nodes_.wrap(engine->parent()) : nodes_.top();
}

QAccessibleInterface* PageNodeAccessible::child(int index) const
{
    QAccessibleInterface* engine = node();
    return engine ? nodes_.wrap(engine->child(index)) : nullptr;
}

int PageNodeAccessible::childCount() const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->childCount() : 0;
}

int PageNodeAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const QAccessibleInterface* engine = node();
    const QAccessibleInterface* engineChild = nodes_.unwrap(child);
    return engine && engineChild ? engine->indexOfChild(engineChild) : -1;
}

QString PageNodeAccessible::text(QAccessible::Text type) const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->text(type) : QString();
}

void PageNodeAccessible::setText(QAccessible::Text type, const QString& text)
{
    if (QAccessibleInterface* engine = node())
        engine->setText(type, text);
}

QRect PageNodeAccessible::rect() const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->rect() : QRect();
}

QAccessible::Role PageNodeAccessible::role() const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->role() : QAccessible::NoRole;
}

QAccessible::State PageNodeAccessible::state() const
{
    const QAccessibleInterface* engine = node();
    if (!engine) {
        QAccessible::State gone;
        gone.invalid = true;
        return gone;
    }
    QAccessible::State state = engine->state();
    if (!nodes_.viewHasFocus())
        state.focused = false;
    return state;
}

QColor PageNodeAccessible::foregroundColor() const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->foregroundColor() : QColor();
}

QColor PageNodeAccessible::backgroundColor() const
{
    const QAccessibleInterface* engine = node();
    return engine ? engine->backgroundColor() : QColor();
}

// Text, value, action and table reading go straight to the engine's node.
void* PageNodeAccessible::interface_cast(QAccessible::InterfaceType type)
{
    QAccessibleInterface* engine = node();
    return engine ? engine->interface_cast(type) : nullptr;
}
