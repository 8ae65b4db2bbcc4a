// The editor's own commands: the standard edit actions and the items bound to them, the editor's
// context menu, its font and colour schemes, and the Alt+arrow keys that drive the preview's
// history from the editor and the splitter.
#include "editor/MainWindow.h"
#include "ui_MainWindow.h"

#include "editor/EditActionRules.h"
#include "platform/Platform.h"
#include "text/SourceEditor.h"
#include "widgets/FontDialog.h"
#include "widgets/FontResolution.h"
#include "widgets/ScrollBarKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace {

const QColor SkyBlue(166, 202, 240);

// Undo, redo and delete of the editor's context menu, after its four standard items.
void addUndoItems(QMenu* menu, TextView* editor)
{
    menu->addSeparator();
    const auto add = [menu, editor](const char* name, const QString& caption, auto slot) {
        QAction* item = menu->addAction(caption, editor, slot);
        item->setObjectName(QLatin1String(name));
    };
    add("PopupUndo", QStringLiteral("Отменить"), [editor] { editor->undo(); });
    add("PopupRedo", QStringLiteral("Повторить"), [editor] { editor->redo(); });
    add("PopupDelete", QStringLiteral("Удалить"), [editor] {
        if (!editor->isReadOnly())
            editor->replaceSelection(QString());
    });
}

void updateUndoItems(QMenu* menu, const TextView* editor)
{
    const bool writable = !editor->isReadOnly();
    const auto enable = [menu](const char* name, bool enabled) {
        if (auto* item = menu->findChild<QAction*>(QLatin1String(name)))
            item->setEnabled(enabled);
    };
    enable("PopupUndo", writable && editor->buffer()->canUndo());
    enable("PopupRedo", writable && editor->buffer()->canRedo());
    enable("PopupDelete", writable && editor->hasSelection());
}

} // namespace

void TForm1::connectEditCommands()
{
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    const auto popupItem = [this](const char* name, const QString& caption) {
        QAction* item = PopupMenu2->addAction(caption);
        item->setObjectName(QLatin1String(name));
        return item;
    };
    QAction* N20 = popupItem("N20", QStringLiteral("Вырезать"));
    QAction* N23 = popupItem("N23", QStringLiteral("Копировать"));
    QAction* N24 = popupItem("N24", QStringLiteral("Вставить"));
    PopupMenu2->addSeparator()->setObjectName(QStringLiteral("N25"));
    QAction* SelectAll1 = popupItem("SelectAll1", QStringLiteral("Выделить все"));
    addUndoItems(PopupMenu2, RichEdit1);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        updateUndoItems(PopupMenu2, RichEdit1);
        addSpellItems(at);
        // A scroll area reports the position in its viewport's coordinates.
        PopupMenu2->popup(RichEdit1->viewport()->mapToGlobal(at));
    });

    bindEditAction(ui->EditUndo1, {ui->Cut1, ui->SpeedButton4});
    bindEditAction(ui->EditCut1, {ui->N12, ui->SpeedButton5, N20});
    bindEditAction(ui->EditCopy1, {ui->N13, ui->SpeedButton6, N23});
    bindEditAction(ui->EditPaste1, {ui->N14, ui->SpeedButton7, N24});
    bindEditAction(ui->EditSelectAll1, {ui->N17, SelectAll1});
    connect(ui->EditUndo1, &QAction::triggered, this, [this] { runEditAction("undo"); });
    connect(ui->EditCut1, &QAction::triggered, this, [this] { runEditAction("cut"); });
    connect(ui->EditCopy1, &QAction::triggered, this, [this] { runEditAction("copy"); });
    connect(ui->EditPaste1, &QAction::triggered, this, [this] { runEditAction("paste"); });
    connect(ui->EditSelectAll1, &QAction::triggered, this, [this] { runEditAction("selectAll"); });

    editActionsWatch_ = std::make_unique<QObject>();
    QObject* watch = editActionsWatch_.get();
    const auto update = [this] { updateEditActions(); };
    connect(qApp, &QApplication::focusChanged, watch, update);
    connect(RichEdit1, &SourceEditor::selectionChanged, watch, update);
    connect(RichEdit1, &SourceEditor::undoAvailable, watch, update);
    connect(RichEdit1, &SourceEditor::textChanged, watch, update);
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto readClipboard = [this, clipboard] {
        const QMimeData* mime = clipboard->mimeData();
        clipboardHasText_ = mime && mime->hasText();
    };
    readClipboard();
    connect(clipboard, &QClipboard::dataChanged, watch, [this, readClipboard] {
        readClipboard();
        updateEditActions();
    });
    updateEditActions();

    connect(ui->N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(ui->SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(ui->N41, &QAction::triggered, this, &TForm1::N41Click);
    connect(ui->N42, &QAction::triggered, this, &TForm1::N42Click);
    connect(ui->N43, &QAction::triggered, this, &TForm1::N43Click);
    connect(RichEdit1, &SourceEditor::keyDown, this, &TForm1::RichEdit1KeyDown);
    // The window's filter runs first (filters installed later run earlier), so the history
    // keys are seen before the bar handles the key.
    ScrollBarKeys::install(*ui->ScrollBar1);
    ui->ScrollBar1->installEventFilter(this);
}

void TForm1::setUpEditorAppearance()
{
    // The window's font, by its Windows name; the editor takes it until the font command
    // changes it.
    ui->ClientArea->setFont(resolveFont(QStringLiteral("MS Sans Serif"), 11));
    setEditorBackground(SkyBlue);
}

// --- Edit actions -----------------------------------------------------------------------------

void TForm1::bindEditAction(QAction* action, const QList<QObject*>& items)
{
    for (QObject* item : items) {
        if (auto* menuItem = qobject_cast<QAction*>(item)) {
            menuItem->setShortcut(action->shortcut());
            menuItem->setIcon(action->icon());
            menuItem->setEnabled(action->isEnabled());
            connect(action, &QAction::enabledChanged, menuItem, &QAction::setEnabled);
            connect(menuItem, &QAction::triggered, action, &QAction::trigger);
        } else if (auto* button = qobject_cast<QToolButton*>(item)) {
            button->setIcon(action->icon());
            button->setEnabled(action->isEnabled());
            connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
            connect(button, &QToolButton::clicked, action, &QAction::trigger);
        }
    }
}

QWidget* TForm1::focusedTextControl() const
{
    // The window's own focus child, kept while another window or program is active, so that
    // the commands do not grey out whenever the find dialog or another program has the focus.
    QWidget* focused = focusWidget();
    if (qobject_cast<TextView*>(focused) || qobject_cast<QLineEdit*>(focused))
        return focused;
    return nullptr;
}

void TForm1::runEditAction(const char* slot)
{
    // The text view and line edits share the names of these slots.
    if (QWidget* target = focusedTextControl())
        QMetaObject::invokeMethod(target, slot);
}

void TForm1::updateEditActions()
{
    EditTarget target;
    target.clipboardHasText = clipboardHasText_;
    QWidget* control = focusedTextControl();
    if (auto* edit = qobject_cast<TextView*>(control)) {
        target.focused = true;
        target.canUndo = edit->buffer()->canUndo() && !edit->isReadOnly();
        target.hasSelection = edit->hasSelection();
        target.hasText = !edit->buffer()->isEmpty();
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        target.focused = true;
        target.canUndo = line->isUndoAvailable();
        target.hasSelection = line->hasSelectedText();
        target.hasText = !line->text().isEmpty();
    }
    const EditActionsEnabled enabled = editActionsEnabled(target);
    ui->EditUndo1->setEnabled(enabled.undo);
    ui->EditCut1->setEnabled(enabled.cut);
    ui->EditCopy1->setEnabled(enabled.copy);
    ui->EditPaste1->setEnabled(enabled.paste);
    ui->EditSelectAll1->setEnabled(enabled.selectAll);
}

// --- Font and colours -------------------------------------------------------------------------

void TForm1::N9Click()
{
    // The dialog opens on the editor's font and colour as they are now.
    EditorFont chosen{RichEdit1->font(),
                      RichEdit1->palette().color(QPalette::Active, QPalette::Text)};
    if (!platform_.dialogs().chooseFont(this, chosen))
        return;
    RichEdit1->setFont(chosen.font);
    // The disabled look stays grey.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Active, QPalette::Text, chosen.color);
    palette.setColor(QPalette::Inactive, QPalette::Text, chosen.color);
    RichEdit1->setPalette(palette);
}

void TForm1::SpeedButton9Click()
{
    N9Click();
}

void TForm1::setEditorBackground(const QColor& color)
{
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, color);
    RichEdit1->setPalette(palette);
}

void TForm1::N41Click()
{
    setEditorBackground(SkyBlue);
}

void TForm1::N42Click()
{
    setEditorBackground(Qt::white);
}

void TForm1::N43Click()
{
    setEditorBackground(Qt::black);
}

// --- Preview history keys ---------------------------------------------------------------------

void TForm1::pressHistoryButtonForKey(int key, Qt::KeyboardModifiers modifiers)
{
    // Exactly Alt: Ctrl+Alt or Shift+Alt with an arrow is some other command. The keypad flag
    // only tells which arrow keys were used.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::AltModifier)
        return;
    if (key == Qt::Key_Right) {
        if (ui->SpeedButton12->isEnabled())
            ui->SpeedButton12->click();
        return;
    }
    if (key == Qt::Key_Left && ui->SpeedButton11->isEnabled())
        ui->SpeedButton11->click();
}

void TForm1::RichEdit1KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    pressHistoryButtonForKey(key, modifiers);
}

void TForm1::ScrollBar1KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    pressHistoryButtonForKey(key, modifiers);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == ui->ScrollBar1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        ScrollBar1KeyDown(key->key(), key->modifiers());
    }
    // The splitter still gets the key.
    return QMainWindow::eventFilter(watched, event);
}
