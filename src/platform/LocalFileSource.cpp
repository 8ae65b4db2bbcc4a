#include "platform/LocalFileSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isRegularFile(int fd)
{
    struct stat st
    {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= LocalFileSource::maxBytes;
}

// The path of the file behind `fd`, as the kernel names it: what was opened, whatever was swapped
// in between the checks and the open.
QString openedPath(int fd)
{
    return QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
}

} // namespace

bool LocalFileSource::isSystemPath(const QString& path)
{
    for (const QLatin1String tree :
         {QLatin1String("/proc"), QLatin1String("/sys"), QLatin1String("/dev")}) {
        if (path == tree || path.startsWith(tree + QLatin1Char('/')))
            return true;
    }
    return false;
}

std::unique_ptr<QFile> LocalFileSource::open(const QString& path)
{
    if (!QDir::isAbsolutePath(path))
        return nullptr;
    // realpath(): no `..`, no link left, so the trees are recognised by their names.
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty() || isSystemPath(resolved))
        return nullptr;
    const QByteArray name = QFile::encodeName(resolved);
    struct stat st
    {};
    // A pipe or a device is refused before it is opened (opening one may block or act).
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    const int fd =
        ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return nullptr;
    const QString opened = openedPath(fd);
    if (!isRegularFile(fd) || opened.isEmpty() || isSystemPath(opened)) {
        ::close(fd);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}
