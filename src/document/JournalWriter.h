#pragma once

#include "document/RecoveryJournal.h"
#include "document/RecoveryLock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

// Writes one document's recovery journal on a thread of its own, so that the disk never holds up
// typing. Requests run in the order they are made. Written data is flushed to the disk within
// SyncInterval of its write; nothing happens while no request comes.
class JournalWriter
{
public:
    static constexpr std::chrono::milliseconds SyncInterval{2000};
    static constexpr qsizetype CopyPiece = 256 * 1024;

    JournalWriter();
    // Carries out every request made, then ends the thread.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Starts the journal afresh with `header` and the whole `text` (encoded on the thread). The
    // first start takes the journal's lock; a later one replaces the file by a new one.
    void start(const QString& journalPath, const JournalHeader& header, const QString& text);
    // As start(), with `firstRecord` (already encoded) standing for the text.
    void startWith(const QString& journalPath, const JournalHeader& header, QByteArray firstRecord);
    // Continues a journal left by an ended program, whose lock the caller holds: it is cut to
    // `validLength`, its whole records.
    void adopt(const QString& journalPath, std::shared_ptr<RecoveryLock> lock, qint64 validLength);
    void append(QByteArray records);
    // Deletes the journal and its lock file.
    void remove();
    // Waits until every request made so far, and every one the writer made of itself meanwhile,
    // is carried out and flushed (for tests).
    void waitUntilWritten();

private:
    struct Request
    {
        enum Kind { Start, Adopt, Append, Remove, Barrier, Settle } kind;
        QString path;
        JournalHeader header;
        QString text;
        QByteArray bytes;
        std::shared_ptr<RecoveryLock> lock;
        qint64 validLength = 0; // Adopt: the whole records; Settle: where the file's name is
    };

    void push(Request request);
    void run();
    void carryOut(Request& request);
    // Puts a copy of the file's bytes in place of the file's name in the journal.
    void settleOnCopy(const Request& request);
    // Writes the file open as `file` as a bytes record, while it is as `expected` describes it.
    bool copyFileRecord(int file, const FileSignature& expected);
    void writeAll(QByteArrayView bytes);
    void sync();
    void closeFile();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Request> requests_;
    bool stopping_ = false;
    quint64 made_ = 0;
    quint64 finished_ = 0;

    // The thread's own state.
    QString path_;
    std::shared_ptr<RecoveryLock> lock_;
    int fd_ = -1;
    bool unsynced_ = false;
    std::chrono::steady_clock::time_point lastSync_{};

    std::thread thread_;
};
