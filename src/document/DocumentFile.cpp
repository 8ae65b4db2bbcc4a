#include "document/DocumentFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

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
        reason += QLatin1Char('\n') + QString::fromLocal8Bit(std::strerror(error));
    return reason;
}

} // namespace

FileError::FileError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{}

QByteArray readFileBytes(const QString& path)
{
    if (QFileInfo(path).isDir())
        throw FileError(readFailure(path, QStringLiteral("Это папка, а не файл.")));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(readFailure(path, file.errorString()));
    if (file.size() > maxDocumentBytes)
        throw FileError(readFailure(path, tooLargeReason()));

    QByteArray bytes(file.size(), Qt::Uninitialized);
    const qint64 got = file.read(bytes.data(), bytes.size());
    if (got < 0)
        throw FileError(readFailure(path, file.errorString()));
    bytes.truncate(got);
    // Whatever size() did not tell of (a device, a file still growing), up to the limit.
    char buffer[64 * 1024];
    for (;;) {
        const qint64 more = file.read(buffer, sizeof buffer);
        if (more < 0)
            throw FileError(readFailure(path, file.errorString()));
        if (more == 0)
            break;
        if (bytes.size() + more > maxDocumentBytes)
            throw FileError(readFailure(path, tooLargeReason()));
        bytes.append(buffer, more);
    }
    return bytes;
}

void writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // QSaveFile would replace a device or a pipe by a regular file, so only files are written.
    // QFileInfo follows symlinks here; QSaveFile itself writes to a symlink's target.
    const QFileInfo target(path);
    if (target.isDir())
        throw FileError(writeFailure(path, QStringLiteral("Это папка, а не файл.")));
    if (target.exists() && !target.isFile())
        throw FileError(writeFailure(path, QStringLiteral("Это не обычный файл.")));

    QSaveFile file(path);
    // Unbuffered: the one write() goes straight to the file and its count is the final word.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw FileError(writeFailure(path, file.errorString()));
    errno = 0;
    const qint64 written = file.write(bytes);
    const int writeErrno = errno;
    if (written != bytes.size() || file.error() != QFileDevice::NoError) {
        const bool cutOff = written >= 0 && written < bytes.size();
        const QString reason = cutOff || isOutOfSpace(writeErrno) ? notAllWrittenReason(writeErrno)
                                                                  : file.errorString();
        file.cancelWriting();
        throw FileError(writeFailure(path, reason));
    }
    if (!file.commit())
        throw FileError(writeFailure(path, file.errorString()));
}

DecodedDocument readDocument(const QString& path)
{
    return decodeDocument(readFileBytes(path));
}

void writeDocument(const QString& path, const QString& text, const TextFormat& format)
{
    writeFileAtomically(path, encodeDocument(text, format));
}
