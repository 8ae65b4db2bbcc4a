// The main window's frame, status bar and document commands; the commands are short calls into
// the document session.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "document/DocumentJournal.h"
#include "editor/DecorationStack.h"
#include "editor/FileDropTarget.h"
#include "editor/FramePlacement.h"
#include "editor/HtmlHighlighting.h"
#include "editor/LivePreview.h"
#include "editor/PreviewHint.h"
#include "editor/SourceEditorDocument.h"
#include "editor/SpellUnderlines.h"
#include "platform/AccessibleRoles.h"
#include "platform/Browser.h"
#include "platform/Platform.h"
#include "platform/WindowKeys.h"
#include "syntax/SpellChecker.h"
#include "text/SourceEditor.h"
#include "text/TextBuffer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QStatusBar>

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
    placement_ = new FramePlacement(this, DesignedPosition);
    placement_->place();

    WebBrowser1 = platform_.createBrowser(ui->ClientArea);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setToolTip(PreviewHint);
    WebBrowser1->setAccessibleName(QStringLiteral("Просмотр страницы"));
    WebBrowser1->stackUnder(ui->Panel1); // the tool bar overlaps the preview by one row

    for (int panel = 0; panel < 2; ++panel) {
        statusPanels_[panel] = new QLabel(ui->StatusBar1);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        statusPanels_[panel]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    // Panel 0 is 50 pixels wide, or as wide as its longest mark needs in the font in use.
    const QFontMetrics metrics(ui->StatusBar1->font());
    statusPanels_[0]->setFixedWidth(
        std::max(50, metrics.horizontalAdvance(DocumentSession::ModifiedMark) +
                         2 * statusPanels_[0]->frameWidth() + 2 * statusPanels_[0]->margin() + 4));
    ui->StatusBar1->addWidget(statusPanels_[0]);
    ui->StatusBar1->addWidget(statusPanels_[1], 1);

    editorDocument_ = std::make_unique<SourceEditorDocument>(*RichEdit1);
    session_ = std::make_unique<DocumentSession>(platform_.dialogs(), *editorDocument_, this);
    connectDocumentCommands();
    connectLayoutCommands();
    connectPreviewCommands();
    connectEditCommands();
    connectSearchCommands();
    connectToolWindowCommands();
    connectDiskNotices();
    addHtmlEditingItems();
    addLivePreviewItem();
    acceptFileDrops();
    setUpKeyboardPaths();
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    // The session starts with no document.
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
    // With the session as context: the editor's teardown raises no change into a gone session.
    connect(RichEdit1, &SourceEditor::textChanged, session_.get(), [this] { RichEdit1Change(); });
    connect(RichEdit1, &SourceEditor::modificationChanged, session_.get(),
            &DocumentSession::editorModificationChanged);
    // Every change reaches the recovery journal as an edit; it reads the inserted text in place.
    TextBuffer* buffer = RichEdit1->buffer();
    session_->journal().setTextSlice(
        [buffer](qsizetype position, qsizetype length) { return buffer->mid(position, length); });
    connect(buffer, &TextBuffer::contentsChange, session_.get(),
            [this](qsizetype position, qsizetype removed, qsizetype added) {
                session_->journal().recordChange(position, removed, added);
            });

    connect(session_.get(), &DocumentSession::titleChanged, this, &QWidget::setWindowTitle);
    connect(session_.get(), &DocumentSession::statusPanelChanged, this, &TForm1::setStatusPanel);
    connect(session_.get(), &DocumentSession::documentControlsEnabled, this,
            &TForm1::enableDocumentControls);
}

void TForm1::acceptFileDrops()
{
    auto* drops = new FileDropTarget(this);
    drops->watch(this);
    drops->watch(RichEdit1->viewport());
    drops->watch(WebBrowser1, true);
    // Opened once the drop is over: the save-changes question must not run inside it.
    connect(drops, &FileDropTarget::fileDropped, this, &TForm1::openDocumentFile,
            Qt::QueuedConnection);
}

void TForm1::setUpKeyboardPaths()
{
    WindowKeys::openMenuOnF10(*this, *ui->MainMenu1);
    WindowKeys::showFocusMark(*ui->ScrollBar1);
    // The colour schemes show only their swatch.
    AccessibleRoles::nameMenuItem(*ui->N41, QStringLiteral("Голубой фон"));
    AccessibleRoles::nameMenuItem(*ui->N42, QStringLiteral("Белый фон"));
    AccessibleRoles::nameMenuItem(*ui->N43, QStringLiteral("Чёрный фон"));
}

QString TForm1::CurrentFileName() const
{
    return session_->fileName();
}

const TextFormat& TForm1::documentFormat() const
{
    return session_->format();
}

QString TForm1::statusPanelText(int panel) const
{
    return statusPanels_[panel]->text();
}

void TForm1::setStatusPanel(int panel, const QString& text)
{
    statusPanels_[panel]->setText(text);
}

void TForm1::enableDocumentControls()
{
    ui->N30->setEnabled(true);
    ui->N39->setEnabled(true);
    ui->SpeedButton8->setEnabled(true);
}

// --- Commands ---------------------------------------------------------------------------------

void TForm1::HTML1Click()
{
    session_->newDocument();
}

void TForm1::SpeedButton1Click()
{
    HTML1Click();
}

void TForm1::N28Click()
{
    if (session_->mayOpenTemplateChooser())
        emit templateChooserRequested();
}

void TForm1::N29Click()
{
    emit templateBuilderRequested();
}

void TForm1::N3Click()
{
    session_->openDocument();
}

void TForm1::openDocumentFile(const QString& path)
{
    session_->openDocumentFile(path);
}

void TForm1::SpeedButton2Click()
{
    N3Click();
}

void TForm1::N7Click()
{
    session_->saveDocument();
}

void TForm1::SpeedButton3Click()
{
    N7Click();
}

void TForm1::N4Click()
{
    session_->saveDocumentAs();
}

void TForm1::N6Click()
{
    close();
}

void TForm1::RichEdit1Change()
{
    session_->editorChanged();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (!session_->mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The other windows live as long as the main window: closing it ends the program.
    QCoreApplication::quit();
}

void TForm1::StartDocumentFromTemplate(const DecodedDocument& document)
{
    setEnabled(true);
    session_->startFromTemplate(document);
}
