#include "document/RecoveryJournal.h"

#include "document/DiskChangeWatch.h"

#include <QFile>

#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <zlib.h>

namespace {

// Journals are written in the second format, whose checksum is a CRC-32 (fast enough for a
// record of many megabytes); the first, with a 16-bit CRC, is still read.
const QByteArray Magic("PWJOURNAL2\n", 11);
const QByteArray FirstMagic("PWJOURNAL1\n", 11);
enum RecordType : char { Header = 'H', Text = 'T', Bytes = 'B', Base = 'F', Edit = 'E' };
// Type (1), payload length (4), payload, checksum (4; 2 in the first format).
constexpr qsizetype FrameOverhead = 9;

quint32 checksumOf(QByteArrayView payload)
{
    return RecoveryJournal::extendChecksum(0, payload);
}

template <typename T> void appendValue(QByteArray& out, T value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void appendString(QByteArray& out, QStringView text)
{
    appendValue<qint64>(out, text.size());
    out.append(reinterpret_cast<const char*>(text.data()), text.size() * qsizetype(sizeof(QChar)));
}

// Frames the payload that starts at `payloadStart` of `out` (its type byte and a length
// placeholder come just before it).
void closeRecord(QByteArray& out, qsizetype payloadStart)
{
    const quint32 length = quint32(out.size() - payloadStart);
    std::memcpy(out.data() + payloadStart - 4, &length, 4);
    appendValue<quint32>(out, checksumOf(QByteArrayView(out).sliced(payloadStart)));
}

qsizetype openRecord(QByteArray& out, RecordType type)
{
    out.append(char(type));
    appendValue<quint32>(out, 0);
    return out.size();
}

// Reads the payload of one record in order; any read past its end marks it bad.
class PayloadReader
{
public:
    explicit PayloadReader(QByteArrayView payload) : data_(payload) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == data_.size(); }

    template <typename T> T value()
    {
        T v{};
        if (!take(sizeof v))
            return v;
        std::memcpy(&v, data_.data() + at_ - qsizetype(sizeof v), sizeof v);
        return v;
    }
    QString string()
    {
        const qint64 length = value<qint64>();
        if (length < 0 || length > (data_.size() - at_) / qsizetype(sizeof(QChar))) {
            ok_ = false;
            return {};
        }
        QString s(qsizetype(length), Qt::Uninitialized);
        std::memcpy(s.data(), data_.data() + at_, size_t(length) * sizeof(QChar));
        at_ += qsizetype(length) * qsizetype(sizeof(QChar));
        return s;
    }
    QByteArrayView rest()
    {
        const QByteArrayView r = data_.sliced(at_);
        at_ = data_.size();
        return r;
    }

private:
    bool take(size_t n)
    {
        if (!ok_ || qsizetype(n) > data_.size() - at_) {
            ok_ = false;
            return false;
        }
        at_ += qsizetype(n);
        return true;
    }
    QByteArrayView data_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

void appendFormat(QByteArray& out, const TextFormat& format)
{
    appendValue<qint32>(out, qint32(format.encoding));
    appendValue<qint32>(out, format.byteOrderMark ? 1 : 0);
    appendValue<qint32>(out, qint32(format.lineEnding));
    appendString(out, format.declaredCharset);
    appendString(out, format.otherCharset);
}

TextFormat readFormat(PayloadReader& in)
{
    TextFormat format;
    const qint32 encoding = in.value<qint32>();
    if (encoding >= 0 && encoding <= qint32(TextEncoding::Other))
        format.encoding = TextEncoding(encoding);
    format.byteOrderMark = in.value<qint32>() != 0;
    format.lineEnding =
        in.value<qint32>() == qint32(LineEnding::Lf) ? LineEnding::Lf : LineEnding::CrLf;
    format.declaredCharset = in.string();
    format.otherCharset = in.string();
    return format;
}

// Applies one record to the replay; false when it does not fit (the journal ends before it).
bool apply(RecoveryJournal::Replay& replay, char type, QByteArrayView payload)
{
    PayloadReader in(payload);
    switch (type) {
    case Header: {
        if (replay.headerRead)
            return false;
        replay.header.fileName = in.string();
        replay.header.format = readFormat(in);
        replay.header.base.size = in.value<qint64>();
        replay.header.base.modifiedNs = in.value<qint64>();
        replay.header.base.inode = in.value<quint64>();
        replay.headerRead = in.ok();
        return in.ok();
    }
    case Text: {
        QString text = in.string();
        if (!in.ok() || !in.atEnd())
            return false;
        replay.text = std::move(text);
        replay.hasText = true;
        return true;
    }
    case Bytes: {
        DecodedDocument decoded = decodeDocument(in.rest().toByteArray());
        replay.text = std::move(decoded.text);
        replay.header.format = decoded.format;
        replay.hasText = true;
        return true;
    }
    case Base: {
        const qint64 length = in.value<qint64>();
        const QByteArrayView hash = in.rest();
        QFile file(replay.header.fileName);
        if (!in.ok() || replay.header.fileName.isEmpty())
            return false;
        if (!file.open(QIODevice::ReadOnly)) {
            replay.fileUnreadable = true;
            return false;
        }
        QByteArray bytes = file.readAll();
        // The file changed since the journal began: the edits no longer fit it.
        if (contentHash(bytes) != hash)
            return false;
        DecodedDocument decoded = decodeDocument(std::move(bytes));
        if (decoded.text.size() != length)
            return false;
        replay.text = std::move(decoded.text);
        replay.hasText = true;
        return true;
    }
    case Edit: {
        const qint64 position = in.value<qint64>();
        const qint64 removed = in.value<qint64>();
        const QString inserted = in.string();
        if (!in.ok() || !in.atEnd() || !replay.hasText || position < 0 || removed < 0 ||
            position + removed > replay.text.size())
            return false;
        replay.text.replace(qsizetype(position), qsizetype(removed), inserted);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

namespace {

FileSignature signatureOf(const struct stat& st)
{
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            quint64(st.st_ino)};
}

} // namespace

FileSignature FileSignature::of(const QString& path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return signatureOf(st);
}

FileSignature FileSignature::of(int fd)
{
    struct stat st
    {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    return signatureOf(st);
}

QByteArray RecoveryJournal::encodeStart(const JournalHeader& header)
{
    QByteArray out = Magic;
    const qsizetype start = openRecord(out, Header);
    appendString(out, header.fileName);
    appendFormat(out, header.format);
    appendValue<qint64>(out, header.base.size);
    appendValue<qint64>(out, header.base.modifiedNs);
    appendValue<quint64>(out, header.base.inode);
    closeRecord(out, start);
    return out;
}

QByteArray RecoveryJournal::encodeText(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() * qsizetype(sizeof(QChar)) + 16 + FrameOverhead);
    const qsizetype start = openRecord(out, Text);
    appendString(out, text);
    closeRecord(out, start);
    return out;
}

QByteArray RecoveryJournal::encodeFileBytes(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + FrameOverhead);
    const qsizetype start = openRecord(out, Bytes);
    out.append(bytes);
    closeRecord(out, start);
    return out;
}

QByteArray RecoveryJournal::encodeFileBase(const QByteArray& hash, qsizetype textLength)
{
    QByteArray out;
    const qsizetype start = openRecord(out, Base);
    appendValue<qint64>(out, textLength);
    out.append(hash);
    closeRecord(out, start);
    return out;
}

bool RecoveryJournal::isFileBase(const QByteArray& record)
{
    return record.size() > FrameOverhead && record.front() == Base;
}

QByteArray RecoveryJournal::bytesRecordHead(qint64 length)
{
    if (length < 0 || length > qint64(std::numeric_limits<quint32>::max()) - FrameOverhead)
        return {};
    QByteArray out;
    openRecord(out, Bytes);
    const quint32 payloadLength = quint32(length);
    std::memcpy(out.data() + 1, &payloadLength, 4);
    return out;
}

quint32 RecoveryJournal::extendChecksum(quint32 checksum, QByteArrayView bytes)
{
    return quint32(
        crc32_z(checksum, reinterpret_cast<const Bytef*>(bytes.data()), size_t(bytes.size())));
}

QByteArray RecoveryJournal::bytesRecordTail(quint32 checksum)
{
    QByteArray out;
    appendValue<quint32>(out, checksum);
    return out;
}

void RecoveryJournal::appendEdit(QByteArray& out, qsizetype position, qsizetype removed,
                                 QStringView inserted)
{
    const qsizetype start = openRecord(out, Edit);
    appendValue<qint64>(out, position);
    appendValue<qint64>(out, removed);
    appendString(out, inserted);
    closeRecord(out, start);
}

RecoveryJournal::Replay RecoveryJournal::replay(const QByteArray& data, bool headerOnly)
{
    Replay replay;
    const bool first = data.startsWith(FirstMagic);
    if (!first && !data.startsWith(Magic))
        return replay;
    const qsizetype checksumSize = first ? 2 : 4;
    const qsizetype overhead = 5 + checksumSize;
    qsizetype at = Magic.size();
    while (data.size() - at >= overhead) {
        const char type = data.at(at);
        quint32 length = 0;
        std::memcpy(&length, data.constData() + at + 1, 4);
        if (qint64(length) > data.size() - at - overhead)
            break;
        const QByteArrayView payload = QByteArrayView(data).sliced(at + 5, qsizetype(length));
        quint32 checksum = 0;
        std::memcpy(&checksum, data.constData() + at + 5 + length, size_t(checksumSize));
        if (checksum != (first ? quint32(qChecksum(payload)) : checksumOf(payload)))
            break;
        // The header comes first or the file is no journal of ours.
        if (replay.headerRead != (type != Header) || !apply(replay, type, payload))
            break;
        at += overhead + qsizetype(length);
        replay.validLength = at;
        if (headerOnly)
            break;
    }
    return replay;
}
