#include "document/DocumentSession.h"

#include "document/DocumentEditor.h"
#include "document/DocumentFile.h"
#include "document/DocumentJournal.h"
#include "document/RecoveryOffer.h"

#include <QFileInfo>

namespace {

const QString SaveChangesQuestion =
    QStringLiteral("Текущий документ содержит изменения. Сохранить его?");
const QString ReplaceQuestion = QStringLiteral("Файл с таким именем уже существует. Заменить?");

const QStringList OpenFilters = {QStringLiteral("HTML (*.html)"), QStringLiteral("HTM (*.htm)"),
                                 QStringLiteral("HTML,HTM (*.html *.htm)")};
const QStringList SaveFilters = {QStringLiteral("HTML (*.html)"), QStringLiteral("HTM (*.htm)")};

bool hasHtmlExtension(const QString& name)
{
    return name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

} // namespace

DocumentSession::DocumentSession(Dialogs& dialogs, DocumentEditor& editor, QWidget* dialogParent,
                                 QObject* parent)
    : QObject(parent), dialogs_(dialogs), editor_(editor), dialogParent_(dialogParent),
      journal_(std::make_unique<DocumentJournal>(editor))
{
    connectDiskWatch();
}

DocumentSession::~DocumentSession() = default;

void DocumentSession::offerRecoveryAtStartUp()
{
    restoreLeftChanges(QString(), true);
}

QString DocumentSession::savedFileName() const
{
    return fileName_ == UntitledName ? QString() : fileName_;
}

// --- Commands ---------------------------------------------------------------------------------

void DocumentSession::newDocument()
{
    if (SaveChangesPrompt(FollowingOperation::NewDocument))
        NewDocument();
}

void DocumentSession::openDocument()
{
    if (SaveChangesPrompt(FollowingOperation::OpenDocument))
        OpenDocument();
}

void DocumentSession::openDocumentFile(const QString& path)
{
    if (SaveChangesPrompt(FollowingOperation::OpenDocument))
        openFile(path, false);
}

void DocumentSession::saveDocument()
{
    if (!fileName_.isEmpty())
        save();
}

void DocumentSession::saveDocumentAs()
{
    if (!fileName_.isEmpty())
        saveAs();
}

void DocumentSession::refreshPreview()
{
    if (!editor_.Modified())
        return;
    const bool wasUntitled = fileName_ == UntitledName;
    if (save() != SaveOutcome::Written)
        return;
    // Reload what the preview shows (it may be a page the user followed a link to), unless the
    // preview has never been sent this document's file: then load the file.
    if (wasUntitled || previewFile_ != fileName_)
        navigatePreview();
    else
        emit previewRefreshRequested();
}

bool DocumentSession::mayOpenTemplateChooser()
{
    return SaveChangesPrompt(FollowingOperation::TemplateChooser);
}

bool DocumentSession::mayClose()
{
    return SaveChangesPrompt(FollowingOperation::Closing);
}

void DocumentSession::startFromTemplate(const DecodedDocument& document)
{
    editor_.Clear();
    format_ = document.format;
    startDocument(UntitledName);
    editor_.SetModified(true);
    emit statusPanelChanged(0, TemplateModifiedMark);
    // Loading an empty template into the emptied editor changes nothing.
    if (!document.text.isEmpty())
        editor_.LoadText(document.text);
}

void DocumentSession::editorChanged()
{
    editorModificationChanged(editor_.Modified());
}

void DocumentSession::editorModificationChanged(bool modified)
{
    emit statusPanelChanged(0, modified ? ModifiedMark : QString());
}

// --- The save-changes question ----------------------------------------------------------------

bool DocumentSession::SaveChangesPrompt([[maybe_unused]] FollowingOperation operation)
{
    if (!editor_.Modified())
        return true;
    switch (dialogs_.askYesNoCancel(dialogParent_, SaveChangesQuestion)) {
    case Dialogs::Answer::No:
        journal_->discard();
        return true;
    case Dialogs::Answer::Cancel:
        return false;
    case Dialogs::Answer::Yes:
        break;
    }
    switch (save()) {
    case SaveOutcome::Written:
        return true;
    case SaveOutcome::Failed:
        return false;
    case SaveOutcome::Declined:
        // The user asked to save and nothing was saved: nothing follows.
        return false;
    }
    return false;
}

// --- Operations -------------------------------------------------------------------------------

void DocumentSession::NewDocument()
{
    editor_.Clear();
    format_ = newDocumentFormat();
    startDocument(UntitledName);
    markClean();
}

void DocumentSession::OpenDocument()
{
    bool readOnly = false;
    if (dialogs_.openFile(dialogParent_, OpenFilters, openDialogState_, readOnly))
        openFile(openDialogState_.fileName, readOnly);
}

void DocumentSession::openFile(const QString& path, bool readOnly)
{
    if (restoreLeftChanges(QFileInfo(path).absoluteFilePath(), false))
        return;
    // The file is read whole before anything changes: a file that cannot be read leaves the
    // document as it was.
    DecodedDocument document;
    QByteArray readHash;
    if (!readWithHash(path, document, readHash, true))
        return;
    editor_.LoadText(document.text);
    format_ = document.format;
    editor_.setReadOnly(readOnly);
    // Steps after the load, so that the change it raises leaves neither mark nor flag.
    startDocument(QFileInfo(path).absoluteFilePath());
    journal_->standOnFile(readHash, document.text.size());
    markClean();
    followFile(fileName_, readHash);
    navigatePreview();
}

// Enables the editor and the document's commands; the editor takes the focus unless the
// document came from a file (the preview gives it the focus once the page has loaded).
void DocumentSession::startDocument(const QString& name)
{
    editor_.setEnabled(true);
    emit documentControlsEnabled();
    if (name == UntitledName)
        editor_.setFocus();
    setDocumentName(name);
    // A new journal begins with the document's next change.
    const bool untitled = name == UntitledName;
    journal_->begin({untitled ? QString() : name, format_,
                     untitled ? FileSignature() : FileSignature::of(name)});
}

bool DocumentSession::restoreLeftChanges(const QString& fileName, bool all)
{
    std::optional<RecoveredDocument> recovered =
        RecoveryOffer::ask(dialogs_, dialogParent_, fileName, all);
    if (!recovered)
        return false;
    const JournalHeader& header = recovered->journal.header;
    editor_.LoadText(recovered->text);
    format_ = header.format;
    editor_.setReadOnly(false);
    startDocument(header.fileName.isEmpty() ? UntitledName : header.fileName);
    editor_.SetModified(true);
    emit statusPanelChanged(0, ModifiedMark);
    journal_->adopt(recovered->journal, recovered->validLength);
    if (!header.fileName.isEmpty() && QFileInfo::exists(header.fileName)) {
        // The user has seen that the file may have changed since; from here on its changes
        // count from what it holds now.
        DecodedDocument onDisk;
        QByteArray hash;
        if (readWithHash(header.fileName, onDisk, hash, false))
            followFile(header.fileName, hash);
        navigatePreview();
    }
    return true;
}

DocumentSession::SaveOutcome DocumentSession::save()
{
    if (fileName_ == UntitledName)
        return saveAs();
    return mayWriteOverFile() ? writeAndMarkClean(fileName_) : SaveOutcome::Declined;
}

DocumentSession::SaveOutcome DocumentSession::saveAs()
{
    if (!dialogs_.saveFile(dialogParent_, SaveFilters, saveDialogState_))
        return SaveOutcome::Declined;
    const QString chosen = saveDialogState_.fileName;
    // An existing file is written under exactly its name; otherwise the selected filter entry
    // gives the extension, unless the name already has one of ours.
    QString target = chosen;
    if (!QFileInfo::exists(chosen) && !hasHtmlExtension(chosen))
        target +=
            saveDialogState_.filterIndex == 1 ? QStringLiteral(".html") : QStringLiteral(".htm");
    if (QFileInfo::exists(target) &&
        dialogs_.askYesNoCancel(dialogParent_, ReplaceQuestion) != Dialogs::Answer::Yes)
        return SaveOutcome::Declined;
    const SaveOutcome outcome = writeAndMarkClean(target);
    if (outcome == SaveOutcome::Written)
        setDocumentName(QFileInfo(target).absoluteFilePath());
    return outcome;
}

DocumentSession::SaveOutcome DocumentSession::writeAndMarkClean(const QString& path)
{
    const QString text = editor_.PlainText();
    const QByteArray bytes = encodeDocument(text, format_);
    try {
        writeFileAtomically(path, bytes);
    } catch (const FileError& error) {
        // A save cut short may have torn the file: the journal no longer stands on it.
        journal_->fileChanged();
        dialogs_.reportError(dialogParent_, error.message());
        return SaveOutcome::Failed;
    }
    // What we wrote is what the file holds: its watch does not take our own save for a change.
    followFile(QFileInfo(path).absoluteFilePath(), contentHash(bytes));
    // A charset declaration edited into the text now decides the encoding of later saves.
    format_ = formatForSaving(text, format_);
    markClean();
    // What the journal kept is on disk now.
    const QString saved = QFileInfo(path).absoluteFilePath();
    journal_->begin({saved, format_, FileSignature::of(saved)});
    RecoveryStore::removeSuperseded(saved, text);
    return SaveOutcome::Written;
}

void DocumentSession::markClean()
{
    editor_.SetModified(false);
    emit statusPanelChanged(0, QString());
}

void DocumentSession::setDocumentName(const QString& name)
{
    fileName_ = name;
    if (name == UntitledName) {
        diskWatch_.stop();
        emit diskNoticeChanged(DiskNotice::None);
    }
    emit titleChanged(fileName_ + QStringLiteral(" - ") + TitleSuffix);
    emit statusPanelChanged(1, fileName_);
}

void DocumentSession::navigatePreview()
{
    previewFile_ = fileName_;
    emit previewNavigationRequested(fileName_);
}
