#include "document/RecoveryLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

RecoveryLock::~RecoveryLock()
{
    release();
}

bool RecoveryLock::acquire(const QString& lockPath)
{
    release();
    const int fd = ::open(QFile::encodeName(lockPath).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = lockPath;
    return true;
}

void RecoveryLock::removeAndRelease()
{
    if (fd_ >= 0)
        QFile::remove(path_);
    release();
}

void RecoveryLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
