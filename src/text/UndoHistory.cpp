#include "text/UndoHistory.h"

#include "text/TextBoundaries.h"

void UndoHistory::clear()
{
    steps_.clear();
    index_ = 0;
    clean_ = 0;
    groupStarted_ = false;
    typingBroken_ = false;
}

void UndoHistory::setModified(bool modified)
{
    clean_ = modified ? -1 : index_;
    typingBroken_ = true;
    // The rest of an open group is a step of its own, so that its edits leave the clean state.
    groupStarted_ = false;
}

void UndoHistory::push(Step step)
{
    steps_.resize(index_);
    if (clean_ > index_)
        clean_ = -1;
    steps_.push_back(std::move(step));
    ++index_;
}

void UndoHistory::add(Edit edit, bool typing)
{
    if (groupDepth_ > 0) {
        if (!groupStarted_) {
            push(Step{});
            groupStarted_ = true;
        }
        steps_[index_ - 1].edits.push_back(std::move(edit));
        return;
    }
    if (typing && !edit.rewrite && tryMerge(edit))
        return;
    Step step;
    if (typing)
        step.kind = edit.inserted.isEmpty() ? Step::Kind::Erasing : Step::Kind::Typing;
    step.edits.push_back(std::move(edit));
    push(std::move(step));
    typingBroken_ = false;
}

bool UndoHistory::tryMerge(const Edit& edit)
{
    // Never into the clean state's own step, or Modified would not see the change.
    if (typingBroken_ || index_ == 0 || clean_ == index_ || index_ != qsizetype(steps_.size()))
        return false;
    Step& step = steps_[index_ - 1];
    Edit& last = step.edits.front();
    if (step.kind == Step::Kind::Typing && edit.removed.isEmpty() && !edit.inserted.isEmpty()) {
        if (edit.pos != last.pos + last.inserted.size())
            return false;
        // A new word, or anything after a line break, starts a step of its own.
        const QChar before = last.inserted.back();
        if (TextBoundaries::isLineBreak(before) ||
            (!TextBoundaries::isWordCharacter(before) &&
             TextBoundaries::isWordCharacter(edit.inserted.front())))
            return false;
        last.inserted += edit.inserted;
        return true;
    }
    if (step.kind == Step::Kind::Erasing && edit.inserted.isEmpty() && !edit.removed.isEmpty()) {
        if (edit.pos + edit.removed.size() == last.pos) { // Backspace
            last.removed.prepend(edit.removed);
            last.pos = edit.pos;
            return true;
        }
        if (edit.pos == last.pos) { // Delete
            last.removed += edit.removed;
            return true;
        }
    }
    return false;
}

void UndoHistory::beginGroup()
{
    if (groupDepth_++ == 0)
        groupStarted_ = false;
}

void UndoHistory::endGroup()
{
    if (groupDepth_ > 0 && --groupDepth_ == 0) {
        groupStarted_ = false;
        typingBroken_ = true;
    }
}

const UndoHistory::Step& UndoHistory::undo()
{
    typingBroken_ = true;
    // Edits made later in an open group start a step of their own.
    groupStarted_ = false;
    return steps_[--index_];
}

const UndoHistory::Step& UndoHistory::redo()
{
    typingBroken_ = true;
    groupStarted_ = false;
    return steps_[index_++];
}
