#include "platform/TextSnapshot.h"

#include <algorithm>

void TextSnapshot::noteChange(qsizetype position, qsizetype removed, qsizetype added)
{
    if (!valid_)
        return;
    if (!stale_) {
        stale_ = Region{position, position + removed, position + added};
        return;
    }
    // One region covering the old one and the change, in the document's coordinates before the
    // change; beyond the old region the copy's positions differ from them by a fixed offset.
    Region& region = *stale_;
    const qsizetype low = std::min(region.start, position);
    const qsizetype high = std::max(region.newEnd, position + removed);
    region.oldEnd = high - region.newEnd + region.oldEnd;
    region.start = low;
    region.newEnd = high + added - removed;
}

void TextSnapshot::invalidate()
{
    text_.clear();
    valid_ = false;
    stale_.reset();
}

const QString& TextSnapshot::text(qsizetype documentLength, const RangeReader& read)
{
    if (valid_ && stale_) {
        Region region = *stale_;
        stale_.reset();
        // A change at the very end may be reported one character longer on both sides (the
        // document's closing paragraph mark, which the text does not hold).
        const qsizetype excess = region.newEnd - documentLength;
        if (excess > 0 && region.oldEnd - excess >= region.start &&
            region.newEnd - excess >= region.start) {
            region.oldEnd -= excess;
            region.newEnd -= excess;
        }
        if (region.oldEnd <= text_.size() && region.newEnd <= documentLength &&
            text_.size() - (region.oldEnd - region.start) + (region.newEnd - region.start) ==
                documentLength)
            text_.replace(region.start, region.oldEnd - region.start,
                          read(region.start, region.newEnd));
        else
            valid_ = false; // the changes reported do not add up: read it all
    }
    if (!valid_ || text_.size() != documentLength) {
        text_ = read(0, documentLength);
        valid_ = true;
    }
    return text_;
}
