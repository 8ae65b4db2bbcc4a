#include "editor/SlicedTextCopy.h"

#include <algorithm>
#include <cstring>
#include <utility>

void SlicedTextCopy::start(qsizetype length)
{
    // Left uninitialised: the slices write every character, and the pages are touched slice by
    // slice instead of all at once.
    copy_ = QString(length, Qt::Uninitialized);
    copied_ = 0;
    active_ = true;
}

bool SlicedTextCopy::copyNextSlice(const ChunkAt& chunkAt)
{
    if (!active_)
        return false;
    const qsizetype sliceEnd = std::min(copy_.size(), copied_ + sliceLength_);
    QChar* out = copy_.data();
    while (copied_ < sliceEnd) {
        const QStringView chunk = chunkAt(copied_);
        if (chunk.isEmpty()) {
            // The text is shorter than it was said to be: what was copied is the copy.
            copy_.truncate(copied_);
            break;
        }
        const qsizetype length = std::min(chunk.size(), sliceEnd - copied_);
        std::memcpy(out + copied_, chunk.data(), std::size_t(length) * sizeof(QChar));
        copied_ += length;
    }
    return copied_ >= copy_.size();
}

void SlicedTextCopy::cancel()
{
    copy_ = QString();
    copied_ = 0;
    active_ = false;
}

QString SlicedTextCopy::take()
{
    active_ = false;
    copied_ = 0;
    return std::exchange(copy_, QString());
}
