// The document session's side of changes that other programs make to the document's file: an
// unmodified document follows the file, a modified one keeps its text until the user chooses,
// and a save never writes over another program's change without asking.
#include "document/DocumentEditor.h"
#include "document/DocumentFile.h"
#include "document/DocumentJournal.h"
#include "document/DocumentSession.h"

namespace {

const QString ReloadQuestion =
    QStringLiteral("Ваши изменения документа будут потеряны. Перечитать файл?");
const QString WriteOverQuestion =
    QStringLiteral("Файл изменён другой программой после открытия. Записать поверх?");

} // namespace

void DocumentSession::connectDiskWatch()
{
    connect(&diskWatch_, &DiskChangeWatch::changedOnDisk, this,
            &DocumentSession::fileChangedOnDisk);
    connect(&diskWatch_, &DiskChangeWatch::removedFromDisk, this,
            &DocumentSession::fileRemovedFromDisk);
    connect(&diskWatch_, &DiskChangeWatch::matchesKnownAgain, this,
            [this] { emit diskNoticeChanged(DiskNotice::None); });
}

void DocumentSession::followFile(const QString& path, const QByteArray& hash)
{
    diskWatch_.watch(path, hash);
    emit diskNoticeChanged(DiskNotice::None);
}

void DocumentSession::fileChangedOnDisk()
{
    if (!editor_.Modified() && rereadFile(false)) {
        emit diskNoticeChanged(DiskNotice::Reloaded);
        return;
    }
    journal_->fileChanged();
    emit diskNoticeChanged(DiskNotice::ChangedOnDisk);
}

void DocumentSession::fileRemovedFromDisk()
{
    // The text is now all there is of the document: it counts as modified, so that closing asks
    // and Save writes the file again.
    editor_.SetModified(true);
    emit statusPanelChanged(0, ModifiedMark);
    // Nor is the text on disk any more: the journal takes it now, not at the next key.
    journal_->fileChanged();
    journal_->recordChange(0, 0, 0);
    emit diskNoticeChanged(DiskNotice::RemovedFromDisk);
}

void DocumentSession::reloadFromDisk()
{
    if (savedFileName().isEmpty())
        return;
    if (editor_.Modified() && !(dialogs_.askYesNo(dialogParent_, QStringLiteral("Подтверждение"),
                                                  ReloadQuestion) == Dialogs::Answer::Yes))
        return;
    if (rereadFile(true))
        emit diskNoticeChanged(DiskNotice::None);
}

bool DocumentSession::rereadFile(bool report)
{
    DecodedDocument document;
    QByteArray readHash;
    if (!readWithHash(fileName_, document, readHash, report))
        return false;
    editor_.ReloadText(document.text);
    format_ = document.format;
    markClean();
    // The text is the file's again: the journal starts afresh from it.
    journal_->begin({fileName_, format_, FileSignature::of(fileName_)});
    journal_->standOnFile(readHash, document.text.size());
    diskWatch_.watch(fileName_, readHash);
    navigatePreview();
    return true;
}

bool DocumentSession::readWithHash(const QString& path, DecodedDocument& document, QByteArray& hash,
                                   bool report)
{
    try {
        QByteArray bytes = readFileBytes(path);
        hash = contentHash(bytes);
        document = decodeDocument(std::move(bytes));
    } catch (const FileError& error) {
        if (report)
            dialogs_.reportError(dialogParent_, error.message());
        return false;
    }
    return true;
}

bool DocumentSession::mayWriteOverFile()
{
    return !diskWatch_.differsFromKnown() ||
           (dialogs_.askYesNo(dialogParent_, QStringLiteral("Подтверждение"), WriteOverQuestion) ==
            Dialogs::Answer::Yes);
}
