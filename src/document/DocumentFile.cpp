#include "document/DocumentFile.h"

#include "document/DiskFlush.h"
#include "document/InPlaceFileWriter.h"
#include "document/SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString readFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось открыть файл\n%1\n\n%2").arg(path, reason);
}

QString writeFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось сохранить файл\n%1\n\n%2").arg(path, reason);
}

QString tooLargeReason()
{
    return QStringLiteral("Файл слишком велик: наибольший размер документа %1 МиБ.")
        .arg(maxDocumentBytes / (1024 * 1024));
}

bool isOutOfSpace(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

// A write that stopped part-way sets no error in QFileDevice; errno still tells why.
QString notAllWrittenReason(int error)
{
    QString reason = QStringLiteral(
        "Записаны не все данные (диск заполнен или превышен предельный размер файла).");
    if (isOutOfSpace(error))
        reason += QLatin1Char('\n') + systemReason(error);
    return reason;
}

// Directories, pipes, sockets and devices are refused before anything opens them.
void refuseUnlessRegular(const struct stat& st, const QString& path,
                         QString (*failure)(const QString&, const QString&))
{
    if (S_ISDIR(st.st_mode))
        throw FileError(failure(path, QStringLiteral("Это папка, а не файл.")));
    if (!S_ISREG(st.st_mode))
        throw FileError(
            failure(path, QStringLiteral("Это не обычный файл, а канал, сокет или устройство.")));
}

// A replacement file would break a hard link, and cannot be made in a folder we may not write;
// such files are written in place (when they themselves are writable).
bool mustWriteInPlace(const QString& path, const struct stat& st)
{
    if (st.st_nlink > 1)
        return true;
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    return ::access(folder.constData(), W_OK) != 0 &&
           ::access(QFile::encodeName(target).constData(), W_OK) == 0;
}

// The replacement keeps the owner and group where the process may set them (root may; others
// may give it a group they belong to), and then the mode, which chown may have cut.
void keepOwnerAndMode(int fd, const struct stat& st)
{
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, uid_t(-1), st.st_gid) != 0) {
        // Neither is ours to give: the replacement stays the writer's, as a new file would.
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0) {
        // QSaveFile has already given it the old permissions where it could.
    }
}

} // namespace

QString flushFailureReason(int error)
{
    return QStringLiteral("Данные не удалось записать на диск.\n") + systemReason(error);
}

FileError::FileError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{}

QByteArray readFileBytes(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a pipe would wait for a writer, and a device may
    // never end.
    struct stat st
    {};
    if (::stat(name.constData(), &st) != 0)
        throw FileError(readFailure(path, systemReason(errno)));
    refuseUnlessRegular(st, path, readFailure);
    if (st.st_size > maxDocumentBytes)
        throw FileError(readFailure(path, tooLargeReason()));

    // Non-blocking, in case the name became a pipe since.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        throw FileError(readFailure(path, systemReason(errno)));
    QByteArray bytes;
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        refuseUnlessRegular(st, path, readFailure);
    } else {
        // The size may have changed since: read at most one byte past the limit to tell.
        bytes.resize(qsizetype(std::min<qint64>(st.st_size, maxDocumentBytes) + 1));
        qsizetype got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (got > maxDocumentBytes)
                    break;
                bytes.resize(std::min<qsizetype>(got * 2 + 4096, maxDocumentBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = errno;
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    if (error != 0)
        throw FileError(readFailure(path, systemReason(error)));
    if (bytes.size() > maxDocumentBytes)
        throw FileError(readFailure(path, tooLargeReason()));
    return bytes;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // QSaveFile would replace a device or a pipe by a regular file, so only files are written.
    // stat() follows symlinks, and QSaveFile itself writes to a symlink's target.
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists)
        refuseUnlessRegular(st, path, writeFailure);
    if (exists && mustWriteInPlace(path, st)) {
        InPlaceFileWriter::write(path, bytes);
        return;
    }

    QSaveFile file(path);
    // Unbuffered: the one write() goes straight to the file and its count is the final word.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileError(writeFailure(path, fileDeviceReason(file, errno)));
    if (exists)
        keepOwnerAndMode(file.handle(), st);
    errno = 0;
    const qint64 written = file.write(bytes);
    const int writeErrno = errno;
    if (written != bytes.size() || file.error() != QFileDevice::NoError) {
        const bool cutOff = written >= 0 && written < bytes.size();
        const QString reason = cutOff || isOutOfSpace(writeErrno)
                                   ? notAllWrittenReason(writeErrno)
                                   : fileDeviceReason(file, writeErrno);
        file.cancelWriting();
        throw FileError(writeFailure(path, reason));
    }
    // QSaveFile flushes too but ignores a failure: a data flush that fails must fail the save
    // while the old file is still in place.
    if (const int error = DiskFlush::fileData(file.handle()); error != 0) {
        file.cancelWriting();
        throw FileError(writeFailure(path, flushFailureReason(error)));
    }
    errno = 0;
    if (!file.commit())
        throw FileError(writeFailure(path, fileDeviceReason(file, errno)));
    // The rename itself lasts once the folder is flushed; QSaveFile wrote to a symlink's target.
    const QString target = QFileInfo(path).canonicalFilePath();
    if (const int error = DiskFlush::folderOf(target.isEmpty() ? path : target); error != 0)
        throw FileError(writeFailure(path, flushFailureReason(error)));
}

DecodedDocument readDocument(const QString& path)
{
    return decodeDocument(readFileBytes(path));
}

void writeDocument(const QString& path, const QString& text, const TextFormat& format)
{
    writeFileAtomically(path, encodeDocument(text, format));
}
