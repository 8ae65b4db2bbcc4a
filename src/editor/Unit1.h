#pragma once

#include "editor/DocumentFormat.h"
#include "editor/MainLayout.h"
#include "platform/Dialogs.h"

#include <QMainWindow>
#include <memory>

class Browser;
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

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

    std::unique_ptr<Ui::TForm1> ui;
    Platform& platform_;
    SourceEditor* RichEdit1 = nullptr;
    Browser* WebBrowser1 = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    QMenu* PopupMenu1 = nullptr;
    QAction* N19 = nullptr;

    MainLayout layout_;
    // The file that the preview was last sent to by this window.
    QString previewFile_;

    QString currentFileName_;
    TextFormat documentFormat_ = newDocumentFormat();
    FileDialogState openDialogState_;
    FileDialogState saveDialogState_;
    SecondaryWindows windows_;
    bool framePlaced_ = false;
};
