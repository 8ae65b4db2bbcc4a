#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "document/DocumentFile.h"
#include "editor/PreviewHint.h"
#include "platform/Browser.h"
#include "platform/Platform.h"
#include "platform/SourceEditor.h"
#include "templates/TemplateBuilder.h"
#include "templates/TemplateChooser.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

const QString TForm1::UntitledName = QStringLiteral("НовыйHTML");
const QString TForm1::TitleSuffix = QStringLiteral("Pagewrighter");

namespace {

const QString SaveChangesQuestion =
    QStringLiteral("Текущий документ содержит изменения. Сохранить его?");
const QString ReplaceQuestion = QStringLiteral("Файл с таким именем уже существует. Заменить?");
const QString ModifiedMark = QStringLiteral("Изменён");
const QString TemplateModifiedMark = QStringLiteral("Modified");

const QStringList OpenFilters = {QStringLiteral("HTML (*.html)"), QStringLiteral("HTM (*.htm)"),
                                 QStringLiteral("HTML,HTM (*.html *.htm)")};
const QStringList SaveFilters = {QStringLiteral("HTML (*.html)"), QStringLiteral("HTM (*.htm)")};

bool hasHtmlExtension(const QString& name)
{
    return name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

} // namespace

TForm1::TForm1(Platform& platform, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TForm1>()), platform_(platform)
{
    ui->setupUi(this);
    RichEdit1 = ui->RichEdit1;
    setUpEditorAppearance();

    // A fixed window (title, system menu, minimise and close, no maximise) as large as its menu
    // and client area.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(-3, 0);

    WebBrowser1 = platform_.createBrowser(ui->ClientArea);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setToolTip(PreviewHint);
    WebBrowser1->stackUnder(ui->Panel1); // the tool bar overlaps the preview by one row

    for (int panel = 0; panel < 2; ++panel) {
        statusPanels_[panel] = new QLabel(ui->StatusBar1);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        statusPanels_[panel]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    // Panel 0 is 50 pixels wide, or as wide as its longest mark needs in the font in use.
    const QFontMetrics metrics(ui->StatusBar1->font());
    statusPanels_[0]->setFixedWidth(std::max(50, metrics.horizontalAdvance(ModifiedMark) +
                                                     2 * statusPanels_[0]->frameWidth() +
                                                     2 * statusPanels_[0]->margin() + 4));
    ui->StatusBar1->addWidget(statusPanels_[0]);
    ui->StatusBar1->addWidget(statusPanels_[1], 1);

    connectDocumentCommands();
    connectLayoutCommands();
    connectPreviewCommands();
    connectEditCommands();
    connectSearchCommands();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    currentFileName_.clear(); // no document yet
    layout_.startUp(screenWidth());
    applyLayout();
}

void TForm1::connectDocumentCommands()
{
    connect(ui->HTML1, &QAction::triggered, this, &TForm1::HTML1Click);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(ui->N28, &QAction::triggered, this, &TForm1::N28Click);
    connect(ui->N29, &QAction::triggered, this, &TForm1::N29Click);
    connect(ui->N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(ui->N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(ui->N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(ui->N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(RichEdit1, &QPlainTextEdit::textChanged, this, &TForm1::RichEdit1Change);
}

QString TForm1::statusPanelText(int panel) const
{
    return statusPanels_[panel]->text();
}

void TForm1::setStatusPanel(int panel, const QString& text)
{
    statusPanels_[panel]->setText(text);
}

void TForm1::setDocumentName(const QString& name)
{
    currentFileName_ = name;
    setWindowTitle(currentFileName_ + QStringLiteral(" - ") + TitleSuffix);
    setStatusPanel(1, currentFileName_);
}

void TForm1::enableDocumentControls()
{
    RichEdit1->setEnabled(true);
    ui->N30->setEnabled(true);
    ui->N39->setEnabled(true);
    ui->SpeedButton8->setEnabled(true);
}

// --- Commands ---------------------------------------------------------------------------------

void TForm1::HTML1Click()
{
    if (SaveChangesPrompt())
        NewDocument();
}

void TForm1::SpeedButton1Click()
{
    HTML1Click();
}

void TForm1::N28Click()
{
    if (SaveChangesPrompt() && windows_.form3)
        windows_.form3->OpenOverMainWindow();
}

void TForm1::N29Click()
{
    if (windows_.form4)
        windows_.form4->OpenOverMainWindow();
}

void TForm1::N3Click()
{
    if (SaveChangesPrompt())
        OpenDocument();
}

void TForm1::SpeedButton2Click()
{
    N3Click();
}

void TForm1::N7Click()
{
    SaveDocument();
}

void TForm1::SpeedButton3Click()
{
    N7Click();
}

void TForm1::N4Click()
{
    if (!currentFileName_.isEmpty())
        SaveDocumentAs();
}

void TForm1::N6Click()
{
    close();
}

void TForm1::RichEdit1Change()
{
    setStatusPanel(0, ModifiedMark);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Before the window manager has framed the window, a position can only place the client
    // area; the designed position is meant for the frame, so it is applied again once the
    // frame is known (by the first activation).
    if (event->type() == QEvent::ActivationChange && !framePlaced_ &&
        frameGeometry() != geometry()) {
        framePlaced_ = true;
        move(-3, 0);
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!SaveChangesPrompt()) {
        event->ignore();
        return;
    }
    event->accept();
    // The other windows live as long as the main window: closing it ends the program.
    QCoreApplication::quit();
}

// --- Document operations ----------------------------------------------------------------------

bool TForm1::SaveChangesPrompt()
{
    if (!RichEdit1->Modified())
        return true;
    switch (platform_.dialogs().askYesNoCancel(this, SaveChangesQuestion)) {
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
        return false;
    case Dialogs::Answer::Yes:
        break;
    }
    if (currentFileName_ == UntitledName)
        return SaveDocumentAs();
    if (!writeTo(currentFileName_))
        return false;
    RichEdit1->SetModified(false);
    setStatusPanel(0, QString());
    return true;
}

void TForm1::NewDocument()
{
    RichEdit1->Clear();
    documentFormat_ = newDocumentFormat();
    enableDocumentControls();
    RichEdit1->setFocus();
    RichEdit1->SetModified(false);
    setDocumentName(UntitledName);
    setStatusPanel(0, QString());
}

void TForm1::OpenDocument()
{
    bool readOnly = false;
    if (!platform_.dialogs().openFile(this, OpenFilters, openDialogState_, readOnly))
        return;
    const QString path = openDialogState_.fileName;
    DecodedDocument document;
    try {
        document = readDocument(path);
    } catch (const FileError& error) {
        platform_.dialogs().reportError(this, error.message());
        return;
    }
    RichEdit1->LoadText(document.text);
    documentFormat_ = document.format;
    enableDocumentControls();
    RichEdit1->setReadOnly(readOnly);
    RichEdit1->SetModified(false);
    setDocumentName(QFileInfo(path).absoluteFilePath());
    setStatusPanel(0, QString());
    navigatePreview();
}

void TForm1::SaveDocument()
{
    if (currentFileName_.isEmpty())
        return;
    if (currentFileName_ == UntitledName) {
        SaveDocumentAs();
        return;
    }
    if (!writeTo(currentFileName_))
        return;
    RichEdit1->SetModified(false);
    setStatusPanel(0, QString());
}

bool TForm1::SaveDocumentAs()
{
    if (!platform_.dialogs().saveFile(this, SaveFilters, saveDialogState_))
        return false;
    const QString chosen = saveDialogState_.fileName;
    // An existing file is written under exactly its name; otherwise the selected filter entry
    // gives the extension, unless the name already has one of ours.
    QString target = chosen;
    if (!QFileInfo::exists(chosen) && !hasHtmlExtension(chosen))
        target +=
            saveDialogState_.filterIndex == 1 ? QStringLiteral(".html") : QStringLiteral(".htm");
    if (QFileInfo::exists(target) &&
        platform_.dialogs().askYesNoCancel(this, ReplaceQuestion) != Dialogs::Answer::Yes)
        return false;
    if (!writeTo(target))
        return false;
    setDocumentName(QFileInfo(target).absoluteFilePath());
    RichEdit1->SetModified(false);
    setStatusPanel(0, QString());
    return true;
}

bool TForm1::writeTo(const QString& path)
{
    const QString text = RichEdit1->PlainText();
    try {
        writeDocument(path, text, documentFormat_);
    } catch (const FileError& error) {
        platform_.dialogs().reportError(this, error.message());
        return false;
    }
    // A charset declaration edited into the text now decides the encoding of later saves.
    documentFormat_ = formatForSaving(text, documentFormat_);
    return true;
}

void TForm1::StartDocumentFromTemplate(const DecodedDocument& document)
{
    setEnabled(true);
    RichEdit1->Clear();
    enableDocumentControls();
    RichEdit1->setFocus();
    documentFormat_ = document.format;
    RichEdit1->SetModified(true);
    setDocumentName(UntitledName);
    setStatusPanel(0, TemplateModifiedMark);
    // Loading an empty template into the emptied editor changes nothing.
    if (!document.text.isEmpty())
        RichEdit1->LoadText(document.text);
}
