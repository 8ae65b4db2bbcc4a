#include "text/TextLayout.h"

#include "text/TextBuffer.h"
#include "text/TextDecoration.h"

#include <algorithm>

namespace {

// How far a drawn slice may grow to include a whole cluster or right-to-left run.
constexpr qsizetype sliceSlack = 1024;
// Up to this many lines the longest by characters is measured at once; above, it is estimated.
constexpr qsizetype measuredLongestLimit = 200000;

} // namespace

TextLayout::TextLayout(const TextBuffer& buffer, const QFont& font)
    : buffer_(buffer), measure_(font)
{
    reset();
}

void TextLayout::setFont(const QFont& font)
{
    measure_.setFont(font);
    reset();
}

LineWidthCache::TextReader TextLayout::lineReader(qsizetype line) const
{
    const qsizetype start = buffer_.lineStart(line);
    const TextBuffer* buffer = &buffer_;
    return [buffer, start](qsizetype from, qsizetype length) {
        return buffer->mid(start + from, length);
    };
}

LineWidthCache* TextLayout::cacheOf(qsizetype line) const
{
    const qsizetype length = buffer_.lineLength(line);
    if (length <= LineWidthCache::chunkSize) {
        caches_.erase(line);
        return nullptr;
    }
    auto found = caches_.find(line);
    if (found == caches_.end())
        found = caches_.emplace(line, LineWidthCache(length)).first;
    else if (found->second.length() != length)
        found->second.reset(length);
    return &found->second;
}

qreal TextLayout::columnX(qsizetype line, qsizetype column) const
{
    if (LineWidthCache* cache = cacheOf(line))
        return cache->x(column, lineReader(line), measure_);
    return measure_.width(buffer_.mid(buffer_.lineStart(line), column));
}

qreal TextLayout::lineWidth(qsizetype line) const
{
    if (LineWidthCache* cache = cacheOf(line))
        return cache->width(lineReader(line), measure_);
    return measure_.width(buffer_.lineText(line));
}

std::unique_ptr<LineSlice> TextLayout::slice(qsizetype line, qreal fromX, qreal toX,
                                             LineSlice::Preedit preedit,
                                             TextDecoration* decoration) const
{
    const qsizetype start = buffer_.lineStart(line);
    const auto formats = [&](qsizetype from, qsizetype length) {
        return decoration ? decoration->formats(start + from, length)
                          : QList<QTextLayout::FormatRange>();
    };
    LineWidthCache* cache = cacheOf(line);
    if (!cache)
        return std::make_unique<LineSlice>(buffer_.lineText(line), 0, 0, measure_, preedit,
                                           formats(0, buffer_.lineLength(line)));
    const LineWidthCache::TextReader reader = lineReader(line);
    const qsizetype length = buffer_.lineLength(line);
    qsizetype first = std::max<qsizetype>(0, cache->columnAt(fromX, reader, measure_) - 2);
    qsizetype last = std::min(length, cache->columnAt(toX, reader, measure_) + 2);
    if (preedit.column >= 0 && (preedit.column < first || preedit.column > last))
        preedit.column = -1;
    // Widen the slice to boundaries where shaping does not depend on what lies outside it.
    const qsizetype windowFrom = std::max<qsizetype>(0, first - sliceSlack);
    const qsizetype windowTo = std::min(length, last + sliceSlack);
    const QString window = buffer_.mid(start + windowFrom, windowTo - windowFrom);
    while (first > windowFrom && !TextMeasure::isSafeBoundary(window, first - windowFrom))
        --first;
    while (last < windowTo && !TextMeasure::isSafeBoundary(window, last - windowFrom))
        ++last;
    return std::make_unique<LineSlice>(window.mid(first - windowFrom, last - first), first,
                                       cache->x(first, reader, measure_), measure_, preedit,
                                       formats(first, last - first));
}

bool TextLayout::noteWidth(qreal width)
{
    if (width <= longestWidth_)
        return false;
    longestWidth_ = width;
    return true;
}

void TextLayout::estimateLongestLine()
{
    // The longest line by characters is measured; others only when drawn, so opening megabytes
    // of lines does not measure them all.
    const qsizetype lines = buffer_.lineCount();
    if (lines > measuredLongestLimit) {
        noteWidth(qreal(buffer_.length()) / lines * 4 * measure_.tabWidth() / 8);
        return;
    }
    qsizetype longest = 0;
    qsizetype longestLength = -1;
    for (qsizetype line = 0; line < lines; ++line) {
        const qsizetype length = buffer_.lineLength(line);
        if (length > longestLength) {
            longestLength = length;
            longest = line;
        }
    }
    noteWidth(lineWidth(longest));
}

void TextLayout::reset()
{
    caches_.clear();
    lineCount_ = buffer_.lineCount();
    longestWidth_ = 0;
    estimateLongestLine();
}

TextLayout::Change TextLayout::edit(qsizetype position, qsizetype removed, qsizetype added)
{
    Change change;
    const qsizetype newLines = buffer_.lineCount();
    change.linesAdded = newLines - lineCount_;
    change.line = buffer_.lineAt(position);
    change.lastLine = buffer_.lineAt(position + added);
    // setText, or an edit that leaves nothing of the old text.
    change.wholeText = position == 0 && added == buffer_.length();
    if (change.wholeText) {
        reset();
        return change;
    }
    // One line edited in place keeps its cache, the lines below an edit that added or removed
    // breaks move along, the lines the edit touched start afresh.
    auto found = caches_.find(change.line);
    const bool inLine = change.linesAdded == 0 && change.lastLine == change.line &&
                        found != caches_.end() &&
                        found->second.length() - removed + added == buffer_.lineLength(change.line);
    if (inLine) {
        found->second.edit(position - buffer_.lineStart(change.line), removed, added);
    } else {
        const qsizetype oldLastLine = change.lastLine - change.linesAdded;
        std::unordered_map<qsizetype, LineWidthCache> moved;
        for (auto& [key, cache] : caches_) {
            if (key < change.line)
                moved.emplace(key, std::move(cache));
            else if (key > oldLastLine)
                moved.emplace(key + change.linesAdded, std::move(cache));
        }
        caches_ = std::move(moved);
    }
    lineCount_ = newLines;
    noteWidth(lineWidth(change.line));
    return change;
}
