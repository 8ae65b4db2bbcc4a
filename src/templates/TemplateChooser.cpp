#include "templates/TemplateChooser.h"

#include "document/DocumentFile.h"
#include "platform/AccessibleRoles.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "templates/TemplateStore.h"
#include "ui_TemplateChooser.h"
#include "widgets/WidgetLook.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QWindow>

namespace {

// Whether focus coming from `window` is focus coming from another window of the program; dialog
// boxes and pop-ups do not count.
bool isProgramWindow(const QWindow* window)
{
    if (!window)
        return false;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() != window)
            continue;
        const Qt::WindowType type = widget->windowType();
        return !qobject_cast<const QDialog*>(widget) && type != Qt::Popup && type != Qt::ToolTip;
    }
    return false;
}

} // namespace

TForm3::TForm3(Platform& platform, QWidget& mainWindow, const QString& templateDirectory,
               QWidget* parent)
    : TemplateWindow(platform, mainWindow, templateDirectory, parent),
      ui(std::make_unique<Ui::TForm3>())
{
    ui->setupUi(this);
    placeAsTemplateWindow();

    paintSilver(*ui->Memo1);
    ui->Image1->setPixmap(
        pictureFromSvg(QStringLiteral(":/pictures/stamp.svg"), ui->Image1->size()));
    AccessibleRoles::markDecorative(*ui->Image1);

    connect(ui->FileListBox1, &QListWidget::itemSelectionChanged, this, &TForm3::FileListBox1Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm3::focusWindowChanged);
}

TForm3::~TForm3() = default;

QString TForm3::SelectedTemplatePath() const
{
    const QList<QListWidgetItem*> selected = ui->FileListBox1->selectedItems();
    if (selected.isEmpty())
        return {};
    return templateEntryPath(templateDirectory_, selected.first()->text());
}

// Every showing lists the templates afresh, whether or not the window manager activates it.
void TForm3::shownByProgram()
{
    FormActivate();
}

void TForm3::focusWindowChanged(QWindow* focus)
{
    const bool own = focus && focus == windowHandle();
    if (activation_.focusMovedTo(focus, own, isProgramWindow(focus)) && isVisible())
        FormActivate();
}

void TForm3::FormActivate()
{
    RefreshTemplateList();
}

void TForm3::FileListBox1Click()
{
    if (SelectedTemplatePath().isEmpty())
        return;
    ui->Button1->setEnabled(true);
    ui->Button3->setEnabled(true);
}

void TForm3::Button1Click()
{
    LoadTemplate();
}

void TForm3::Button2Click()
{
    close();
}

void TForm3::Button3Click()
{
    DeleteTemplate();
}

void TForm3::RefreshTemplateList()
{
    ui->FileListBox1->clear();
    ui->FileListBox1->addItems(listTemplates(templateDirectory_));
    ui->FileListBox1->clearSelection();
    ui->Button1->setEnabled(false);
    ui->Button3->setEnabled(false);
}

void TForm3::DeleteTemplate()
{
    const QString path = SelectedTemplatePath();
    if (path.isEmpty())
        return;
    try {
        deleteTemplate(path);
    } catch (const FileError& error) {
        platform_.dialogs().reportError(this, error.message());
        return;
    }
    RefreshTemplateList();
}

void TForm3::LoadTemplate()
{
    const QString path = SelectedTemplatePath();
    if (path.isEmpty())
        return;
    // The file is read before the main window is touched: a template that cannot be read leaves
    // the current document as it is.
    DecodedDocument document;
    try {
        document = decodeDocument(readFileBytes(path));
    } catch (const FileError& error) {
        platform_.dialogs().reportError(this, error.message());
        return;
    }
    enableMainWindow();
    emit templateChosen(document);
    close();
}
