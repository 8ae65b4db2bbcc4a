#pragma once

#include <QByteArray>
#include <QString>

// Writes a file's new content into the file itself rather than into a replacement: for a file
// with more than one hard link (every name must see the new text) and for a writable file in a
// folder where no replacement can be created. The new size is reserved first, so a full disk
// fails the save before a single old byte is overwritten; then the content is written, the file
// cut to its size and flushed to the disk.
class InPlaceFileWriter
{
public:
    // Throws FileError (with the file name and the system's reason) on failure.
    static void write(const QString& path, const QByteArray& bytes);
};
