#pragma once

#include "document/DocumentFormat.h"
#include "editor/MainLayout.h"
#include "editor/SearchState.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <memory>

class Browser;
class FindDialog;
class FramePlacement;
class Platform;
class QLabel;
class QMenu;
class SourceEditor;
class TAboutBox;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;

namespace Ui {
class TForm1;
}

// The main window: one HTML document in the source editor, its preview, and the commands that
// create, open and save it.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // The name of a document that has never been saved.
    static const QString UntitledName;
    static const QString TitleSuffix;
    // Where the window's frame goes at start and by "По умолчанию": a little left of the screen's
    // edge, so the left border is out of sight.
    static constexpr QPoint DesignedPosition{-3, 0};

    // The windows that the main window shows; all of them live for the whole run.
    struct SecondaryWindows
    {
        TForm2* form2 = nullptr;
        TForm3* form3 = nullptr;
        TForm4* form4 = nullptr;
        TForm5* form5 = nullptr;
        TAboutBox* aboutBox = nullptr;
        TForm7* form7 = nullptr;
    };

    explicit TForm1(Platform& platform, QWidget* parent = nullptr);
    ~TForm1() override;

    // Connects the menu commands that show the other windows.
    void setSecondaryWindows(const SecondaryWindows& windows);

    // Empty before the first document, UntitledName for a document never saved, else a path.
    QString CurrentFileName() const { return currentFileName_; }
    const TextFormat& documentFormat() const { return documentFormat_; }
    QString statusPanelText(int panel) const;
    // The layout class in force, 800 or 1024; the full-screen preview sizes itself by it.
    int ScreenMode() const { return layout_.screenMode; }

    // Starts an untitled, modified document holding a template's text.
    void StartDocumentFromTemplate(const DecodedDocument& document);

public slots:
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
    // Asks whether to save a modified document before an operation that would drop it. Returns
    // true when the operation may go on: nothing to save, No, or Yes followed by a completed
    // save. Cancel, a cancelled save dialog and a failed write stop it.
    bool SaveChangesPrompt();
    void NewDocument();
    void OpenDocument();
    void SaveDocument();
    // Returns whether the document was written.
    bool SaveDocumentAs();
    // Writes the editor's text to `path`; reports a failure and returns false.
    bool writeTo(const QString& path);
    void enableDocumentControls();
    void setDocumentName(const QString& name);
    void setStatusPanel(int panel, const QString& text);

    void FormCreate();
    void connectDocumentCommands();
    void connectLayoutCommands();
    void connectPreviewCommands();
    void applyLayout();
    int screenWidth() const;
    void RefreshPreview();
    void navigatePreview();

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
    // The font dialog's own font: the last one confirmed in it, not the editor's current font.
    EditorFont fontDialogFont_;
    // Kept rather than asked on every edit: asking the X clipboard is a round trip.
    bool clipboardHasText_ = false;
    // The context of the connections that keep the edit actions up to date. As a member it goes
    // before the window's widgets, so their teardown (which moves the focus) updates nothing.
    std::unique_ptr<QObject> editActionsWatch_;

    MainLayout layout_;
    // The file that the preview was last sent to by this window.
    QString previewFile_;

    QString currentFileName_;
    TextFormat documentFormat_ = newDocumentFormat();
    FileDialogState openDialogState_;
    FileDialogState saveDialogState_;
    SecondaryWindows windows_;
    FramePlacement* placement_ = nullptr;
};
