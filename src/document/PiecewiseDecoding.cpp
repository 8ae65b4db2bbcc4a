#include "document/PiecewiseDecoding.h"

#include <sys/mman.h>
#include <unistd.h>

namespace PiecewiseDecoding {

namespace {

bool isUtf8Continuation(char byte)
{
    return (uchar(byte) & 0xC0) == 0x80;
}

// Where the piece that starts at `start` ends: about `pieceSize` bytes on, moved back to the
// start of a UTF-8 character, and on by one so that a CR LF pair stays in one piece.
qsizetype pieceEnd(QByteArrayView bytes, qsizetype start, qsizetype pieceSize, Cut cut)
{
    qsizetype end = std::min(bytes.size(), start + pieceSize);
    if (end == bytes.size())
        return end;
    if (cut == Cut::Utf8) {
        qsizetype lead = end;
        while (lead > start && end - lead < 4 && isUtf8Continuation(bytes[lead]))
            --lead;
        if (lead > start)
            end = lead;
    }
    if (bytes[end - 1] == '\r' && bytes[end] == '\n')
        ++end;
    return end;
}

// Gives the memory pages of [from, to) back to the system (they read as zeros after); `from` and
// `to` are page boundaries.
void releasePages(quintptr from, quintptr to)
{
    if (to > from)
        ::madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

quintptr pageSize()
{
    static const auto size = quintptr(::sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace

QString decode(QByteArray& owner, QByteArrayView bytes, Cut cut, const DecodePiece& decodePiece,
               qsizetype pieceSize)
{
    const bool ours = owner.isDetached() && bytes.data() >= owner.constData() &&
                      bytes.data() + bytes.size() <= owner.constData() + owner.size();
    QString text;
    // One UTF-16 unit per byte at most (CR LF pairs and UTF-8 sequences only shrink); pages of
    // the reserve that are never written are never touched.
    text.reserve(bytes.size());
    // Only whole pages within the bytes go back: the pages at either end may hold other data.
    quintptr releasedUpTo = (quintptr(bytes.data()) + pageSize() - 1) & ~(pageSize() - 1);
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = pieceEnd(bytes, start, std::max<qsizetype>(pieceSize, 4), cut);
        text.append(decodePiece(bytes.sliced(start, end - start)));
        if (ours) {
            const quintptr decodedUpTo = quintptr(bytes.data() + end) & ~(pageSize() - 1);
            releasePages(releasedUpTo, decodedUpTo);
            releasedUpTo = std::max(releasedUpTo, decodedUpTo);
        }
        start = end;
    }
    return text;
}

} // namespace PiecewiseDecoding
