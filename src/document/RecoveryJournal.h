#pragma once

#include "document/DocumentFormat.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// What identifies a file's state on disk cheaply: size, modification time and inode. Taken when
// a document is loaded or saved, it tells later whether another program changed the file since.
struct FileSignature
{
    qint64 size = -1; // -1: no such file
    qint64 modifiedNs = 0;
    quint64 inode = 0;

    static FileSignature of(const QString& path);
    // Of the file open as `fd`.
    static FileSignature of(int fd);
    bool operator==(const FileSignature&) const = default;
};

// What a journal says about its document.
struct JournalHeader
{
    // The document's file as an absolute path; empty for a document never saved.
    QString fileName;
    TextFormat format;
    // The file as it was when the journal began.
    FileSignature base;
};

// The recovery journal's file format: a magic, then records, each framed by its type, its
// length and a checksum (CRC-32), so that a record cut short by a crash (or the zeros a file system
// leaves after one) ends the journal there instead of making it unreadable:
//   header   the document's name, format and base file
//   text     the whole text
//   bytes    the whole text as file bytes, decoded as a file is on opening (with its format)
//   base     the whole text is the document's file as it was read: its content hash and the
//            length of its text; replayed by reading and decoding the file again, and only while
//            the file still holds those bytes
//   edit     [position, position + removed) replaced by the inserted text
// A journal replays to the text by starting from the last whole text and applying the edits
// after it in order.
class RecoveryJournal
{
public:
    static QByteArray encodeStart(const JournalHeader& header);
    static QByteArray encodeText(const QString& text);
    static QByteArray encodeFileBytes(const QByteArray& bytes);
    // The text is the file's as it was read: `hash` is contentHash() of its bytes.
    static QByteArray encodeFileBase(const QByteArray& hash, qsizetype textLength);
    static bool isFileBase(const QByteArray& record);
    // A record of file bytes too big to hold twice, written in pieces: the head for `length`
    // bytes (empty when a record cannot hold so many), the bytes, and the tail with their
    // checksum, each piece of them added by extendChecksum() starting from 0.
    static QByteArray bytesRecordHead(qint64 length);
    static quint32 extendChecksum(quint32 checksum, QByteArrayView bytes);
    static QByteArray bytesRecordTail(quint32 checksum);
    // Appends an edit record to `out` (the typing path: no copy of anything but `inserted`).
    static void appendEdit(QByteArray& out, qsizetype position, qsizetype removed,
                           QStringView inserted);

    struct Replay
    {
        bool headerRead = false; // false: not a journal at all
        bool hasText = false;    // false: nothing to restore
        // The text stands on the document's file, which cannot be read now (gone, or on a disk
        // not mounted): it may restore once the file is back.
        bool fileUnreadable = false;
        JournalHeader header;
        QString text;
        // Where the whole records end: a journal continued after a crash continues there.
        qint64 validLength = 0;
    };
    // Reads the records up to the first one that is cut short, fails its checksum or does not fit
    // the text. `headerOnly` stops after the header.
    static Replay replay(const QByteArray& data, bool headerOnly = false);
};
