#include "text/TextView.h"

#include "text/AutoScroll.h"
#include "text/TextBoundaries.h"
#include "text/TextDecoration.h"
#include "text/TextViewAccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>

#include <algorithm>
#include <cmath>

namespace {

constexpr int marginX = 4;
constexpr int marginTop = 2;

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(&TextViewAccessible::create);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

TextView::TextView(QWidget* parent) : TextView(nullptr, parent) {}

TextView::TextView(TextBuffer* buffer, QWidget* parent)
    : QAbstractScrollArea(parent), buffer_(buffer ? buffer : new TextBuffer(this)),
      layout_(*buffer_, font())
{
    init();
}

TextView::~TextView() = default;

void TextView::init()
{
    installAccessibleFactory();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(buffer_, &TextBuffer::contentsChange, this, &TextView::onContentsChange);
    connect(buffer_, &TextBuffer::undoAvailable, this, &TextView::undoAvailable);
    connect(buffer_, &TextBuffer::redoAvailable, this, &TextView::redoAvailable);
    connect(buffer_, &TextBuffer::modificationChanged, this, &TextView::modificationChanged);
    updateScrollBars();
}

// --- Positions -----------------------------------------------------------------------------

qsizetype TextView::lineColumn(qsizetype position, qsizetype* line) const
{
    qsizetype column = 0;
    *line = TextBoundaries::lineOf(*buffer_, position, &column);
    return column;
}

qsizetype TextView::clampPosition(qsizetype position) const
{
    return TextBoundaries::clampPosition(*buffer_, position);
}

// --- Geometry ------------------------------------------------------------------------------

int TextView::lineHeight() const
{
    return std::max(1, int(layout_.measure().lineSpacing()));
}

qsizetype TextView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

void TextView::updateLines(qsizetype first, qsizetype last)
{
    const int top = std::max(0, lineTop(first));
    const int bottom = std::min(viewport()->height(), lineTop(last) + lineHeight());
    if (bottom > top)
        viewport()->update(QRect(0, top, viewport()->width(), bottom - top));
}

int TextView::lineTop(qsizetype line) const
{
    return marginTop + int(line - firstVisibleLine()) * lineHeight();
}

qreal TextView::contentX(qreal viewportX) const
{
    return viewportX - marginX + horizontalScrollBar()->value();
}

int TextView::pageLines() const
{
    return std::max(1, (viewport()->height() - marginTop) / lineHeight());
}

std::unique_ptr<LineSlice> TextView::sliceOf(qsizetype line, qreal fromX, qreal toX,
                                             bool decorated) const
{
    LineSlice::Preedit preedit;
    qsizetype cursorLine = 0;
    const qsizetype cursorColumn = lineColumn(cursor_, &cursorLine);
    if (!preedit_.text.isEmpty() && cursorLine == line) {
        preedit = preedit_;
        preedit.column = cursorColumn;
    }
    return layout_.slice(line, fromX, toX, preedit, decorated ? decoration_ : nullptr);
}

qreal TextView::lineX(qsizetype position) const
{
    qsizetype line = 0;
    const qsizetype column = lineColumn(clampPosition(position), &line);
    const qreal approximate = layout_.columnX(line, column);
    const std::unique_ptr<LineSlice> slice = sliceOf(line, approximate - 1, approximate + 1);
    const bool atPreedit = position == cursor_ && !preedit_.text.isEmpty();
    return slice->xForColumn(column, atPreedit ? preeditCursor_ : -1);
}

QRect TextView::cursorRect() const
{
    qsizetype line = 0;
    lineColumn(cursor_, &line);
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    const int x = int(std::floor(lineX(cursor_))) + marginX - horizontalScrollBar()->value();
    return QRect(x, lineTop(line), width, lineHeight());
}

QRect TextView::characterRect(qsizetype position) const
{
    position = clampPosition(position);
    qsizetype line = 0;
    const qsizetype column = lineColumn(position, &line);
    const qreal left = lineX(position);
    const qreal right = column < buffer_->lineLength(line)
                            ? lineX(TextBoundaries::nextCharacter(*buffer_, position))
                            : left;
    const int offset = marginX - horizontalScrollBar()->value();
    return QRect(QPoint(int(std::min(left, right)) + offset, lineTop(line)),
                 QSize(int(std::ceil(std::abs(right - left))), lineHeight()));
}

qsizetype TextView::positionAt(QPoint viewportPoint) const
{
    const qsizetype offset = (viewportPoint.y() - marginTop) >= 0
                                 ? (viewportPoint.y() - marginTop) / lineHeight()
                                 : -1 - (marginTop - viewportPoint.y()) / lineHeight();
    const qsizetype line =
        std::clamp<qsizetype>(firstVisibleLine() + offset, 0, buffer_->lineCount() - 1);
    const qreal x = contentX(viewportPoint.x());
    const std::unique_ptr<LineSlice> slice = sliceOf(line, x - 1, x + 1);
    return buffer_->lineStart(line) + slice->columnAt(x);
}

void TextView::noteWidth(qreal width)
{
    if (layout_.noteWidth(width))
        updateScrollBars();
}

void TextView::updateScrollBars()
{
    QScrollBar* vertical = verticalScrollBar();
    const int page = pageLines();
    vertical->setRange(0, int(std::max<qsizetype>(0, buffer_->lineCount() - page)));
    vertical->setPageStep(page);
    vertical->setSingleStep(1);
    QScrollBar* horizontal = horizontalScrollBar();
    const int content = int(std::ceil(layout_.longestWidth())) + 2 * marginX + 2;
    horizontal->setRange(0, std::max(0, content - viewport()->width()));
    horizontal->setPageStep(std::max(1, viewport()->width()));
    horizontal->setSingleStep(std::max(1, int(layout_.measure().tabWidth() / 4)));
}

void TextView::ensureCursorVisible()
{
    qsizetype line = 0;
    lineColumn(cursor_, &line);
    QScrollBar* vertical = verticalScrollBar();
    const int page = pageLines();
    if (line < vertical->value())
        vertical->setValue(int(line));
    else if (line >= vertical->value() + page)
        vertical->setValue(int(line - page + 1));
    const qreal x = lineX(cursor_);
    noteWidth(x);
    QScrollBar* horizontal = horizontalScrollBar();
    const int usable = std::max(1, viewport()->width() - 2 * marginX - 2);
    if (x < horizontal->value())
        horizontal->setValue(int(std::floor(x)));
    else if (x > horizontal->value() + usable)
        horizontal->setValue(int(std::ceil(x)) - usable);
}

// --- Selection and editing -----------------------------------------------------------------

QString TextView::selectedText() const
{
    return buffer_->mid(selectionStart(), selectionEnd() - selectionStart());
}

void TextView::setSelection(qsizetype anchor, qsizetype position)
{
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    anchor_ = clampPosition(anchor);
    cursor_ = clampPosition(position);
    goalX_ = -1;
    buffer_->breakTyping();
    ensureCursorVisible();
    notifyCursorChange(oldCursor, oldAnchor);
}

void TextView::setCursorPosition(qsizetype position, bool keepAnchor)
{
    moveCursor(clampPosition(position), keepAnchor);
}

void TextView::moveCursor(qsizetype position, bool keepAnchor)
{
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    cursor_ = position;
    if (!keepAnchor)
        anchor_ = position;
    goalX_ = -1;
    buffer_->breakTyping();
    ensureCursorVisible();
    notifyCursorChange(oldCursor, oldAnchor);
}

void TextView::notifyCursorChange(qsizetype oldCursor, qsizetype oldAnchor)
{
    const bool selectionMoved = (oldCursor != oldAnchor || cursor_ != anchor_) &&
                                (std::min(oldCursor, oldAnchor) != selectionStart() ||
                                 std::max(oldCursor, oldAnchor) != selectionEnd());
    // Show the caret at once wherever it went.
    caretOn_ = true;
    if (blinkTimer_.isActive())
        updateBlinking();
    // A caret that moved without a selection before or after repaints its old and new lines
    // only: shaping every visible line again for each key costs more than the key itself.
    if (oldCursor == oldAnchor && cursor_ == anchor_ && preedit_.text.isEmpty()) {
        qsizetype oldLine = 0;
        qsizetype newLine = 0;
        lineColumn(std::min(oldCursor, buffer_->length()), &oldLine);
        lineColumn(cursor_, &newLine);
        updateLines(oldLine, oldLine);
        updateLines(newLine, newLine);
    } else {
        viewport()->update();
    }
    if (cursor_ != oldCursor)
        emit cursorPositionChanged();
    if (selectionMoved)
        emit selectionChanged();
    if (hasSelection() != hadSelection_) {
        hadSelection_ = hasSelection();
        emit copyAvailable(hadSelection_);
    }
    if (cursor_ != oldCursor || selectionMoved) {
        updateInputMethod();
        notifyAccessibleCursor();
    }
}

QString TextView::withBufferLineBreaks(const QString& text) const
{
    return TextBoundaries::withLineBreaks(text, buffer_->newline());
}

void TextView::replaceSelection(const QString& text, TextBuffer::EditKind kind)
{
    const qsizetype start = selectionStart();
    const qsizetype end = selectionEnd();
    if (start == end && text.isEmpty())
        return;
    if (QAccessible::isActive())
        removedForAccessibility_ = buffer_->mid(start, end - start);
    buffer_->replace(start, end - start, text, kind);
    removedForAccessibility_.clear();
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    cursor_ = anchor_ = clampPosition(start + text.size());
    goalX_ = -1;
    ensureCursorVisible();
    notifyCursorChange(oldCursor, oldAnchor);
}

void TextView::insertPlainText(const QString& text)
{
    replaceSelection(withBufferLineBreaks(text), TextBuffer::EditKind::Other);
}

void TextView::insertTyped(const QString& text)
{
    if (readOnly_)
        return;
    replaceSelection(text,
                     hasSelection() ? TextBuffer::EditKind::Other : TextBuffer::EditKind::Typing);
}

void TextView::deleteRange(qsizetype from, qsizetype to, TextBuffer::EditKind kind)
{
    if (readOnly_ || from == to)
        return;
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    if (QAccessible::isActive())
        removedForAccessibility_ = buffer_->mid(from, to - from);
    buffer_->replace(from, to - from, QString(), kind);
    removedForAccessibility_.clear();
    cursor_ = anchor_ = clampPosition(from);
    goalX_ = -1;
    ensureCursorVisible();
    notifyCursorChange(oldCursor, oldAnchor);
}

void TextView::setDecoration(TextDecoration* decoration)
{
    decoration_ = decoration;
    viewport()->update();
}

void TextView::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    updateInputMethod();
    viewport()->update();
}

void TextView::setHideSelection(bool hide)
{
    hideSelection_ = hide;
    viewport()->update();
}

void TextView::undo()
{
    if (readOnly_)
        return;
    const qsizetype position = buffer_->undo();
    if (position >= 0)
        moveCursor(clampPosition(position), false);
}

void TextView::redo()
{
    if (readOnly_)
        return;
    const qsizetype position = buffer_->redo();
    if (position >= 0)
        moveCursor(clampPosition(position), false);
}

void TextView::copy()
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextView::cut()
{
    if (!hasSelection() || readOnly_)
        return;
    copy();
    replaceSelection(QString());
}

bool TextView::canPaste() const
{
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return !readOnly_ && mime && mime->hasText();
}

void TextView::paste()
{
    if (!readOnly_)
        pasteFrom(QGuiApplication::clipboard()->mimeData());
}

void TextView::pasteFrom(const QMimeData* mime)
{
    if (mime && mime->hasText() && !mime->text().isEmpty())
        insertPlainText(mime->text());
}

void TextView::selectAll()
{
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    anchor_ = 0;
    cursor_ = buffer_->length();
    buffer_->breakTyping();
    notifyCursorChange(oldCursor, oldAnchor);
    setPrimarySelection();
}

void TextView::clear()
{
    buffer_->setText(QString());
}

void TextView::clearSelection()
{
    moveCursor(cursor_, false);
}

void TextView::setPrimarySelection()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TextView::onContentsChange(qsizetype position, qsizetype removed, qsizetype added)
{
    lastEditEnd_ = position + added;
    const TextLayout::Change change = layout_.edit(position, removed, added);

    const auto shift = [&](qsizetype p) {
        if (p <= position)
            return p;
        if (p >= position + removed)
            return p + added - removed;
        return position;
    };
    const qsizetype oldCursor = cursor_;
    const qsizetype oldAnchor = anchor_;
    cursor_ = clampPosition(shift(cursor_));
    anchor_ = clampPosition(shift(anchor_));
    updateScrollBars();
    // An edit inside one line (typing) repaints that line; one that adds or removes lines
    // moves everything below it.
    if (!change.wholeText && change.linesAdded == 0)
        updateLines(change.line, change.lastLine);
    else
        viewport()->update();

    if (QAccessible::isActive()) {
        if (removed > 0) {
            QAccessibleTextRemoveEvent event(this, int(position), removedForAccessibility_);
            QAccessible::updateAccessibility(&event);
        }
        if (added > 0) {
            QAccessibleTextInsertEvent event(this, int(position), buffer_->mid(position, added));
            QAccessible::updateAccessibility(&event);
        }
    }
    emit textChanged();
    if (cursor_ != oldCursor || anchor_ != oldAnchor)
        notifyCursorChange(oldCursor, oldAnchor);
}

// --- Drawing -------------------------------------------------------------------------------

void TextView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int height = lineHeight();
    const qsizetype first = firstVisibleLine();
    const qsizetype lines = buffer_->lineCount();
    const qsizetype from = first + std::max(0, area.top() - marginTop) / height;
    const qsizetype to =
        std::min(lines - 1, first + std::max(0, area.bottom() - marginTop) / height);
    const qreal left = contentX(area.left()) - 1;
    const qreal right = contentX(area.right() + 1) + 1;
    const qreal originX = marginX - horizontalScrollBar()->value();

    const bool showSelection = hasSelection() && (!hideSelection_ || hasFocus());
    LineSlice::Selection selection;
    // A selection shown without the focus (a find dialog has it) keeps the active colours.
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    selection.background = palette().color(group, QPalette::Highlight);
    selection.foreground = palette().color(group, QPalette::HighlightedText);
    const QColor textColour = palette().color(QPalette::Text);
    qsizetype cursorLine = 0;
    lineColumn(cursor_, &cursorLine);
    qsizetype dropLine = -1;
    qsizetype dropColumn = 0;
    if (dropPosition_ >= 0)
        dropColumn = lineColumn(dropPosition_, &dropLine);

    for (qsizetype line = from; line <= to; ++line) {
        const int top = lineTop(line);
        const std::unique_ptr<LineSlice> slice = sliceOf(line, left, right, true);
        const qsizetype start = buffer_->lineStart(line);
        const qsizetype length = buffer_->lineLength(line);
        selection.start = selection.end = 0;
        if (showSelection && selectionStart() <= start + length && selectionEnd() >= start) {
            selection.start = std::max<qsizetype>(selectionStart() - start, 0);
            selection.end = std::min<qsizetype>(selectionEnd() - start, length);
        }
        slice->draw(painter, QPointF(originX, top), height, textColour, selection);
        // A selected line break shows as a space's width of highlight after the line.
        if (showSelection && selectionEnd() > start + length &&
            selectionStart() <= start + length && line + 1 < lines && slice->endColumn() == length)
            painter.fillRect(
                QRectF(originX + slice->endX(), top, layout_.measure().tabWidth() / 8, height),
                selection.background);
        if (slice->endColumn() == length)
            noteWidth(slice->endX());
        const auto drawCaret = [&](qsizetype column, int preeditCursor) {
            const qreal x = slice->xForColumn(column, preeditCursor);
            const int width =
                std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
            painter.fillRect(QRectF(std::floor(originX + x), top, width, height), textColour);
        };
        if (line == cursorLine && caretOn_ && hasFocus()) {
            const qsizetype column = cursor_ - start;
            if (column >= slice->startColumn() && column <= slice->endColumn())
                drawCaret(column, preedit_.text.isEmpty() ? -1 : preeditCursor_);
        }
        if (line == dropLine && dropColumn >= slice->startColumn() &&
            dropColumn <= slice->endColumn())
            drawCaret(dropColumn, -1);
    }
}

void TextView::repaintCursor()
{
    viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
}

void TextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void TextView::scrollContentsBy(int, int)
{
    viewport()->update();
    updateInputMethod();
}

// --- Caret blinking ------------------------------------------------------------------------

void TextView::updateBlinking()
{
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    const bool active = hasFocus() && isVisible() && window()->isActiveWindow() && isEnabled();
    if (active && flashTime > 0) {
        blinkTimer_.start(flashTime / 2, this);
    } else {
        blinkTimer_.stop();
        // Without blinking the caret stays on while the view has the focus.
        caretOn_ = active;
    }
    repaintCursor();
}

void TextView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == blinkTimer_.timerId()) {
        caretOn_ = !caretOn_;
        repaintCursor();
    } else if (event->timerId() == autoScrollTimer_.timerId()) {
        const QRect visible = viewport()->rect();
        const QPoint at = lastMousePoint_;
        QScrollBar* vertical = verticalScrollBar();
        QScrollBar* horizontal = horizontalScrollBar();
        const QPoint step = AutoScroll::step(visible, at, lineHeight(), horizontal->singleStep());
        vertical->setValue(vertical->value() + step.y());
        horizontal->setValue(horizontal->value() + step.x());
        const QPoint inside(std::clamp(at.x(), visible.left(), visible.right()),
                            std::clamp(at.y(), visible.top(), visible.bottom()));
        selectAtMouse(inside, true);
    } else if (event->timerId() == tripleClickTimer_.timerId()) {
        tripleClickTimer_.stop();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void TextView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    caretOn_ = true;
    updateBlinking();
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    buffer_->breakTyping();
    updateBlinking();
    viewport()->update();
}

void TextView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    updateScrollBars();
    updateBlinking();
}

void TextView::hideEvent(QHideEvent* event)
{
    QAbstractScrollArea::hideEvent(event);
    blinkTimer_.stop();
    autoScrollTimer_.stop();
}

void TextView::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    switch (event->type()) {
    case QEvent::ActivationChange:
    case QEvent::EnabledChange:
        updateBlinking();
        break;
    case QEvent::FontChange:
        layout_.setFont(font());
        updateScrollBars();
        viewport()->update();
        break;
    case QEvent::PaletteChange:
        viewport()->update();
        break;
    default:
        break;
    }
}
