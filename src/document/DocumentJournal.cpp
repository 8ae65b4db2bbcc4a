#include "document/DocumentJournal.h"

#include "document/DocumentEditor.h"
#include "document/JournalWriter.h"

DocumentJournal::DocumentJournal(DocumentEditor& editor, QObject* parent)
    : QObject(parent), editor_(editor), writer_(std::make_unique<JournalWriter>()),
      benchWithout_(qEnvironmentVariableIsSet("PAGEWRIGHT_BENCH_WITHOUT_JOURNAL"))
{
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(FlushDelayMs);
    connect(&flushTimer_, &QTimer::timeout, this, &DocumentJournal::flush);
}

DocumentJournal::~DocumentJournal()
{
    dropJournal();
}

void DocumentJournal::setTextSlice(std::function<QString(qsizetype, qsizetype)> slice)
{
    slice_ = std::move(slice);
}

void DocumentJournal::begin(const JournalHeader& header)
{
    dropJournal();
    header_ = header;
    active_ = true;
}

void DocumentJournal::standOnFile(const QByteArray& hash, qsizetype textLength)
{
    if (active_ && !written_ && !hash.isEmpty())
        fileBase_ = RecoveryJournal::encodeFileBase(hash, textLength);
}

void DocumentJournal::fileChanged()
{
    const bool changesOnFile =
        std::exchange(standsOnFile_, false) || (!written_ && !pendingEdits_.isEmpty());
    fileBase_.clear();
    if (!changesOnFile)
        return;
    textPending_ = true;
    pendingEdits_.clear();
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void DocumentJournal::discard()
{
    // The document stays open: a later change starts a new journal.
    begin(header_);
}

void DocumentJournal::adopt(const RecoveryStore::LeftJournal& left, qint64 validLength)
{
    dropJournal();
    header_ = left.header;
    active_ = true;
    path_ = left.journalPath;
    written_ = true;
    // The left journal may stand on its file.
    standsOnFile_ = true;
    writer_->adopt(path_, left.lock, validLength);
}

void DocumentJournal::recordChange(qsizetype position, qsizetype removed, qsizetype added)
{
    if (!active_ || benchWithout_)
        return;
    if (!flushTimer_.isActive())
        flushTimer_.start();
    // A journal about to start from the file takes the edits after it, this one included.
    const bool fromFile = !written_ && !fileBase_.isEmpty();
    if (!fromFile && (textPending_ || !written_))
        return void(textPending_ = true);
    if (added > LargestRecordedEdit || ++editsSinceText_ > EditsPerText) {
        pendingEdits_.clear();
        fileBase_.clear();
        textPending_ = true;
        return;
    }
    const QString inserted = added == 0 ? QString()
                             : slice_   ? slice_(position, added)
                                        : editor_.PlainText().mid(position, added);
    RecoveryJournal::appendEdit(pendingEdits_, position, removed, inserted);
}

bool DocumentJournal::havePath()
{
    if (path_.isEmpty())
        path_ = RecoveryStore::newJournalPath();
    // Without a folder for journals the document goes on without one.
    return !path_.isEmpty();
}

void DocumentJournal::flush()
{
    flushTimer_.stop();
    if (!active_)
        return;
    if (!written_ && !fileBase_.isEmpty()) {
        if (!havePath())
            return;
        writer_->startWith(path_, header_, std::exchange(fileBase_, QByteArray()));
        written_ = true;
        standsOnFile_ = true;
        textPending_ = false;
    } else if (textPending_) {
        if (!havePath())
            return;
        writer_->start(path_, header_, editor_.PlainText());
        written_ = true;
        standsOnFile_ = false;
        textPending_ = false;
        pendingEdits_.clear();
        editsSinceText_ = 0;
        return;
    }
    if (!pendingEdits_.isEmpty())
        writer_->append(std::exchange(pendingEdits_, QByteArray()));
}

void DocumentJournal::waitUntilWritten()
{
    flush();
    writer_->waitUntilWritten();
}

void DocumentJournal::dropJournal()
{
    flushTimer_.stop();
    if (written_)
        writer_->remove();
    active_ = false;
    written_ = false;
    textPending_ = false;
    pendingEdits_.clear();
    editsSinceText_ = 0;
    fileBase_.clear();
    standsOnFile_ = false;
    path_.clear();
}
