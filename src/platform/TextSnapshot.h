#pragma once

#include <QString>
#include <functional>
#include <optional>

// A copy of a document's text kept for searching, brought up to date lazily. Edits only note
// the region they touched (merged into one region spanning all of them), so typing costs
// nothing; the next search re-reads just that region from the document instead of copying the
// whole text again.
class TextSnapshot
{
public:
    // Reads the current document's text between two positions.
    using RangeReader = std::function<QString(qsizetype from, qsizetype to)>;

    // The document replaced `removed` characters at `position` with `added` characters.
    void noteChange(qsizetype position, qsizetype removed, qsizetype added);
    // Forgets the copy; the next text() reads everything.
    void invalidate();
    // The current text. `documentLength` is the document's length now; `read` gives its text.
    const QString& text(qsizetype documentLength, const RangeReader& read);

private:
    struct Region
    {
        qsizetype start;  // same in the copy and in the document
        qsizetype oldEnd; // end in the copy
        qsizetype newEnd; // end in the document
    };

    QString text_;
    bool valid_ = false;
    std::optional<Region> stale_;
};
