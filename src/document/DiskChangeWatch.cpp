#include "document/DiskChangeWatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <sys/stat.h>

QByteArray contentHash(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

DiskChange nextDiskChange(const QByteArray& known, const QByteArray& lastSeen,
                          const QByteArray& now)
{
    if (now == lastSeen)
        return DiskChange::None;
    if (now == known)
        return DiskChange::BackToKnown;
    return now.isEmpty() ? DiskChange::Removed : DiskChange::Changed;
}

DiskChangeWatch::DiskChangeWatch(QObject* parent)
    : QObject(parent), watcher_(new QFileSystemWatcher(this))
{
    quiet_.setSingleShot(true);
    quiet_.setInterval(QuietMs);
    connect(&quiet_, &QTimer::timeout, this, &DiskChangeWatch::checkNow);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &DiskChangeWatch::eventSeen);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &DiskChangeWatch::eventSeen);
}

void DiskChangeWatch::watch(const QString& path, const QByteArray& known)
{
    if (path != path_)
        stop();
    path_ = path;
    known_ = known;
    lastSeen_ = known;
    fingerprintValid_ = false;
    rearm();
}

void DiskChangeWatch::stop()
{
    quiet_.stop();
    if (!watcher_->files().isEmpty())
        watcher_->removePaths(watcher_->files());
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    path_.clear();
    known_.clear();
    lastSeen_.clear();
    fingerprintValid_ = false;
}

bool DiskChangeWatch::differsFromKnown() const
{
    if (path_.isEmpty())
        return false;
    QByteArray now;
    if (!hashFile(path_, now))
        return false;
    return !now.isEmpty() && now != known_;
}

void DiskChangeWatch::eventSeen()
{
    if (path_.isEmpty())
        return;
    // Each event of a burst moves the look further off, up to a limit.
    if (!quiet_.isActive())
        burst_.start();
    if (burst_.elapsed() < LongestWaitMs)
        quiet_.start();
}

void DiskChangeWatch::checkNow()
{
    quiet_.stop();
    if (path_.isEmpty())
        return;
    rearm();
    // The state is taken before the content: a write while we read leaves a state that differs
    // at the next look, so it is read again then.
    const Fingerprint fingerprint = fingerprintOf(path_);
    QByteArray now = lastSeen_;
    if (!fingerprintValid_ || !(fingerprint == lastFingerprint_)) {
        if (!hashFile(path_, now)) {
            emit checked();
            return;
        }
        lastFingerprint_ = fingerprint;
        fingerprintValid_ = true;
    }
    const DiskChange change = nextDiskChange(known_, lastSeen_, now);
    lastSeen_ = now;
    switch (change) {
    case DiskChange::None:
        break;
    case DiskChange::Changed:
        emit changedOnDisk();
        break;
    case DiskChange::Removed:
        emit removedFromDisk();
        break;
    case DiskChange::BackToKnown:
        emit matchesKnownAgain();
        break;
    }
    emit checked();
}

void DiskChangeWatch::rearm()
{
    // The file's watch is renewed every time: after a rename over it, the path names another
    // file than the one watched.
    if (watcher_->files().contains(path_))
        watcher_->removePath(path_);
    if (QFileInfo::exists(path_))
        watcher_->addPath(path_);
    const QString folder = QFileInfo(path_).absolutePath();
    if (!watcher_->directories().contains(folder))
        watcher_->addPath(folder);
}

DiskChangeWatch::Fingerprint DiskChangeWatch::fingerprintOf(const QString& path)
{
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true,
            qint64(st.st_dev),
            qint64(st.st_ino),
            qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

bool DiskChangeWatch::hashFile(const QString& path, QByteArray& hash)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (QFileInfo::exists(path))
            return false;
        hash.clear();
        return true;
    }
    QCryptographicHash hasher(QCryptographicHash::Sha256);
    if (!hasher.addData(&file))
        return false;
    hash = hasher.result();
    return true;
}
