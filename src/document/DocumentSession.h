#pragma once

#include "document/DiskChangeWatch.h"
#include "document/DocumentFormat.h"
#include "platform/Dialogs.h"

#include <QObject>
#include <QString>
#include <memory>

class DocumentEditor;
class DocumentJournal;
class QWidget;

// The one open document: its name, its text format, and the commands New, Open, Save, Save As,
// the save-changes question before an operation that would drop the text, and the save that
// comes before a refresh of the preview. It talks to the user through Dialogs and to the text
// through DocumentEditor; what the window shows (title, status panels, the controls a document
// switches on, the preview's loading) it announces through signals.
class DocumentSession : public QObject
{
    Q_OBJECT
public:
    // The name of a document that has never been saved.
    static inline const QString UntitledName = QStringLiteral("НовыйHTML");
    static inline const QString TitleSuffix = QStringLiteral("Pagewrighter");
    static inline const QString ModifiedMark = QStringLiteral("Изменён");
    static inline const QString TemplateModifiedMark = QStringLiteral("Modified");

    // What the window tells about the document's file on disk, one notice at a time: None takes
    // the notice away.
    enum class DiskNotice { None, Reloaded, ChangedOnDisk, RemovedFromDisk };

    // The operation that the save-changes question guards; each has its own rule for a save that
    // did not happen.
    enum class FollowingOperation { NewDocument, OpenDocument, TemplateChooser, Closing };

    // `dialogParent` is the window the dialogs belong to (may be null).
    DocumentSession(Dialogs& dialogs, DocumentEditor& editor, QWidget* dialogParent = nullptr,
                    QObject* parent = nullptr);
    ~DocumentSession() override;

    // The open document's recovery journal; the editor's changes are to be reported to it.
    DocumentJournal& journal() { return *journal_; }
    // At a start with no file named: offers the changes that ended programs left unsaved.
    void offerRecoveryAtStartUp();

    // Empty before the first document, UntitledName for a document never saved, else the full
    // path of its file.
    QString fileName() const { return fileName_; }
    const TextFormat& format() const { return format_; }
    // The document's file when it has one (neither no document nor untitled), else empty.
    QString savedFileName() const;

    // The commands. Each runs the save-changes question first where the document would be
    // dropped.
    void newDocument();
    void openDocument();
    // Opens `path` (relative to the current directory) as Open opens the file its dialog gives.
    void openDocumentFile(const QString& path);
    void saveDocument();
    void saveDocumentAs();
    // Saves a modified document and has the preview load or reload its file.
    void refreshPreview();
    // Whether the template chooser may open, after the save-changes question.
    bool mayOpenTemplateChooser();
    // Whether the window may close, after the save-changes question.
    bool mayClose();

    // Starts an untitled, modified document holding a template's text.
    void startFromTemplate(const DecodedDocument& document);
    // The editor's text changed; panel 0 shows the modified mark while the text differs from the
    // saved one (an undo back to it clears the mark).
    void editorChanged();
    // The editor's modified flag changed by itself (an undo or redo across the saved state).
    void editorModificationChanged(bool modified);

    // Asks whether to save a modified document before `operation`. Returns whether the operation
    // may go on: nothing to save, No, a completed save, or (for the template chooser only, which
    // drops nothing by itself) Yes with the save dialog cancelled. Cancel and a failed write
    // stop it.
    bool SaveChangesPrompt(FollowingOperation operation);

    // The watch on the document's file (tests look at the file through it when they choose).
    DiskChangeWatch& diskWatch() { return diskWatch_; }
    // "Перечитать" after another program changed the file: reads it again as Open does, after a
    // question when that drops changes.
    void reloadFromDisk();

signals:
    void titleChanged(const QString& title);
    void statusPanelChanged(int panel, const QString& text);
    // A document exists: the commands that need one (find, replace) become available.
    void documentControlsEnabled();
    void previewNavigationRequested(const QString& path);
    void previewRefreshRequested();
    void diskNoticeChanged(DiskNotice notice);

private:
    enum class SaveOutcome { Written, Declined, Failed };

    // The one save flow: an untitled document goes through Save As, a named one is written in
    // place.
    SaveOutcome save();
    SaveOutcome saveAs();
    // Writes the text to `path` and marks the document clean; reports a failure.
    SaveOutcome writeAndMarkClean(const QString& path);
    // Clears the modified flag and the modified mark, after the change events of a load.
    void markClean();
    void NewDocument();
    void OpenDocument();
    void openFile(const QString& path, bool readOnly);
    void startDocument(const QString& name);
    void setDocumentName(const QString& name);
    void navigatePreview();
    // Offers the changes left unsaved to `fileName` (or to any document, with `all`) and
    // restores those the user takes, as a modified document. Whether one was restored.
    bool restoreLeftChanges(const QString& fileName, bool all);

    // Changes made to the file by other programs (DocumentSessionDiskChanges.cpp).
    void connectDiskWatch();
    // Watches `path`, which holds the bytes hashed as `hash` (just read or written); takes any
    // notice about the file away.
    void followFile(const QString& path, const QByteArray& hash);
    void fileChangedOnDisk();
    void fileRemovedFromDisk();
    // Reads and decodes `path`, hashing its bytes; false, with the error reported when `report`,
    // when it cannot be read.
    bool readWithHash(const QString& path, DecodedDocument& document, QByteArray& hash,
                      bool report);
    // Reads the file again into the editor; false, with the error reported when `report`, when
    // it cannot be read.
    bool rereadFile(bool report);
    // Before a save over the document's file: whether it may be written, asking first when
    // another program changed it since we last read or wrote it.
    bool mayWriteOverFile();

    Dialogs& dialogs_;
    DocumentEditor& editor_;
    QWidget* dialogParent_;
    QString fileName_;
    TextFormat format_ = newDocumentFormat();
    FileDialogState openDialogState_;
    FileDialogState saveDialogState_;
    // The file that the preview was last sent to.
    QString previewFile_;
    DiskChangeWatch diskWatch_;
    std::unique_ptr<DocumentJournal> journal_;
};
