#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QFileSystemWatcher;

// The hash that tells one content of a file from another: what was read, what was written, what
// is on disk now. An empty hash stands for no file at all.
QByteArray contentHash(const QByteArray& bytes);

// What a look at the file means, given the content we last read or wrote (`known`), the content
// the previous look found (`lastSeen`) and the content found now (`now`); empty hashes mean no
// file. Only a content that differs from the previous look counts, so a touch, a rewrite with
// the same bytes or a second event for one change is never reported twice.
enum class DiskChange { None, Changed, Removed, BackToKnown };
DiskChange nextDiskChange(const QByteArray& known, const QByteArray& lastSeen,
                          const QByteArray& now);

// Watches the open document's file for changes made by other programs: a write in place, a
// replace by rename (as most editors save), a delete and a re-create. The file and its folder are
// both watched (a watch on the file alone is lost when another file is renamed over it). Events
// only start a quiet timer: the file is looked at once nothing has happened to it for QuietMs
// (or LongestWaitMs after the first event of a burst that does not end), and compared by content
// with what we last read or wrote, so our own saves never count.
class DiskChangeWatch : public QObject
{
    Q_OBJECT
public:
    static constexpr int QuietMs = 200;
    static constexpr int LongestWaitMs = 2000;

    explicit DiskChangeWatch(QObject* parent = nullptr);

    // Watches `path` (absolute), whose content is now the one hashed as `known`: the bytes just
    // read from it or written to it. Called again after each of our saves.
    void watch(const QString& path, const QByteArray& known);
    void stop();
    QString path() const { return path_; }

    // Whether the file exists and holds other bytes than the ones we last read or wrote (read
    // and hashed now). A missing file does not differ: writing it loses nothing.
    bool differsFromKnown() const;

    // Looks at the file now, as the quiet timer does, and reports what changed.
    void checkNow();

signals:
    void changedOnDisk();
    void removedFromDisk();
    // The file holds again what we last read or wrote (after a change that was reported).
    void matchesKnownAgain();
    // A look at the file is over, whatever it found.
    void checked();

private:
    struct Fingerprint
    {
        bool exists = false;
        qint64 device = 0, inode = 0, size = 0, modified = 0, changed = 0;
        bool operator==(const Fingerprint&) const = default;
    };
    static Fingerprint fingerprintOf(const QString& path);
    // The hash of the file's content now; empty when it is missing. False when it exists but
    // cannot be read (then nothing is concluded).
    static bool hashFile(const QString& path, QByteArray& hash);

    void eventSeen();
    // Puts the watches back: a rename over the file or a re-create leaves a watch on a gone file.
    void rearm();

    QFileSystemWatcher* watcher_;
    QTimer quiet_;
    QElapsedTimer burst_;
    QString path_;
    QByteArray known_;
    QByteArray lastSeen_;
    // The file's state when lastSeen_ was hashed; invalid until the first look, so that the
    // first look after watch() always reads the file.
    Fingerprint lastFingerprint_;
    bool fingerprintValid_ = false;
};
