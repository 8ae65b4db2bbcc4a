#include "document/InPlaceFileWriter.h"

#include "document/DiskFlush.h"
#include "document/DocumentFile.h"
#include "document/RecoveryStore.h"
#include "document/SystemReason.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QString failure(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось сохранить файл\n%1\n\n%2").arg(path, reason);
}

// Closes the descriptor however the write ends.
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

} // namespace

void InPlaceFileWriter::write(const QString& path, const QByteArray& bytes)
{
    // Non-blocking: should the name have become a pipe meanwhile, open() must not wait for it.
    Descriptor fd(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        throw FileError(failure(path, systemReason(errno)));
    struct stat st
    {};
    if (::fstat(fd.get(), &st) != 0)
        throw FileError(failure(path, systemReason(errno)));
    if (!S_ISREG(st.st_mode))
        throw FileError(failure(path, QStringLiteral("Это не обычный файл.")));

    // The new text goes to the recovery folder first, flushed: should the program end while the
    // file is half overwritten, the next start offers the whole new text back.
    RecoveryLock copyLock;
    const QString copy = RecoveryStore::writeSafetyCopy(path, bytes, copyLock);

    const off_t size = off_t(bytes.size());
    if (size > st.st_size) {
        // posix_fallocate returns the error instead of setting errno.
        const int error = ::posix_fallocate(fd.get(), 0, size);
        if (error != 0) {
            // Nothing of the old text is overwritten yet: the old file stays as it was.
            if (::ftruncate(fd.get(), st.st_size) != 0) {
                // The old text is whole; only the reserved tail may remain.
            }
            RecoveryStore::remove(copy, copyLock);
            throw FileError(failure(
                path, QStringLiteral("Не хватило места для нового текста; файл не изменён.\n") +
                          systemReason(error)));
        }
    }
    // From here on a failure may leave the file torn: the copy stays, for the next open to offer.
    // The descriptor was just opened: its position is the file's start.
    if (const int error = DiskFlush::writeAll(fd.get(), bytes); error != 0)
        throw FileError(failure(
            path, QStringLiteral("Запись прервана; файл может быть записан не полностью.\n") +
                      systemReason(error)));
    if (::ftruncate(fd.get(), size) != 0)
        throw FileError(failure(path, systemReason(errno)));
    if (const int error = DiskFlush::fileData(fd.get()); error != 0)
        throw FileError(failure(path, flushFailureReason(error)));
    if (::close(fd.release()) != 0)
        throw FileError(failure(path, systemReason(errno)));
    RecoveryStore::remove(copy, copyLock);
}
