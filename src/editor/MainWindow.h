#pragma once

#include "document/DocumentFormat.h"
#include "document/DocumentSession.h"
#include "editor/MainLayout.h"
#include "editor/SearchState.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <memory>

class Browser;
class FindDialog;
class FramePlacement;
class NoticeBar;
class DecorationStack;
class HtmlHighlighting;
class SpellChecker;
class SpellUnderlines;
class LivePreview;
class Platform;
class QLabel;
class QMenu;
class SourceEditor;
class SourceEditorDocument;

namespace Ui {
class TForm1;
}

// The main window: the source editor and the preview of the one document, and the commands that
// create, open and save it. The document itself (name, format, the save-changes question) is the
// DocumentSession's; the window reads its controls, calls the session and shows what the session
// announces. The other windows are not known here: the window asks for them through signals that
// the start-up code connects.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    static inline const QString& UntitledName = DocumentSession::UntitledName;
    static inline const QString& TitleSuffix = DocumentSession::TitleSuffix;
    // Where the window's frame goes at start and by "По умолчанию": a little left of the screen's
    // edge, so the left border is out of sight.
    static constexpr QPoint DesignedPosition{-3, 0};

    explicit TForm1(Platform& platform, QWidget* parent = nullptr);
    ~TForm1() override;

    DocumentSession& session() { return *session_; }
    // Empty before the first document, UntitledName for a document never saved, else a path.
    QString CurrentFileName() const;
    const TextFormat& documentFormat() const;
    QString statusPanelText(int panel) const;
    // The layout class in force, 800 or 1024; the full-screen preview sizes itself by it.
    int ScreenMode() const { return layout_.screenMode; }

signals:
    // "По шаблону..." after the save-changes question let it go on, and "Шаблон...": the window
    // is disabled until the template window closes.
    void templateChooserRequested();
    void templateBuilderRequested();
    // The full-screen preview is to be shown for the layout class, loading `savedFile` unless it
    // is empty (no document, or one never saved).
    void fullScreenPreviewRequested(int screenMode, const QString& savedFile,
                                    const QByteArray& charset);
    // The check-marked tool window items: show (true) or close (false) the window.
    void colourHelperToggled(bool shown);
    void screenLensToggled(bool shown);
    void aboutBoxRequested();

public slots:
    // Starts an untitled, modified document holding a template's text.
    void StartDocumentFromTemplate(const DecodedDocument& document);
    // Opens a file named from outside the open dialog (command line, a drop) as Open does,
    // save-changes question included.
    void openDocumentFile(const QString& path);
    // A tool window closed by itself: its item loses its check mark.
    void colourHelperClosed();
    void screenLensClosed();
    // HTML-aware editing, off until asked: the checkable items at the end of the view menu.
    void setSyntaxHighlighting(bool on);
    // Spell checking needs the Russian and English dictionaries; without one the item is
    // disabled and says which package to install. Returns whether it is on.
    bool setSpellChecking(bool on);
    // Where the dictionaries are looked for (the system's unless a test says otherwise).
    void setDictionaryFolders(const QStringList& folders);
    // The preview follows the text as it is typed, and the two panes follow each other.
    void setLivePreview(bool on);

    void HTML1Click();
    void SpeedButton1Click();
    void N28Click();
    void N29Click();
    void N3Click();
    void SpeedButton2Click();
    void N7Click();
    void SpeedButton3Click();
    void N4Click();
    void N6Click();
    void RichEdit1Change();

    // Layout
    void ScrollBar1Change();
    void N18Click();
    void N33Click();
    void N19Click();
    void N1024x7681Click();

    // Preview
    void N21Click();
    void SpeedButton10Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void Action1Execute();
    void WebBrowser1CommandStateChange(int command, bool enable);
    void WebBrowser1DocumentComplete();

    // Utilities and help
    void N37Click();
    void N31Click();
    void N36Click();

    // Font, colour schemes and the preview's history keys
    void N9Click();
    void SpeedButton9Click();
    void N41Click();
    void N42Click();
    void N43Click();
    void RichEdit1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void ScrollBar1KeyDown(int key, Qt::KeyboardModifiers modifiers);

    // Find and replace
    void N30Click();
    void N39Click();
    void SpeedButton8Click();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    void ReplaceDialog1ReplaceAll();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setStatusPanel(int panel, const QString& text);
    void enableDocumentControls();
    // Drops of one local file, on the window, the editor or the preview, open that file.
    void acceptFileDrops();
    // F10, the splitter's focus mark and the names of the picture-only menu items.
    void setUpKeyboardPaths();

    void FormCreate();
    void connectDocumentCommands();
    void connectLayoutCommands();
    void connectPreviewCommands();
    void connectToolWindowCommands();
    void applyLayout();
    int screenWidth() const;
    void RefreshPreview();

    void connectEditCommands();
    void setUpEditorAppearance();
    void bindEditAction(QAction* action, const QList<QObject*>& items);
    // The text control (plain text edit or line edit) of this window that has, or will have
    // again when the window is active, the keyboard focus; or null.
    QWidget* focusedTextControl() const;
    void runEditAction(const char* slot);
    void updateEditActions();
    void setEditorBackground(const QColor& color);
    // Alt+Right and Alt+Left press the preview's forward and back buttons while they are enabled.
    void pressHistoryButtonForKey(int key, Qt::KeyboardModifiers modifiers);

    // Notices about the document's file on disk (MainWindowDiskNotices.cpp).
    void connectDiskNotices();
    void showDiskNotice(DocumentSession::DiskNotice notice);
    void addHtmlEditingItems();
    void updateDecorations();
    // The spelling items at the top of the editor's context menu, for the word at the point.
    void addSpellItems(QPoint viewportPoint);
    void addLivePreviewItem();
    // The page the full-screen preview loads: the saved file, or with the live preview the
    // text as it is now.
    QString fullScreenPage();

    void connectSearchCommands();
    void openSearchDialog(FindDialog* dialog);
    void searchStep(FindDialog* dialog);

    std::unique_ptr<Ui::TForm1> ui;
    Platform& platform_;
    SourceEditor* RichEdit1 = nullptr;
    Browser* WebBrowser1 = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    QMenu* PopupMenu1 = nullptr;
    QAction* N19 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    FindDialog* FindDialog1 = nullptr;
    FindDialog* ReplaceDialog1 = nullptr;

    // SearchPosition, shared by both search dialogs.
    SearchState search_;
    // Kept rather than asked on every edit: asking the X clipboard is a round trip.
    bool clipboardHasText_ = false;
    // The context of the connections that keep the edit actions up to date. As a member it goes
    // before the window's widgets, so their teardown (which moves the focus) updates nothing.
    std::unique_ptr<QObject> editActionsWatch_;

    MainLayout layout_;
    std::unique_ptr<SourceEditorDocument> editorDocument_;
    std::unique_ptr<DocumentSession> session_;
    FramePlacement* placement_ = nullptr;
    NoticeBar* diskNotice_ = nullptr;
    QAction* SyntaxHighlighting1 = nullptr;
    QAction* SpellChecking1 = nullptr;
    QStringList dictionaryFolders_;
    QList<QAction*> spellItems_;
    // Before what it holds, so that it outlives them.
    std::unique_ptr<DecorationStack> decorations_;
    std::unique_ptr<HtmlHighlighting> highlighting_;
    std::unique_ptr<SpellChecker> spellChecker_; // kept for the run, with its skipped words
    std::unique_ptr<SpellUnderlines> spelling_;
    QAction* LivePreview1 = nullptr;
    std::unique_ptr<LivePreview> livePreview_;
};
