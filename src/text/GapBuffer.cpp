#include "text/GapBuffer.h"

#include <algorithm>
#include <cstring>

void GapBuffer::adopt(QString text)
{
    storage_ = std::move(text);
    gapStart_ = gapEnd_ = storage_.size();
}

QStringView GapBuffer::chunkAt(qsizetype pos) const
{
    if (pos < gapStart_)
        return before().sliced(pos);
    return after().sliced(std::min(pos - gapStart_, after().size()));
}

QString GapBuffer::mid(qsizetype pos, qsizetype length) const
{
    QString out;
    out.reserve(length);
    appendTo(out, pos, length);
    return out;
}

void GapBuffer::appendTo(QString& out, qsizetype pos, qsizetype length) const
{
    const qsizetype end = pos + length;
    if (pos < gapStart_)
        out.append(before().sliced(pos, std::min(end, gapStart_) - pos));
    if (end > gapStart_) {
        const qsizetype from = std::max(pos, gapStart_) - gapStart_;
        out.append(after().sliced(from, end - gapStart_ - from));
    }
}

char16_t* GapBuffer::copyTo(char16_t* out, qsizetype pos, qsizetype length) const
{
    const qsizetype end = pos + length;
    if (pos < gapStart_)
        out = std::copy(data() + pos, data() + std::min(end, gapStart_), out);
    if (end > gapStart_) {
        const qsizetype from = std::max(pos, gapStart_) + gapLength();
        out = std::copy(data() + from, data() + end + gapLength(), out);
    }
    return out;
}

void GapBuffer::replace(qsizetype pos, qsizetype removeLength, QStringView insert)
{
    if (insert.size() > removeLength + gapLength())
        growGapAt(pos, insert.size() - removeLength);
    else
        moveGap(pos);
    gapEnd_ += removeLength;
    // An empty view may have no data at all, which memcpy must not be given.
    if (!insert.isEmpty()) {
        char16_t* chars = reinterpret_cast<char16_t*>(storage_.data());
        std::memcpy(chars + gapStart_, insert.utf16(), insert.size() * sizeof(char16_t));
        gapStart_ += insert.size();
    }
}

void GapBuffer::moveGap(qsizetype pos)
{
    if (pos == gapStart_)
        return;
    char16_t* chars = reinterpret_cast<char16_t*>(storage_.data());
    if (pos < gapStart_) {
        const qsizetype count = gapStart_ - pos;
        std::memmove(chars + gapEnd_ - count, chars + pos, count * sizeof(char16_t));
        gapStart_ -= count;
        gapEnd_ -= count;
    } else {
        const qsizetype count = pos - gapStart_;
        std::memmove(chars + gapStart_, chars + gapEnd_, count * sizeof(char16_t));
        gapStart_ += count;
        gapEnd_ += count;
    }
}

void GapBuffer::growGapAt(qsizetype pos, qsizetype minimum)
{
    // The gap grows with the text (amortised O(1) per typed character) but stays a small share
    // of it, so that a huge document does not double its memory on the first keystroke.
    const qsizetype extra = std::max(minimum, std::clamp<qsizetype>(length() / 8, 4096, 1 << 26));
    const qsizetype oldSize = storage_.size();
    // A detached, growing resize reallocates in place where it can; then every character that
    // has to move moves once, to its place around the new gap at pos.
    storage_.resize(oldSize + extra);
    char16_t* chars = reinterpret_cast<char16_t*>(storage_.data());
    if (pos >= gapStart_) {
        const qsizetype down = pos - gapStart_;
        std::memmove(chars + gapStart_, chars + gapEnd_, down * sizeof(char16_t));
        const qsizetype rest = gapEnd_ + down;
        std::memmove(chars + rest + extra, chars + rest, (oldSize - rest) * sizeof(char16_t));
        gapEnd_ = rest + extra;
    } else {
        std::memmove(chars + gapEnd_ + extra, chars + gapEnd_,
                     (oldSize - gapEnd_) * sizeof(char16_t));
        const qsizetype up = gapStart_ - pos;
        gapEnd_ += extra - up;
        std::memmove(chars + gapEnd_, chars + pos, up * sizeof(char16_t));
    }
    gapStart_ = pos;
}
