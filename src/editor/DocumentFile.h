#pragma once

#include "editor/DocumentFormat.h"

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

// Reads the whole file. Throws FileError when it cannot be read (missing, a directory, ...).
QByteArray readFileBytes(const QString& path);

// Writes `bytes` so that the file is either wholly replaced or left as it was (QSaveFile,
// checking that every byte was written before committing). Throws FileError on failure.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Convenience: read and decode, encode and write.
DecodedDocument readDocument(const QString& path);
void writeDocument(const QString& path, const QString& text, const TextFormat& format);
