#pragma once

#include <QString>

#include <memory>
#include <vector>

// The undo steps of a text buffer and which of them is the clean state. Pure bookkeeping: the
// buffer applies the edits. Typing merges into one step per word; groups and other edits are one
// step each.
class UndoHistory
{
public:
    // Replace All over [from, to): redo runs the same search again over the same text instead of
    // keeping a copy of all the new text.
    struct Rewrite
    {
        QString needle;
        QString replacement;
        qsizetype from = 0;
        qsizetype to = 0;
        Qt::CaseSensitivity cs = Qt::CaseInsensitive;
        qsizetype insertedSize = 0;
    };
    // [pos, pos + removed.size()) held `removed` and now holds `inserted` (or what `rewrite`
    // makes of it).
    struct Edit
    {
        qsizetype pos = 0;
        QString removed;
        QString inserted;
        std::shared_ptr<const Rewrite> rewrite;

        qsizetype insertedSize() const { return rewrite ? rewrite->insertedSize : inserted.size(); }
    };
    struct Step
    {
        enum class Kind { Closed, Typing, Erasing };
        std::vector<Edit> edits;
        Kind kind = Kind::Closed;
    };

    void clear();
    // Records an edit just made. `typing` edits may join the step before them.
    void add(Edit edit, bool typing);
    void beginGroup();
    void endGroup();
    void breakTyping() { typingBroken_ = true; }

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < qsizetype(steps_.size()); }
    // The step to revert next, then marks it undone; the step to apply again, then marks it done.
    const Step& undo();
    const Step& redo();

    bool isModified() const { return clean_ != index_; }
    // false: the current state becomes clean; true: no state is clean.
    void setModified(bool modified);

private:
    bool tryMerge(const Edit& edit);
    void push(Step step);

    std::vector<Step> steps_;
    // Steps [0, index_) are done.
    qsizetype index_ = 0;
    // The index of the clean state, -1 for none.
    qsizetype clean_ = 0;
    int groupDepth_ = 0;
    // Whether the open group already has its step.
    bool groupStarted_ = false;
    bool typingBroken_ = false;
};
