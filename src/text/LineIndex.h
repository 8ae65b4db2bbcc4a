#pragma once

#include <QtGlobal>

#include <vector>

class GapBuffer;

// Where each line starts, both as a raw position and as a CR LF position (every break counted as
// two characters). The starts of lines 1.. sit in an array with a gap of its own: entries before
// the gap hold absolute positions, entries after it hold their distance from the end of the text,
// so an edit shifts nothing but the gap, and the gap follows the edits lazily.
class LineIndex
{
public:
    // Indexes the whole text afresh.
    void build(const GapBuffer& text);
    // After [pos, pos + removed) was replaced by `added` characters in `text`.
    void update(const GapBuffer& text, qsizetype pos, qsizetype removed, qsizetype added);

    qsizetype lineCount() const { return entryCount() + 1; }
    qsizetype lineStart(qsizetype line) const;
    qsizetype crlfLineStart(qsizetype line) const;
    qsizetype length() const { return length_; }
    qsizetype crlfLength() const { return crlfLength_; }
    // The line that holds raw position `pos`; the line whose CR LF span holds `crlfPos`.
    qsizetype lineAt(qsizetype pos) const;
    qsizetype lineAtCrlf(qsizetype crlfPos) const;

private:
    struct Entry
    {
        qsizetype raw;
        qsizetype crlf;
    };

    qsizetype entryCount() const { return qsizetype(entries_.size()) - (gapEnd_ - gapStart_); }
    // Absolute start of entry i (line i + 1).
    Entry entry(qsizetype i) const;
    void moveGap(qsizetype pos);
    void push(Entry e);

    std::vector<Entry> entries_;
    qsizetype gapStart_ = 0;
    qsizetype gapEnd_ = 0;
    qsizetype length_ = 0;
    qsizetype crlfLength_ = 0;
};
