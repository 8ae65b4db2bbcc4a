#include "text/TextMatcher.h"

#include "text/GapBuffer.h"
#include "text/TextBoundaries.h"

#include <algorithm>
#include <memory>

namespace {

using TextBoundaries::isLineBreak;

// Case folding of every UTF-16 unit as QString's case-insensitive search folds it, except that
// low surrogates all map to one value: a low surrogate after a high one stands for the folded code
// point of the pair, so the table only serves to find candidates, which are then compared exactly.
const char16_t* coarseFoldTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = QChar::isLowSurrogate(c) ? u'\xDC00' : char16_t(QChar::toCaseFolded(c));
        return t;
    }();
    return table.get();
}

char32_t foldUnit(char16_t c, char16_t before, bool hasBefore, const char16_t* table)
{
    if (QChar::isLowSurrogate(c)) {
        if (hasBefore && QChar::isHighSurrogate(before))
            return QChar::toCaseFolded(QChar::surrogateToUcs4(before, c));
        return c;
    }
    return table[c];
}

} // namespace

TextMatcher::TextMatcher(QStringView needle, Qt::CaseSensitivity cs)
    : ignoreCase_(cs == Qt::CaseInsensitive), unitByUnit_(needle.size() == 1)
{
    const char16_t* table = coarseFoldTable();
    qsizetype i = 0;
    while (i < needle.size()) {
        const char16_t c = needle[i].unicode();
        if (isLineBreak(c)) {
            parts_.push_back(Part{qsizetype(folded_.size()), qsizetype(folded_.size())});
            i += (c == u'\r' && i + 1 < needle.size() && needle[i + 1] == u'\n') ? 2 : 1;
            continue;
        }
        const qsizetype begin = qsizetype(folded_.size());
        for (; i < needle.size() && !isLineBreak(needle[i].unicode()); ++i) {
            const char16_t u = needle[i].unicode();
            folded_.push_back(
                ignoreCase_ ? foldUnit(u, i > 0 ? needle[i - 1].unicode() : 0, i > 0, table) : u);
        }
        parts_.push_back(Part{begin, qsizetype(folded_.size())});
        if (keyPart_ < 0)
            keyPart_ = qsizetype(parts_.size()) - 1;
    }
    if (keyPart_ < 0)
        return;
    const Part& key = parts_[keyPart_];
    for (qsizetype k = key.begin; k < key.end; ++k) {
        // Folded low surrogates, paired (beyond 0xFFFF) or not, are all alike here.
        const char32_t u = folded_[k];
        key_.push_back(ignoreCase_ && (u > 0xFFFF || QChar::isLowSurrogate(u)) ? u'\xDC00'
                                                                               : char16_t(u));
    }
    const qsizetype m = qsizetype(key_.size());
    shift_.fill(m);
    for (qsizetype k = 0; k + 1 < m; ++k)
        shift_[key_[k] & 0xFF] = m - 1 - k;
}

char32_t TextMatcher::foldedAt(const GapBuffer& text, qsizetype pos) const
{
    const char16_t c = text.unit(pos);
    if (!ignoreCase_)
        return c;
    return foldUnit(c, pos > 0 ? text.unit(pos - 1) : 0, pos > 0 && !unitByUnit_,
                    coarseFoldTable());
}

bool TextMatcher::runMatches(const GapBuffer& text, qsizetype pos, const Part& run) const
{
    for (qsizetype k = run.begin; k < run.end; ++k, ++pos) {
        if (foldedAt(text, pos) != folded_[k])
            return false;
    }
    return true;
}

bool TextMatcher::matchAt(const GapBuffer& text, qsizetype runPos, qsizetype from, qsizetype to,
                          qsizetype* start, qsizetype* end) const
{
    const qsizetype length = text.length();
    // The breaks before the key, read backwards; each is a whole break of the text.
    qsizetype pos = runPos;
    for (qsizetype p = keyPart_; p-- > 0;) {
        if (pos <= from)
            return false;
        const char16_t c = text.unit(pos - 1);
        if (c == u'\n')
            pos -= (pos >= 2 && text.unit(pos - 2) == u'\r') ? 2 : 1;
        else if (c == u'\r' && (pos == length || text.unit(pos) != u'\n'))
            pos -= 1;
        else
            return false;
    }
    if (pos < from)
        return false;
    *start = pos;
    pos = runPos;
    for (qsizetype p = keyPart_; p < qsizetype(parts_.size()); ++p) {
        const Part& part = parts_[p];
        if (part.begin == part.end) {
            if (pos >= to)
                return false;
            const char16_t c = text.unit(pos);
            if (c == u'\r')
                pos += (pos + 1 < length && text.unit(pos + 1) == u'\n') ? 2 : 1;
            else if (c == u'\n')
                pos += 1;
            else
                return false;
        } else {
            if (pos + (part.end - part.begin) > to || !runMatches(text, pos, part))
                return false;
            pos += part.end - part.begin;
        }
    }
    if (pos > to)
        return false;
    *end = pos;
    return true;
}

qsizetype TextMatcher::scan(QStringView view, qsizetype base, const GapBuffer& text, qsizetype from,
                            qsizetype to, qsizetype* end) const
{
    // Boyer-Moore-Horspool over the coarse folding; every candidate is then checked exactly.
    const qsizetype m = qsizetype(key_.size());
    const qsizetype n = view.size();
    const char16_t* chars = view.utf16();
    const char16_t* table = coarseFoldTable();
    const char16_t last = key_[m - 1];
    qsizetype start = 0;
    for (qsizetype i = 0; i + m <= n;) {
        const char16_t raw = chars[i + m - 1];
        const char16_t c = ignoreCase_ ? table[raw] : raw;
        if (c == last) {
            qsizetype k = m - 2;
            if (ignoreCase_) {
                while (k >= 0 && table[chars[i + k]] == key_[k])
                    --k;
            } else {
                while (k >= 0 && chars[i + k] == key_[k])
                    --k;
            }
            if (k < 0 && matchAt(text, base + i, from, to, &start, end))
                return start;
        }
        i += shift_[c & 0xFF];
    }
    return -1;
}

qsizetype TextMatcher::findBreaksOnly(const GapBuffer& text, qsizetype from, qsizetype to,
                                      qsizetype* end) const
{
    // A needle of breaks alone: try every break that starts in the range.
    for (qsizetype pos = from; pos < to; ++pos) {
        const char16_t c = text.unit(pos);
        if (c == u'\r' || (c == u'\n' && (pos == 0 || text.unit(pos - 1) != u'\r'))) {
            qsizetype p = pos;
            bool ok = true;
            for (std::size_t k = 0; k < parts_.size() && ok; ++k) {
                const char16_t b = p < to ? text.unit(p) : 0;
                if (b == u'\r')
                    p += (p + 1 < text.length() && text.unit(p + 1) == u'\n') ? 2 : 1;
                else if (b == u'\n')
                    p += 1;
                else
                    ok = false;
            }
            if (ok && p <= to) {
                *end = p;
                return pos;
            }
        }
    }
    return -1;
}

qsizetype TextMatcher::find(const GapBuffer& text, qsizetype from, qsizetype to,
                            qsizetype* end) const
{
    from = std::clamp<qsizetype>(from, 0, text.length());
    to = std::clamp<qsizetype>(to, from, text.length());
    qsizetype ignored = 0;
    if (!end)
        end = &ignored;
    if (parts_.empty())
        return -1;
    if (keyPart_ < 0)
        return findBreaksOnly(text, from, to, end);
    // Key positions lie in [from, to - m]; read the text before the gap, a short stitched window
    // across the gap, then the text after it.
    const qsizetype m = qsizetype(key_.size());
    const QStringView before = text.before();
    const qsizetype gap = before.size();
    const qsizetype lastKey = to - m;
    if (lastKey < from)
        return -1;
    if (from < gap) {
        const qsizetype stop = std::min(gap, lastKey + m);
        const qsizetype found = scan(before.sliced(from, stop - from), from, text, from, to, end);
        if (found >= 0)
            return found;
    }
    const qsizetype windowFrom = std::max(from, gap - m + 1);
    const qsizetype windowTo = std::min(to, gap + m - 1);
    if (windowFrom < gap && windowTo > gap && windowTo - windowFrom >= m) {
        const QString window = text.mid(windowFrom, windowTo - windowFrom);
        const qsizetype found = scan(window, windowFrom, text, from, to, end);
        if (found >= 0)
            return found;
    }
    const qsizetype afterFrom = std::max(from, gap);
    if (afterFrom <= lastKey) {
        return scan(text.after().sliced(afterFrom - gap, to - afterFrom), afterFrom, text, from, to,
                    end);
    }
    return -1;
}
