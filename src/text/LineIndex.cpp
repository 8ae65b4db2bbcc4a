#include "text/LineIndex.h"

#include "text/GapBuffer.h"

#include <QStringView>

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The first CR or LF in [p, end), or end.
const char16_t* nextBreakChar(const char16_t* p, const char16_t* end)
{
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi16('\r');
    const __m128i lf = _mm_set1_epi16('\n');
    for (; end - p >= 8; p += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(chars, cr), _mm_cmpeq_epi16(chars, lf)));
        if (mask)
            return p + __builtin_ctz(unsigned(mask)) / 2;
    }
#endif
    for (; p < end; ++p) {
        if (*p == u'\r' || *p == u'\n')
            return p;
    }
    return end;
}

// Calls found(start, breakLength) for every line start in (from, to] of `text` (from >= 0),
// in order; a start is the position just after a break.
template <class Found>
void scanStarts(const GapBuffer& text, qsizetype from, qsizetype to, Found found)
{
    const qsizetype length = text.length();
    qsizetype pos = from;
    while (pos < to) {
        // Scan contiguous runs for the next CR or LF at or after pos.
        const QStringView chunk = text.chunkAt(pos);
        const char16_t* begin = chunk.utf16();
        const qsizetype runEnd = std::min(to, pos + chunk.size());
        const char16_t* hit = nextBreakChar(begin, begin + (runEnd - pos));
        pos += hit - begin;
        if (pos >= to)
            break;
        const char16_t c = *hit;
        if (c == u'\n') {
            const bool crlf = pos > 0 && text.unit(pos - 1) == u'\r';
            found(pos + 1, crlf ? 2 : 1);
        } else if (pos + 1 >= length || text.unit(pos + 1) != u'\n') {
            found(pos + 1, 1);
        }
        ++pos;
    }
}

} // namespace

void LineIndex::build(const GapBuffer& text)
{
    length_ = text.length();
    qsizetype count = 0;
    scanStarts(text, 0, length_, [&count](qsizetype, int) { ++count; });
    entries_.clear();
    entries_.shrink_to_fit();
    // Exactly sized: a huge text gets no spare half of an index.
    entries_.reserve(count + 64);
    entries_.resize(count + 64);
    gapStart_ = 0;
    gapEnd_ = qsizetype(entries_.size());
    Entry last{0, 0};
    scanStarts(text, 0, length_, [&](qsizetype start, int breakLength) {
        last = Entry{start, last.crlf + (start - last.raw) + (breakLength == 1 ? 1 : 0)};
        entries_[gapStart_++] = last;
    });
    crlfLength_ = last.crlf + (length_ - last.raw);
}

LineIndex::Entry LineIndex::entry(qsizetype i) const
{
    if (i < gapStart_)
        return entries_[i];
    const Entry& e = entries_[i + (gapEnd_ - gapStart_)];
    return Entry{length_ - e.raw, crlfLength_ - e.crlf};
}

qsizetype LineIndex::lineStart(qsizetype line) const
{
    return line <= 0 ? 0 : entry(line - 1).raw;
}

qsizetype LineIndex::crlfLineStart(qsizetype line) const
{
    return line <= 0 ? 0 : entry(line - 1).crlf;
}

qsizetype LineIndex::lineAt(qsizetype pos) const
{
    // The number of line starts at or before pos.
    const auto beforeEnd = entries_.begin() + gapStart_;
    if (gapStart_ > 0 && entries_[gapStart_ - 1].raw > pos) {
        return std::upper_bound(entries_.begin(), beforeEnd, pos,
                                [](qsizetype p, const Entry& e) { return p < e.raw; }) -
               entries_.begin();
    }
    // After the gap, distances from the end fall as positions rise.
    const qsizetype distance = length_ - pos;
    const auto afterBegin = entries_.begin() + gapEnd_;
    const auto firstAfter = std::partition_point(
        afterBegin, entries_.end(), [distance](const Entry& e) { return e.raw >= distance; });
    return gapStart_ + (firstAfter - afterBegin);
}

qsizetype LineIndex::lineAtCrlf(qsizetype crlfPos) const
{
    const auto beforeEnd = entries_.begin() + gapStart_;
    if (gapStart_ > 0 && entries_[gapStart_ - 1].crlf > crlfPos) {
        return std::upper_bound(entries_.begin(), beforeEnd, crlfPos,
                                [](qsizetype p, const Entry& e) { return p < e.crlf; }) -
               entries_.begin();
    }
    const qsizetype distance = crlfLength_ - crlfPos;
    const auto afterBegin = entries_.begin() + gapEnd_;
    const auto firstAfter = std::partition_point(
        afterBegin, entries_.end(), [distance](const Entry& e) { return e.crlf >= distance; });
    return gapStart_ + (firstAfter - afterBegin);
}

void LineIndex::moveGap(qsizetype pos)
{
    // Afterwards every entry before the gap starts before pos, every one after it at or after pos.
    while (gapStart_ > 0 && entries_[gapStart_ - 1].raw >= pos) {
        const Entry e = entries_[--gapStart_];
        entries_[--gapEnd_] = Entry{length_ - e.raw, crlfLength_ - e.crlf};
    }
    while (gapEnd_ < qsizetype(entries_.size()) && length_ - entries_[gapEnd_].raw < pos) {
        const Entry e = entries_[gapEnd_++];
        entries_[gapStart_++] = Entry{length_ - e.raw, crlfLength_ - e.crlf};
    }
}

void LineIndex::push(Entry e)
{
    if (gapStart_ == gapEnd_) {
        const qsizetype oldSize = qsizetype(entries_.size());
        const qsizetype extra = std::max<qsizetype>(64, oldSize / 8);
        entries_.resize(oldSize + extra);
        std::move_backward(entries_.begin() + gapEnd_, entries_.begin() + oldSize, entries_.end());
        gapEnd_ += extra;
    }
    entries_[gapStart_++] = e;
}

void LineIndex::update(const GapBuffer& text, qsizetype pos, qsizetype removed, qsizetype added)
{
    // A start depends on the characters just before and at it, so the starts in
    // [pos, pos + removed] of the old text go, and those in [pos, pos + added] of the new come.
    moveGap(pos);
    const qsizetype oldEnd = pos + removed;
    while (gapEnd_ < qsizetype(entries_.size()) && length_ - entries_[gapEnd_].raw <= oldEnd)
        ++gapEnd_;
    const qsizetype newLength = length_ - removed + added;
    Entry last = gapStart_ > 0 ? entries_[gapStart_ - 1] : Entry{0, 0};
    const qsizetype from = std::max<qsizetype>(pos - 1, 0);
    const qsizetype to = std::min(pos + added, newLength);
    scanStarts(text, from, to, [&](qsizetype start, int breakLength) {
        last = Entry{start, last.crlf + (start - last.raw) + (breakLength == 1 ? 1 : 0)};
        push(last);
    });
    // Entries after the gap keep their distances from the end; the CR LF length follows from the
    // first of them (or from the last line) measured against the new text.
    length_ = newLength;
    if (gapEnd_ < qsizetype(entries_.size())) {
        const qsizetype next = length_ - entries_[gapEnd_].raw;
        const bool crlf = next >= 2 && text.unit(next - 1) == u'\n' && text.unit(next - 2) == u'\r';
        const qsizetype nextCrlf = last.crlf + (next - last.raw) + (crlf ? 0 : 1);
        crlfLength_ = nextCrlf + entries_[gapEnd_].crlf;
    } else {
        crlfLength_ = last.crlf + (length_ - last.raw);
    }
}
