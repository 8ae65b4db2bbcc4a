#pragma once

#include "document/RecoveryJournal.h"
#include "document/RecoveryLock.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <vector>

// The folder of recovery journals, $XDG_STATE_HOME/pagewright/recovery (by default
// ~/.local/state/pagewright/recovery): one journal file NAME.journal per open document, with its
// lock file NAME.lock beside it.
class RecoveryStore
{
public:
    // A journal that no running program holds, locked by the caller until it is dropped.
    struct LeftJournal
    {
        QString journalPath;
        JournalHeader header;
        QDateTime lastWritten;
        std::shared_ptr<RecoveryLock> lock;
    };

    static QString folder();
    // A fresh journal path in the folder (which is made if missing), or empty when the folder
    // cannot be made.
    static QString newJournalPath();
    static QString lockPathOf(const QString& journalPath);
    // The journals left by programs no longer running, newest first, each locked: those of the
    // document `fileName` (an absolute path; empty means documents never saved), or all of them
    // when `all` is true.
    static std::vector<LeftJournal> leftJournals(const QString& fileName, bool all = false);
    // Deletes the journals left for `fileName` that hold `text`: once that text is saved they
    // offer nothing more.
    static void removeSuperseded(const QString& fileName, const QString& text);
    // Deletes a journal and then its lock file.
    static void remove(const QString& journalPath, RecoveryLock& lock);

    // Writes `bytes` as a journal of the file `path` and flushes it to the disk, so that a save in
    // place that is cut short can be finished from it at the next start. Returns the journal's
    // path, locked by `lock`; throws FileError when it cannot be written.
    static QString writeSafetyCopy(const QString& path, const QByteArray& bytes,
                                   RecoveryLock& lock);
};
