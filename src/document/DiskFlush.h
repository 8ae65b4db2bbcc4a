#pragma once

#include <QByteArrayView>
#include <QString>

// Writing data to a descriptor whole, and flushing it to the disk, the step that makes a write
// durable. A flush that fails
// (EIO from a failing disk, ENOSPC on some file systems) means the data may never reach the disk:
// callers treat it as a failed write.
class DiskFlush
{
public:
    // The function that flushes a descriptor's data: fdatasync by default. Returns 0, or -1 with
    // errno set.
    using FlushFunction = int (*)(int fd);

    // Writes all of `bytes` at the descriptor's position, however many calls it takes. Returns 0
    // or the error number (EIO for a write that wrote nothing).
    static int writeAll(int fd, QByteArrayView bytes);
    // Flushes the file's data. Returns 0 or the error number.
    static int fileData(int fd);
    // Flushes the folder that holds `path`, so that a new or renamed entry in it survives a crash.
    // Returns 0 or the error number.
    static int folderOf(const QString& path);

    // Replaces the flush function and returns the one in force before; tests inject failures
    // through it.
    static FlushFunction setFlushFunction(FlushFunction flush);
};
