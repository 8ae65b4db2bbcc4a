#include "platform/PageNodes.h"

#include "platform/PageNodeAccessible.h"

#include <QObject>
#include <algorithm>
#include <utility>

PageNodes::PageNodes(std::function<bool()> viewHasFocus, QAccessibleInterface* top)
    : viewHasFocus_(std::move(viewHasFocus)), top_(top)
{}

PageNodes::~PageNodes()
{
    const QList<QAccessible::Id> nodeIds = wrappers_.keys();
    for (QAccessible::Id nodeId : nodeIds)
        drop(nodeId);
}

bool PageNodes::isEngineNode(const QAccessibleInterface* node)
{
    if (!node)
        return false;
    const QObject* object = node->object();
    return !object || !object->isWidgetType();
}

QAccessibleInterface* PageNodes::wrap(QAccessibleInterface* node)
{
    if (!node)
        return nullptr;
    if (!isEngineNode(node))
        return top_;
    if (isWrapper(node))
        return node;
    const QAccessible::Id nodeId = QAccessible::uniqueId(node);
    const auto known = wrappers_.constFind(nodeId);
    if (known != wrappers_.cend()) {
        // Qt may hand a freed id to a later interface, so the id alone may name another node.
        if (known->wrapper->node() == node)
            return known->wrapper;
        drop(nodeId);
    }
    if (wrappers_.size() >= sweepAt_) {
        dropStale();
        sweepAt_ = std::max(256, int(wrappers_.size()) * 2);
    }
    auto* wrapper = new PageNodeAccessible(*this, node);
    wrappers_.insert(nodeId, {wrapper, QAccessible::registerAccessibleInterface(wrapper)});
    wrapperSet_.insert(wrapper);
    return wrapper;
}

// The engine's nodes carry no type information, so wrappers are told apart by address.
QAccessibleInterface* PageNodes::unwrap(const QAccessibleInterface* wrapper) const
{
    if (isWrapper(wrapper))
        return static_cast<const PageNodeAccessible*>(wrapper)->node();
    return const_cast<QAccessibleInterface*>(wrapper);
}

bool PageNodes::isWrapper(const QAccessibleInterface* node) const
{
    return wrapperSet_.contains(node);
}

void PageNodes::drop(QAccessible::Id nodeId)
{
    const Wrapper gone = wrappers_.take(nodeId);
    wrapperSet_.remove(gone.wrapper);
    // Qt deletes what is still registered when it ends; the id may name another interface by then.
    if (QAccessible::accessibleInterface(gone.id) == gone.wrapper)
        QAccessible::deleteAccessibleInterface(gone.id);
}

void PageNodes::dropStale()
{
    QList<QAccessible::Id> stale;
    for (auto it = wrappers_.cbegin(); it != wrappers_.cend(); ++it)
        if (!it->wrapper->node())
            stale.append(it.key());
    for (QAccessible::Id nodeId : std::as_const(stale))
        drop(nodeId);
}
