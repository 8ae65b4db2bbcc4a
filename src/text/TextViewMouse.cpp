// The view's mouse, wheel, context menu and drag and drop.
#include "text/TextView.h"

#include "text/TextBoundaries.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int autoScrollInterval = 50;

} // namespace

// --- Mouse ---------------------------------------------------------------------------------

void TextView::selectAtMouse(QPoint viewportPoint, bool keepAnchor)
{
    const qsizetype position = positionAt(viewportPoint);
    switch (selectionUnit_) {
    case SelectionUnit::Character:
        moveCursor(position, keepAnchor);
        break;
    case SelectionUnit::Word:
        if (position < unitAnchorStart_)
            setSelection(unitAnchorEnd_, TextBoundaries::wordStartAt(*buffer_, position));
        else
            setSelection(unitAnchorStart_,
                         std::max(TextBoundaries::wordEndAt(*buffer_, position), unitAnchorEnd_));
        break;
    case SelectionUnit::Line: {
        const qsizetype line = buffer_->lineAt(position);
        const qsizetype lineStart = buffer_->lineStart(line);
        const qsizetype next =
            line + 1 < buffer_->lineCount() ? buffer_->lineStart(line + 1) : buffer_->length();
        if (position < unitAnchorStart_)
            setSelection(unitAnchorEnd_, lineStart);
        else
            setSelection(unitAnchorStart_, next);
        break;
    }
    }
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (!readOnly_ && clipboard->supportsSelection()) {
            moveCursor(positionAt(at), false);
            pasteFrom(clipboard->mimeData(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    lastMousePoint_ = at;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (tripleClickTimer_.isActive() &&
        (at - tripleClickPoint_).manhattanLength() < QApplication::startDragDistance()) {
        tripleClickTimer_.stop();
        selectionUnit_ = SelectionUnit::Line;
        const qsizetype line = buffer_->lineAt(positionAt(at));
        unitAnchorStart_ = buffer_->lineStart(line);
        unitAnchorEnd_ =
            line + 1 < buffer_->lineCount() ? buffer_->lineStart(line + 1) : buffer_->length();
        setSelection(unitAnchorStart_, unitAnchorEnd_);
        mouseSelecting_ = true;
        return;
    }
    const qsizetype position = positionAt(at);
    if (!shift && hasSelection() && position >= selectionStart() && position < selectionEnd()) {
        // Perhaps the start of dragging the selection away.
        dragCandidate_ = true;
        dragStartPoint_ = at;
        return;
    }
    selectionUnit_ = SelectionUnit::Character;
    mouseSelecting_ = true;
    moveCursor(position, shift);
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    lastMousePoint_ = at;
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (dragCandidate_) {
        if ((at - dragStartPoint_).manhattanLength() >= QApplication::startDragDistance()) {
            dragCandidate_ = false;
            startDrag();
        }
        return;
    }
    if (!mouseSelecting_)
        return;
    if (viewport()->rect().contains(at)) {
        autoScrollTimer_.stop();
        selectAtMouse(at, true);
    } else if (!autoScrollTimer_.isActive()) {
        autoScrollTimer_.start(autoScrollInterval, this);
    }
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    autoScrollTimer_.stop();
    if (event->button() == Qt::LeftButton) {
        if (dragCandidate_) {
            dragCandidate_ = false;
            moveCursor(positionAt(event->position().toPoint()), false);
        }
        if (mouseSelecting_)
            setPrimarySelection();
        mouseSelecting_ = false;
    }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    const qsizetype position = positionAt(at);
    unitAnchorStart_ = TextBoundaries::wordStartAt(*buffer_, position);
    unitAnchorEnd_ = std::max(TextBoundaries::wordEndAt(*buffer_, position), unitAnchorStart_);
    selectionUnit_ = SelectionUnit::Word;
    setSelection(unitAnchorStart_, unitAnchorEnd_);
    setPrimarySelection();
    mouseSelecting_ = true;
    dragCandidate_ = false;
    tripleClickPoint_ = at;
    tripleClickTimer_.start(QApplication::doubleClickInterval(), this);
}

void TextView::wheelEvent(QWheelEvent* event)
{
    QPoint delta = event->angleDelta();
    // Shift turns the wheel sideways.
    if (event->modifiers() & Qt::ShiftModifier)
        delta = QPoint(delta.y() != 0 ? delta.y() : delta.x(), 0);
    const int lines = QApplication::wheelScrollLines();
    wheelRemainderY_ += delta.y() * lines;
    wheelRemainderX_ += delta.x() * lines;
    const int down = wheelRemainderY_ / 120;
    const int across = wheelRemainderX_ / 120;
    wheelRemainderY_ -= down * 120;
    wheelRemainderX_ -= across * 120;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - down);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                    across * horizontalScrollBar()->singleStep());
    event->accept();
}

QMenu* TextView::createStandardContextMenu()
{
    auto* menu = new QMenu(this);
    const auto add = [menu](const QString& text, bool enabled, auto slot) {
        QAction* action = menu->addAction(text, slot);
        action->setEnabled(enabled);
        return action;
    };
    add(QStringLiteral("Отменить"), !readOnly_ && buffer_->canUndo(), [this] { undo(); });
    add(QStringLiteral("Повторить"), !readOnly_ && buffer_->canRedo(), [this] { redo(); });
    menu->addSeparator();
    add(QStringLiteral("Вырезать"), !readOnly_ && hasSelection(), [this] { cut(); });
    add(QStringLiteral("Копировать"), hasSelection(), [this] { copy(); });
    add(QStringLiteral("Вставить"), canPaste(), [this] { paste(); });
    add(QStringLiteral("Удалить"), !readOnly_ && hasSelection(),
        [this] { replaceSelection(QString()); });
    menu->addSeparator();
    add(QStringLiteral("Выделить все"), !buffer_->isEmpty(), [this] { selectAll(); });
    return menu;
}

void TextView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// --- Drag and drop -------------------------------------------------------------------------

void TextView::startDrag()
{
    auto* mime = new QMimeData;
    mime->setText(selectedText());
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const qsizetype start = selectionStart();
    const qsizetype end = selectionEnd();
    internalMoveDone_ = false;
    const Qt::DropAction action =
        drag->exec(readOnly_ ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    // A move to another place takes the text away here; a move inside the view did it all.
    if (action == Qt::MoveAction && !internalMoveDone_ && !readOnly_) {
        setSelection(start, end);
        replaceSelection(QString());
    }
    internalMoveDone_ = false;
}

bool TextView::acceptsDrag(const QMimeData* mime) const
{
    if (readOnly_ || !mime || !mime->hasText())
        return false;
    // Files dropped belong to the window (it opens them), not into the text.
    if (mime->hasUrls()) {
        const QList<QUrl> urls = mime->urls();
        if (std::all_of(urls.begin(), urls.end(),
                        [](const QUrl& url) { return url.isLocalFile(); }))
            return false;
    }
    return true;
}

void TextView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TextView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    dropPosition_ = positionAt(event->position().toPoint());
    viewport()->update();
    if (event->source() == this && event->possibleActions() & Qt::MoveAction &&
        !(event->modifiers() & Qt::ControlModifier)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

void TextView::dragLeaveEvent(QDragLeaveEvent* event)
{
    dropPosition_ = -1;
    viewport()->update();
    event->accept();
}

void TextView::dropEvent(QDropEvent* event)
{
    dropPosition_ = -1;
    if (!acceptsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    qsizetype at = positionAt(event->position().toPoint());
    const QString text = withBufferLineBreaks(event->mimeData()->text());
    const bool moveHere = event->source() == this && event->dropAction() == Qt::MoveAction;
    if (moveHere && at >= selectionStart() && at <= selectionEnd()) {
        // Dropped onto itself: nothing moves.
        internalMoveDone_ = true;
        event->acceptProposedAction();
        viewport()->update();
        return;
    }
    buffer_->beginEditGroup();
    if (moveHere) {
        const qsizetype start = selectionStart();
        const qsizetype length = selectionEnd() - start;
        buffer_->remove(start, length);
        if (at > start)
            at -= length;
        internalMoveDone_ = true;
    }
    buffer_->insert(at, text);
    buffer_->endEditGroup();
    setCursorPosition(at + text.size());
    event->setDropAction(moveHere ? Qt::MoveAction : event->proposedAction());
    event->accept();
    setFocus();
}
