#pragma once

#include "document/RecoveryJournal.h"
#include "document/RecoveryStore.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class DocumentEditor;
class JournalWriter;

// The recovery journal of the open document, kept from its first change on: the edits are
// gathered in memory as they come (a few bytes each) and handed to the writer thread together,
// FlushDelay after the first of them, so typed text reaches the disk within a second and an idle
// editor writes nothing. The first change after a load or a save (and any edit too big to be
// worth recording as one) is written as the whole text instead; so is the text again once the
// edits since it grow many. Where the text is the file's as just read, the journal names the file
// by its content hash instead of copying the text, until the file changes.
class DocumentJournal : public QObject
{
    Q_OBJECT
public:
    static constexpr int FlushDelayMs = 500;
    // Past these an edit, or the edits since the last whole text, are replaced by the text.
    static constexpr qsizetype LargestRecordedEdit = 64 * 1024;
    static constexpr qsizetype EditsPerText = 20000;

    // `editor` gives the text; `slice(position, length)` a part of it (the whole text is copied
    // when none is given).
    explicit DocumentJournal(DocumentEditor& editor, QObject* parent = nullptr);
    // The journal goes: it outlives the program only when the program does not end normally.
    ~DocumentJournal() override;

    void setTextSlice(std::function<QString(qsizetype, qsizetype)> slice);

    // A document was loaded, saved or started: its journal so far goes, and the next change starts
    // a new one about it.
    void begin(const JournalHeader& header);
    // The text since begin() is the file's as read: `hash` is contentHash() of its bytes,
    // `textLength` the length of its text.
    void standOnFile(const QByteArray& hash, qsizetype textLength);
    // The file is no longer what the journal stands on (changed, removed, or torn by a failed
    // save): the journal takes the whole text with the next flush.
    void fileChanged();
    // The document's journal goes without a new one (the user chose to drop the changes).
    void discard();
    // Continues `left`, whose replay `validLength` bytes long is the editor's text now.
    void adopt(const RecoveryStore::LeftJournal& left, qint64 validLength);

    // The editor's text changed: `removed` characters at `position` replaced by `added`.
    void recordChange(qsizetype position, qsizetype removed, qsizetype added);

    // Hands what is gathered to the writer now (instead of after the delay).
    void flush();
    // Waits until the writer has written and flushed all it was given (for tests).
    void waitUntilWritten();
    // The journal's file; empty while there is none.
    QString journalPath() const { return written_ ? path_ : QString(); }

private:
    void dropJournal();
    // Names the journal's file if it has none yet; false when there is no folder for journals.
    bool havePath();

    DocumentEditor& editor_;
    std::function<QString(qsizetype, qsizetype)> slice_;
    std::unique_ptr<JournalWriter> writer_;
    QTimer flushTimer_;
    // Set by PAGEWRIGHT_BENCH_WITHOUT_JOURNAL, for measuring what the journal costs: nothing is
    // recorded.
    const bool benchWithout_;
    // Whether a document is open whose changes are recorded.
    bool active_ = false;
    JournalHeader header_;
    QString path_;
    bool written_ = false;
    bool textPending_ = false;
    // The base record that stands for the text while it is the file's; whether the journal
    // written stands on the file.
    QByteArray fileBase_;
    bool standsOnFile_ = false;
    QByteArray pendingEdits_;
    qsizetype editsSinceText_ = 0;
};
