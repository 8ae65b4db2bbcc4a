#pragma once

#include <QAccessible>
#include <QHash>
#include <QSet>
#include <functional>

class PageNodeAccessible;
class QAccessibleInterface;

// The accessible nodes the web engine makes for one page view, as a screen reader sees them:
// each engine node is seen through one wrapper that reports the focused state only while the
// view has the keyboard focus. The engine reports its focused node (at least the document)
// whether or not the view has the focus, so without this a screen reader would find two
// focused objects, the engine's and the control that really has the focus.
class PageNodes
{
public:
    // `viewHasFocus` says whether the view has the keyboard focus now; `top` is the interface
    // the root of the engine's tree is seen under.
    PageNodes(std::function<bool()> viewHasFocus, QAccessibleInterface* top);
    ~PageNodes();
    PageNodes(const PageNodes&) = delete;
    PageNodes& operator=(const PageNodes&) = delete;

    // The wrapper of the engine's `node` (the same one each time), `top` for an interface that
    // is not the engine's, null for null.
    QAccessibleInterface* wrap(QAccessibleInterface* node);
    // The engine's node behind `wrapper`, or `wrapper` itself when it is no wrapper of these.
    QAccessibleInterface* unwrap(const QAccessibleInterface* wrapper) const;
    bool viewHasFocus() const { return viewHasFocus_(); }
    QAccessibleInterface* top() const { return top_; }
    // How many wrappers are held now.
    int size() const { return int(wrappers_.size()); }

    // Whether `node` is one of the engine's: its nodes stand for no widget.
    static bool isEngineNode(const QAccessibleInterface* node);

private:
    bool isWrapper(const QAccessibleInterface* node) const;
    // Deletes the wrapper of the engine node `nodeId`.
    void drop(QAccessible::Id nodeId);
    // Drops the wrappers of nodes the engine has deleted.
    void dropStale();

    std::function<bool()> viewHasFocus_;
    QAccessibleInterface* top_;
    struct Wrapper
    {
        PageNodeAccessible* wrapper;
        QAccessible::Id id;
    };
    // The engine node's id to its wrapper; both are registered with Qt.
    QHash<QAccessible::Id, Wrapper> wrappers_;
    QSet<const QAccessibleInterface*> wrapperSet_;
    // The number of wrappers that makes the next wrap look for stale ones.
    int sweepAt_ = 256;
};
