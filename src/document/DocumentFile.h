#pragma once

#include "document/DocumentFormat.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A file that could not be read, written or deleted. message() is the text for the error report:
// what failed, the file name and the system's reason.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

// The largest file that readFileBytes reads: past it a document is refused rather than risking
// running out of memory.
inline constexpr qint64 maxDocumentBytes = qint64(512) * 1024 * 1024;

// The reason for a failed flush to the disk (fsync, fdatasync): the written data may never reach
// it.
QString flushFailureReason(int error);

// Reads the whole file. Throws FileError when it cannot be read (missing, larger than
// maxDocumentBytes, ...); anything but a regular file (after following symlinks: a directory, a
// pipe, a socket, a device) is refused before it is opened, and no more than one byte past the
// limit is ever read.
QByteArray readFileBytes(const QString& path);

// Writes `bytes` so that the file is either wholly replaced or left as it was (QSaveFile,
// checking that every byte was written before committing). A symlink stays a symlink (its target
// is replaced); the file keeps its permissions, and its owner and group where the process may set
// them. A file with several hard links, or a writable one in a folder we may not write, is
// written in place instead (InPlaceFileWriter), its new size reserved first. Refuses
// directories, devices, sockets and pipes before opening them. Throws FileError on failure.
// The data is flushed to the disk before it replaces the old file, and the folder after: a failed
// flush is a failed write.
// A write beyond RLIMIT_FSIZE raises SIGXFSZ, which kills the process unless it is ignored: the
// program ignores it at start-up, so that such a write fails here as a short write instead.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Convenience: read and decode, encode and write.
DecodedDocument readDocument(const QString& path);
void writeDocument(const QString& path, const QString& text, const TextFormat& format);
