#pragma once

#include "text/LineSlice.h"
#include "text/LineWidthCache.h"
#include "text/TextMeasure.h"

#include <memory>
#include <unordered_map>

class TextBuffer;
class TextDecoration;

// How the lines of a buffer lay out in one font, without a widget: x of a column, the width of a
// line, the slice of a line to draw between two x, and the longest width seen so far (for the
// horizontal scroll bar). Long lines keep a width cache each, carried along edits; the owner
// tells the layout of every change of the buffer through edit().
class TextLayout
{
public:
    // What an edit did to the lines.
    struct Change
    {
        qsizetype line = 0;       // the first line the edit touched
        qsizetype lastLine = 0;   // the last one, after the edit
        qsizetype linesAdded = 0; // lines added (negative: removed)
        bool wholeText = false;   // the text was replaced as a whole
    };

    explicit TextLayout(const TextBuffer& buffer, const QFont& font = QFont());

    const TextMeasure& measure() const { return measure_; }
    // A new font: every width is measured again.
    void setFont(const QFont& font);

    // x of the caret position before `column` of `line` (the width of the text before it).
    qreal columnX(qsizetype line, qsizetype column) const;
    qreal lineWidth(qsizetype line) const;
    // The part of `line` drawn between `fromX` and `toX` (the whole line when it is short), with
    // `preedit` shown at its column when that column is in the slice, coloured by `decoration`
    // when one is given.
    std::unique_ptr<LineSlice> slice(qsizetype line, qreal fromX, qreal toX,
                                     LineSlice::Preedit preedit = {},
                                     TextDecoration* decoration = nullptr) const;

    // The widest line measured so far (at least the estimate of the longest).
    qreal longestWidth() const { return longestWidth_; }
    // Notes a width seen; true when it is the widest so far.
    bool noteWidth(qreal width);
    // Forgets all widths and estimates the longest line again.
    void reset();

    // The buffer's characters [position, position + removed) were replaced by `added` characters.
    Change edit(qsizetype position, qsizetype removed, qsizetype added);

    // The lines that hold a width cache (long lines measured since their last change).
    qsizetype cachedLines() const { return qsizetype(caches_.size()); }

private:
    // The cache of a long line (nullptr for a short line).
    LineWidthCache* cacheOf(qsizetype line) const;
    LineWidthCache::TextReader lineReader(qsizetype line) const;
    void estimateLongestLine();

    const TextBuffer& buffer_;
    TextMeasure measure_;
    // Caches of long lines by line number; moved along when lines come or go above them.
    mutable std::unordered_map<qsizetype, LineWidthCache> caches_;
    qsizetype lineCount_ = 1;
    qreal longestWidth_ = 0;
};
