#pragma once

#include <QString>
#include <QStringView>

// UTF-16 text with a movable gap: [0, gapStart) holds the text before the gap, the rest of the
// text sits at the end of the storage. Local edits only move the characters between the old and
// the new edit position. The storage is an adopted QString, so loading a text copies nothing.
class GapBuffer
{
public:
    // Takes `text` over as the storage; the gap starts empty at the end.
    void adopt(QString text);
    qsizetype length() const { return storage_.size() - gapLength(); }
    QChar at(qsizetype pos) const
    {
        return QChar(data()[pos < gapStart_ ? pos : pos + gapLength()]);
    }
    char16_t unit(qsizetype pos) const { return data()[pos < gapStart_ ? pos : pos + gapLength()]; }
    // The text before and after the gap.
    QStringView before() const { return QStringView(data(), gapStart_); }
    QStringView after() const { return QStringView(data() + gapEnd_, storage_.size() - gapEnd_); }
    // The contiguous run that starts at `pos`.
    QStringView chunkAt(qsizetype pos) const;
    QString mid(qsizetype pos, qsizetype length) const;
    void appendTo(QString& out, qsizetype pos, qsizetype length) const;
    // Copies [pos, pos + length) to `out`; returns the end of the copy.
    char16_t* copyTo(char16_t* out, qsizetype pos, qsizetype length) const;
    // Whether `p` points into the storage (a view of the text itself, which an edit moves).
    bool holds(const QChar* p) const
    {
        return p >= storage_.constData() && p < storage_.constData() + storage_.size();
    }
    // Replaces [pos, pos + removeLength) by `insert`; the range must lie in the text.
    void replace(qsizetype pos, qsizetype removeLength, QStringView insert);

private:
    qsizetype gapLength() const { return gapEnd_ - gapStart_; }
    const char16_t* data() const { return reinterpret_cast<const char16_t*>(storage_.constData()); }
    void moveGap(qsizetype pos);
    // Makes the gap at least `minimum` longer and moves it to `pos`.
    void growGapAt(qsizetype pos, qsizetype minimum);

    QString storage_;
    qsizetype gapStart_ = 0;
    qsizetype gapEnd_ = 0;
};
