#include "text/LineWidthCache.h"

#include "text/TextMeasure.h"

#include <algorithm>

namespace {

// How far a chunk boundary may move back to avoid cutting a cluster or a right-to-left run.
constexpr qsizetype boundarySlack = 512;

} // namespace

LineWidthCache::LineWidthCache(qsizetype length)
{
    reset(length);
}

void LineWidthCache::reset(qsizetype length)
{
    length_ = length;
    chunks_.assign(1, Chunk{length, 0, false});
    clean_ = false;
}

std::size_t LineWidthCache::chunkAt(qsizetype column) const
{
    qsizetype start = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        if (column < start + chunks_[i].length)
            return i;
        start += chunks_[i].length;
    }
    return chunks_.size() - 1;
}

void LineWidthCache::edit(qsizetype column, qsizetype removed, qsizetype added)
{
    column = std::clamp<qsizetype>(column, 0, length_);
    removed = std::clamp<qsizetype>(removed, 0, length_ - column);
    // Linear in the number of chunks (a few thousand at most for megabytes), no measuring.
    qsizetype start = 0;
    std::size_t first = chunks_.size() - 1;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        if (column < start + chunks_[i].length || i + 1 == chunks_.size()) {
            first = i;
            break;
        }
        start += chunks_[i].length;
    }
    qsizetype toRemove = removed;
    std::size_t i = first;
    qsizetype offset = column - start;
    while (toRemove > 0 && i < chunks_.size()) {
        Chunk& chunk = chunks_[i];
        const qsizetype take = std::min(toRemove, chunk.length - offset);
        chunk.length -= take;
        chunk.measured = false;
        toRemove -= take;
        offset = 0;
        ++i;
    }
    chunks_[first].length += added;
    chunks_[first].measured = false;
    length_ += added - removed;
    std::erase_if(chunks_, [](const Chunk& chunk) { return chunk.length == 0; });
    if (chunks_.empty())
        chunks_.push_back(Chunk{0, 0, true});
    clean_ = false;
}

void LineWidthCache::ensureMeasured(const TextReader& text, const TextMeasure& measure)
{
    if (clean_)
        return;
    std::vector<Chunk> measured;
    measured.reserve(chunks_.size());
    qsizetype start = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        Chunk chunk = chunks_[i];
        if (chunk.measured) {
            measured.push_back(chunk);
            start += chunk.length;
            continue;
        }
        // Split an unmeasured chunk into pieces of about chunkSize, each ending where a
        // character, a cluster or a right-to-left run does, and measure each piece.
        qsizetype left = chunk.length;
        while (left > 0) {
            qsizetype take = left;
            QString piece;
            if (left > chunkSize * 2) {
                piece = text(start, chunkSize + 1);
                take = chunkSize;
                while (take > chunkSize - boundarySlack &&
                       !TextMeasure::isSafeBoundary(piece, take))
                    --take;
                if (take == chunkSize - boundarySlack)
                    take = chunkSize;
                piece.truncate(take);
            } else {
                piece = text(start, take);
            }
            measured.push_back(Chunk{take, measure.width(piece), true});
            ++measuredChunks_;
            start += take;
            left -= take;
        }
    }
    chunks_ = std::move(measured);
    if (chunks_.empty())
        chunks_.push_back(Chunk{0, 0, true});
    starts_.resize(chunks_.size() + 1);
    lefts_.resize(chunks_.size() + 1);
    starts_[0] = 0;
    lefts_[0] = 0;
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        starts_[i + 1] = starts_[i] + chunks_[i].length;
        lefts_[i + 1] = lefts_[i] + chunks_[i].width;
    }
    clean_ = true;
}

qreal LineWidthCache::width(const TextReader& text, const TextMeasure& measure)
{
    ensureMeasured(text, measure);
    return lefts_.back();
}

qreal LineWidthCache::x(qsizetype column, const TextReader& text, const TextMeasure& measure)
{
    ensureMeasured(text, measure);
    column = std::clamp<qsizetype>(column, 0, length_);
    // The last chunk that starts at or before the column.
    const auto found = std::upper_bound(starts_.begin(), starts_.end() - 1, column) - 1;
    const std::size_t i = std::size_t(found - starts_.begin());
    const qsizetype inside = column - starts_[i];
    if (inside == 0)
        return lefts_[i];
    return lefts_[i] + measure.width(text(starts_[i], inside));
}

qsizetype LineWidthCache::columnAt(qreal x, const TextReader& text, const TextMeasure& measure)
{
    ensureMeasured(text, measure);
    if (x <= 0)
        return 0;
    if (x >= lefts_.back())
        return length_;
    const auto found = std::upper_bound(lefts_.begin(), lefts_.end() - 1, x) - 1;
    const std::size_t i = std::size_t(found - lefts_.begin());
    return starts_[i] + measure.columnAt(text(starts_[i], chunks_[i].length), x - lefts_[i]);
}
