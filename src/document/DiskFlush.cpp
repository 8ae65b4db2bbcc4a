#include "document/DiskFlush.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::atomic<DiskFlush::FlushFunction> flushFunction{&::fdatasync};

} // namespace

int DiskFlush::writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return 0;
}

int DiskFlush::fileData(int fd)
{
    for (;;) {
        if (flushFunction.load()(fd) == 0)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

int DiskFlush::folderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = fileData(fd);
    // Some file systems cannot flush a folder; that loses nothing that a file flush kept.
    if (error == EINVAL || error == EROFS)
        error = 0;
    ::close(fd);
    return error;
}

DiskFlush::FlushFunction DiskFlush::setFlushFunction(FlushFunction flush)
{
    return flushFunction.exchange(flush);
}
