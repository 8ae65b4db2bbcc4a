#include "document/JournalWriter.h"

#include "document/DiskFlush.h"
#include "document/RecoveryStore.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

int openForWriting(const QString& path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | flags, 0600);
}

} // namespace

JournalWriter::JournalWriter() : thread_([this] { run(); }) {}

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    closeFile();
}

void JournalWriter::start(const QString& journalPath, const JournalHeader& header,
                          const QString& text)
{
    Request request{Request::Start, journalPath, header, text, {}, {}, 0};
    push(std::move(request));
}

void JournalWriter::startWith(const QString& journalPath, const JournalHeader& header,
                              QByteArray firstRecord)
{
    push({Request::Start, journalPath, header, {}, std::move(firstRecord), {}, 0});
}

void JournalWriter::adopt(const QString& journalPath, std::shared_ptr<RecoveryLock> lock,
                          qint64 validLength)
{
    push({Request::Adopt, journalPath, {}, {}, {}, std::move(lock), validLength});
}

void JournalWriter::append(QByteArray records)
{
    push({Request::Append, {}, {}, {}, std::move(records), {}, 0});
}

void JournalWriter::remove()
{
    push({Request::Remove, {}, {}, {}, {}, {}, 0});
}

void JournalWriter::waitUntilWritten()
{
    push({Request::Barrier, {}, {}, {}, {}, {}, 0});
    std::unique_lock guard(mutex_);
    // Also what the writer asked of itself meanwhile (the copy of the file after a start).
    done_.wait(guard, [&] { return finished_ >= made_; });
}

void JournalWriter::push(Request request)
{
    {
        std::lock_guard guard(mutex_);
        requests_.push_back(std::move(request));
        ++made_;
    }
    wake_.notify_one();
}

void JournalWriter::run()
{
    std::unique_lock guard(mutex_);
    for (;;) {
        if (requests_.empty()) {
            if (stopping_)
                break;
            if (unsynced_) {
                // Flushed once the interval since the last flush is over, unless more comes.
                if (wake_.wait_until(guard, lastSync_ + SyncInterval) == std::cv_status::timeout &&
                    requests_.empty()) {
                    guard.unlock();
                    sync();
                    guard.lock();
                }
            } else {
                wake_.wait(guard, [this] { return stopping_ || !requests_.empty(); });
            }
            continue;
        }
        Request request = std::move(requests_.front());
        requests_.pop_front();
        guard.unlock();
        carryOut(request);
        if (unsynced_ && std::chrono::steady_clock::now() - lastSync_ >= SyncInterval)
            sync();
        guard.lock();
        ++finished_;
        done_.notify_all();
    }
    guard.unlock();
    if (unsynced_)
        sync();
}

void JournalWriter::carryOut(Request& request)
{
    switch (request.kind) {
    case Request::Start: {
        if (!lock_) {
            lock_ = std::make_shared<RecoveryLock>();
            if (!lock_->acquire(RecoveryStore::lockPathOf(request.path))) {
                lock_.reset();
                return;
            }
            path_ = request.path;
        }
        // The fresh journal is complete before it replaces the old one.
        const QString fresh = path_ + QStringLiteral(".new");
        closeFile();
        const int fd = openForWriting(fresh, O_CREAT | O_TRUNC);
        if (fd < 0)
            return;
        fd_ = fd;
        const QByteArray start = RecoveryJournal::encodeStart(request.header);
        writeAll(start);
        writeAll(request.bytes.isEmpty() ? RecoveryJournal::encodeText(request.text)
                                         : request.bytes);
        // A journal that stands on its file takes a copy of the file's bytes next, so that it
        // still restores if the file changes before the next start; the edits made meanwhile
        // are journalled at once.
        if (!request.bytes.isEmpty())
            push({Request::Settle, {}, request.header, {}, request.bytes, {}, start.size()});
        request.text.clear();
        sync();
        if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path_).constData()) !=
            0)
            closeFile();
        DiskFlush::folderOf(path_);
        break;
    }
    case Request::Adopt:
        closeFile();
        lock_ = std::move(request.lock);
        path_ = request.path;
        fd_ = openForWriting(path_, 0);
        if (fd_ >= 0 &&
            (::ftruncate(fd_, off_t(request.validLength)) != 0 || ::lseek(fd_, 0, SEEK_END) < 0))
            closeFile();
        break;
    case Request::Append:
        writeAll(request.bytes);
        break;
    case Request::Remove:
        closeFile();
        if (lock_) {
            QFile::remove(path_);
            lock_->removeAndRelease();
            lock_.reset();
        }
        unsynced_ = false;
        break;
    case Request::Settle:
        settleOnCopy(request);
        break;
    case Request::Barrier:
        if (unsynced_)
            sync();
        break;
    }
}

void JournalWriter::settleOnCopy(const Request& request)
{
    if (fd_ < 0 || !RecoveryJournal::isFileBase(request.bytes))
        return;
    QFile current(path_);
    if (!current.open(QIODevice::ReadOnly))
        return;
    const QByteArray written = current.readAll();
    const qsizetype baseAt = qsizetype(request.validLength);
    if (written.mid(baseAt, request.bytes.size()) != request.bytes)
        return; // started afresh since
    const int file =
        ::open(QFile::encodeName(request.header.fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return;
    // The journal with the copy in place of the file's name, complete before it replaces the old.
    const QString fresh = path_ + QStringLiteral(".new");
    const int old = std::exchange(fd_, openForWriting(fresh, O_CREAT | O_TRUNC));
    writeAll(written.left(baseAt));
    const bool copied = copyFileRecord(file, request.header.base);
    ::close(file);
    writeAll(written.mid(baseAt + request.bytes.size()));
    if (copied && fd_ >= 0)
        sync();
    if (!copied || fd_ < 0 ||
        ::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path_).constData()) != 0) {
        // The journal as it was goes on.
        closeFile();
        ::unlink(QFile::encodeName(fresh).constData());
        fd_ = old;
        return;
    }
    ::close(old);
    DiskFlush::folderOf(path_);
}

bool JournalWriter::copyFileRecord(int file, const FileSignature& expected)
{
    // The file as the journal began holds the bytes its name stands for: one whose size,
    // modification time and inode are still those is taken for it without hashing it again (a
    // change the signature misses is caught by the file's watch, which compares contents, and
    // makes the journal take the whole text).
    if (FileSignature::of(file) != expected)
        return false;
    const QByteArray head = RecoveryJournal::bytesRecordHead(expected.size);
    if (head.isEmpty())
        return false;
    writeAll(head);
    // In pieces, so that a big file is never held in memory.
    QByteArray piece(CopyPiece, Qt::Uninitialized);
    quint32 checksum = 0;
    for (qint64 left = expected.size; left > 0 && fd_ >= 0;) {
        const ssize_t n = ::read(file, piece.data(), size_t(std::min<qint64>(left, piece.size())));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // cut short meanwhile
        const QByteArrayView bytes(piece.constData(), qsizetype(n));
        checksum = RecoveryJournal::extendChecksum(checksum, bytes);
        writeAll(bytes);
        left -= n;
    }
    writeAll(RecoveryJournal::bytesRecordTail(checksum));
    // Changed while it was read: the copy may mix old and new.
    return FileSignature::of(file) == expected;
}

void JournalWriter::writeAll(QByteArrayView bytes)
{
    if (fd_ >= 0 && DiskFlush::writeAll(fd_, bytes) != 0) {
        // A journal that cannot be written stops; the document itself is untouched.
        closeFile();
        return;
    }
    unsynced_ = true;
}

void JournalWriter::sync()
{
    if (fd_ >= 0)
        DiskFlush::fileData(fd_);
    unsynced_ = false;
    lastSync_ = std::chrono::steady_clock::now();
}

void JournalWriter::closeFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
