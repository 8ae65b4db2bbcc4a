#include "document/RecoveryStore.h"

#include "document/DiskFlush.h"
#include "document/DocumentFile.h"
#include "document/SystemReason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString JournalSuffix = QStringLiteral(".journal");
const QString LockSuffix = QStringLiteral(".lock");

// The header of a journal file, read without reading the rest.
bool readHeader(const QString& path, JournalHeader& header)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(file.read(64 * 1024), true);
    header = replay.header;
    return replay.headerRead;
}

QString copyFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("Не удалось сохранить файл\n%1\n\nНе удалось записать страховочную "
                          "копию нового текста в папку восстановления; файл не изменён.\n%2")
        .arg(path, reason);
}

} // namespace

QString RecoveryStore::folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/pagewright/recovery");
}

QString RecoveryStore::newJournalPath()
{
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        return {};
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) +
           JournalSuffix;
}

QString RecoveryStore::lockPathOf(const QString& journalPath)
{
    QString lock = journalPath;
    lock.chop(JournalSuffix.size());
    return lock + LockSuffix;
}

std::vector<RecoveryStore::LeftJournal> RecoveryStore::leftJournals(const QString& fileName,
                                                                    bool all)
{
    std::vector<LeftJournal> found;
    const QFileInfoList entries = QDir(folder()).entryInfoList(
        {QLatin1Char('*') + JournalSuffix}, QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo& entry : entries) {
        JournalHeader header;
        if (!readHeader(entry.filePath(), header) || (!all && header.fileName != fileName))
            continue;
        auto lock = std::make_shared<RecoveryLock>();
        // A live owner holds the lock: its journal is not ours to offer.
        if (!lock->acquire(lockPathOf(entry.filePath())))
            continue;
        // Deleted by its owner between the listing and the lock.
        if (!QFileInfo::exists(entry.filePath())) {
            lock->removeAndRelease();
            continue;
        }
        found.push_back({entry.filePath(), header, entry.lastModified(), lock});
    }
    return found;
}

void RecoveryStore::removeSuperseded(const QString& fileName, const QString& text)
{
    for (const LeftJournal& left : leftJournals(fileName)) {
        QFile file(left.journalPath);
        if (file.open(QIODevice::ReadOnly) && RecoveryJournal::replay(file.readAll()).text == text)
            remove(left.journalPath, *left.lock);
    }
}

void RecoveryStore::remove(const QString& journalPath, RecoveryLock& lock)
{
    QFile::remove(journalPath);
    lock.removeAndRelease();
}

QString RecoveryStore::writeSafetyCopy(const QString& path, const QByteArray& bytes,
                                       RecoveryLock& lock)
{
    const QString journal = newJournalPath();
    if (journal.isEmpty())
        throw FileError(copyFailure(path, systemReason(errno)));
    if (!lock.acquire(lockPathOf(journal)))
        throw FileError(copyFailure(path, systemReason(errno)));
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray start = RecoveryJournal::encodeStart({absolute, {}, FileSignature::of(path)});
    const QByteArray content = RecoveryJournal::encodeFileBytes(bytes);
    const int fd = ::open(QFile::encodeName(journal).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    int error = fd < 0 ? errno : 0;
    for (const QByteArray* part : {&start, &content}) {
        if (error == 0)
            error = DiskFlush::writeAll(fd, *part);
    }
    if (error == 0)
        error = DiskFlush::fileData(fd);
    if (fd >= 0 && ::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0)
        error = DiskFlush::folderOf(journal);
    if (error != 0) {
        remove(journal, lock);
        throw FileError(copyFailure(path, systemReason(error)));
    }
    return journal;
}
