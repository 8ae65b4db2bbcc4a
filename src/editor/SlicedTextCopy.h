#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// A copy of a long text taken a slice at a time, so that the thread that owns the text copies a
// few megabytes without stalling: between two slices it goes back to its events. The text must
// not change meanwhile; the owner cancels the copy when it does. Pure logic, no widgets.
class SlicedTextCopy
{
public:
    // The longest contiguous run of the text that starts at a position (at least one character
    // below the text's length), as TextBuffer::chunkAt gives it.
    using ChunkAt = std::function<QStringView(qsizetype position)>;

    explicit SlicedTextCopy(qsizetype sliceLength) : sliceLength_(sliceLength) {}

    // Starts copying a text of `length` characters; a copy on its way is dropped.
    void start(qsizetype length);
    // Copies the next slice of at most the slice length. Returns true once the whole text is
    // copied.
    bool copyNextSlice(const ChunkAt& chunkAt);
    void cancel();
    // Whether a copy is started and not yet taken or cancelled.
    bool isActive() const { return active_; }
    // The finished copy; the copier is then idle.
    QString take();

private:
    qsizetype sliceLength_;
    QString copy_;
    qsizetype copied_ = 0;
    bool active_ = false;
};
