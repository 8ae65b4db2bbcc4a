#include "text/TextView.h"

#include "text/TextDecoration.h"
#include "text/TextViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr int marginX = 4;
constexpr int marginTop = 2;
// Characters read on each side of a position to find word and cluster boundaries.
constexpr qsizetype boundaryWindow = 256;
// How far a drawn slice may grow to include a whole cluster or right-to-left run.
constexpr qsizetype sliceSlack = 1024;
constexpr int autoScrollInterval = 50;
// Characters around the caret that an input method sees as the surrounding text.
constexpr qsizetype surroundingWindow = 1000;

bool isTextInput(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Ctrl with a key is a command, unless it comes with Alt (AltGr on some layouts).
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier))
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F)
            return false;
        if (!c.isPrint() && c.category() != QChar::Other_Format && !c.isSurrogate())
            return false;
    }
    return true;
}

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
    : QAbstractScrollArea(parent), buffer_(buffer ? buffer : new TextBuffer(this))
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
    measure_.setFont(font());
    lineCount_ = buffer_->lineCount();
    connect(buffer_, &TextBuffer::contentsChange, this, &TextView::onContentsChange);
    connect(buffer_, &TextBuffer::undoAvailable, this, &TextView::undoAvailable);
    connect(buffer_, &TextBuffer::redoAvailable, this, &TextView::redoAvailable);
    connect(buffer_, &TextBuffer::modificationChanged, this, &TextView::modificationChanged);
    resetGeometry();
}

// --- Positions -----------------------------------------------------------------------------

qsizetype TextView::lineColumn(qsizetype position, qsizetype* line) const
{
    *line = buffer_->lineAt(position);
    return position - buffer_->lineStart(*line);
}

qsizetype TextView::clampPosition(qsizetype position) const
{
    position = std::clamp<qsizetype>(position, 0, buffer_->length());
    qsizetype line = 0;
    const qsizetype column = lineColumn(position, &line);
    // Never between the CR and the LF of a break.
    if (column > buffer_->lineLength(line))
        return buffer_->lineStart(line) + buffer_->lineLength(line);
    return position;
}

TextView::LineWindow TextView::lineWindow(qsizetype position, qsizetype behind,
                                          qsizetype ahead) const
{
    LineWindow window{};
    window.column = lineColumn(position, &window.line);
    window.length = buffer_->lineLength(window.line);
    const qsizetype from = std::max<qsizetype>(0, window.column - behind);
    const qsizetype to =
        ahead == 0 ? window.column : std::min(window.length, window.column + ahead);
    window.start = buffer_->lineStart(window.line) + from;
    window.text = buffer_->mid(window.start, to - from);
    window.caret = window.column - from;
    return window;
}

qsizetype TextView::previousCharacter(qsizetype position) const
{
    const LineWindow w = lineWindow(position, boundaryWindow, 0);
    if (w.column == 0)
        return w.line == 0 ? 0 : buffer_->lineStart(w.line - 1) + buffer_->lineLength(w.line - 1);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, w.text);
    finder.setPosition(w.text.size());
    const qsizetype previous = finder.toPreviousBoundary();
    return w.start + std::max<qsizetype>(previous, 0);
}

qsizetype TextView::nextCharacter(qsizetype position) const
{
    const LineWindow w = lineWindow(position, 0, boundaryWindow);
    if (w.column >= w.length)
        return w.line + 1 < buffer_->lineCount() ? buffer_->lineStart(w.line + 1) : position;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, w.text);
    const qsizetype next = finder.toNextBoundary();
    return w.start + (next > 0 ? next : w.text.size());
}

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

} // namespace

qsizetype TextView::previousWordStart(qsizetype position) const
{
    const LineWindow w = lineWindow(position, boundaryWindow, 0);
    if (w.column == 0)
        return previousCharacter(position);
    const QString& window = w.text;
    qsizetype i = window.size();
    // Skip the spaces and punctuation before the caret, then the word.
    while (i > 0 && !isWordCharacter(window[i - 1]) && !window[i - 1].isSpace())
        --i;
    if (i == window.size()) {
        while (i > 0 && window[i - 1].isSpace())
            --i;
        if (i > 0 && !isWordCharacter(window[i - 1])) {
            while (i > 0 && !isWordCharacter(window[i - 1]) && !window[i - 1].isSpace())
                --i;
            return w.start + i;
        }
    }
    while (i > 0 && isWordCharacter(window[i - 1]))
        --i;
    return w.start + i;
}

qsizetype TextView::nextWordStart(qsizetype position) const
{
    const LineWindow w = lineWindow(position, 0, boundaryWindow);
    if (w.column >= w.length)
        return nextCharacter(position);
    const QString& window = w.text;
    qsizetype i = 0;
    // Past the word (or the run of punctuation) under the caret, then past the spaces.
    if (isWordCharacter(window[0])) {
        while (i < window.size() && isWordCharacter(window[i]))
            ++i;
    } else if (!window[0].isSpace()) {
        while (i < window.size() && !isWordCharacter(window[i]) && !window[i].isSpace())
            ++i;
    }
    while (i < window.size() && window[i].isSpace())
        ++i;
    return w.start + i;
}

qsizetype TextView::wordStartAt(qsizetype position) const
{
    const LineWindow w = lineWindow(position, boundaryWindow, 1);
    qsizetype i = w.caret;
    if (i >= w.text.size() || !isWordCharacter(w.text[i]))
        return position;
    while (i > 0 && isWordCharacter(w.text[i - 1]))
        --i;
    return w.start + i;
}

qsizetype TextView::wordEndAt(qsizetype position) const
{
    const LineWindow w = lineWindow(position, 0, boundaryWindow);
    if (w.text.isEmpty())
        return position;
    if (!isWordCharacter(w.text[0]))
        return nextCharacter(position);
    qsizetype i = 0;
    while (i < w.text.size() && isWordCharacter(w.text[i]))
        ++i;
    return w.start + i;
}

// --- Geometry ------------------------------------------------------------------------------

int TextView::lineHeight() const
{
    return std::max(1, int(measure_.lineSpacing()));
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

LineWidthCache::TextReader TextView::lineReader(qsizetype line) const
{
    const qsizetype start = buffer_->lineStart(line);
    const TextBuffer* buffer = buffer_;
    return [buffer, start](qsizetype from, qsizetype length) {
        return buffer->mid(start + from, length);
    };
}

LineWidthCache* TextView::cacheOf(qsizetype line) const
{
    const qsizetype length = buffer_->lineLength(line);
    if (length <= LineWidthCache::chunkSize) {
        caches_.erase(line);
        return nullptr;
    }
    auto found = caches_.find(line);
    if (found == caches_.end())
        found = caches_.emplace(line, LineWidthCache(length)).first;
    else if (found->second.length() != length)
        found->second.reset(length);
    return &found->second;
}

qreal TextView::columnX(qsizetype line, qsizetype column) const
{
    if (LineWidthCache* cache = cacheOf(line))
        return cache->x(column, lineReader(line), measure_);
    return measure_.width(buffer_->mid(buffer_->lineStart(line), column));
}

qsizetype TextView::columnAtX(qsizetype line, qreal x) const
{
    if (LineWidthCache* cache = cacheOf(line))
        return cache->columnAt(x, lineReader(line), measure_);
    return measure_.columnAt(buffer_->lineText(line), x);
}

qreal TextView::lineWidth(qsizetype line) const
{
    if (LineWidthCache* cache = cacheOf(line))
        return cache->width(lineReader(line), measure_);
    return measure_.width(buffer_->lineText(line));
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
    const qsizetype start = buffer_->lineStart(line);
    LineWidthCache* cache = cacheOf(line);
    QList<QTextLayout::FormatRange> formats;
    const auto decorate = [&](qsizetype from, qsizetype length) {
        if (decorated && decoration_)
            formats = decoration_->formats(start + from, length);
    };
    if (!cache) {
        decorate(0, buffer_->lineLength(line));
        return std::make_unique<LineSlice>(buffer_->lineText(line), 0, 0, measure_, preedit,
                                           formats);
    }
    const LineWidthCache::TextReader reader = lineReader(line);
    const qsizetype length = buffer_->lineLength(line);
    qsizetype first = std::max<qsizetype>(0, cache->columnAt(fromX, reader, measure_) - 2);
    qsizetype last = std::min(length, cache->columnAt(toX, reader, measure_) + 2);
    if (preedit.column >= 0 && (preedit.column < first || preedit.column > last))
        preedit.column = -1;
    // Widen the slice to boundaries where shaping does not depend on what lies outside it.
    const qsizetype windowFrom = std::max<qsizetype>(0, first - sliceSlack);
    const qsizetype windowTo = std::min(length, last + sliceSlack);
    const QString window = buffer_->mid(start + windowFrom, windowTo - windowFrom);
    while (first > windowFrom && !TextMeasure::isSafeBoundary(window, first - windowFrom))
        --first;
    while (last < windowTo && !TextMeasure::isSafeBoundary(window, last - windowFrom))
        ++last;
    decorate(first, last - first);
    return std::make_unique<LineSlice>(window.mid(first - windowFrom, last - first), first,
                                       cache->x(first, reader, measure_), measure_, preedit,
                                       formats);
}

qreal TextView::lineX(qsizetype position) const
{
    qsizetype line = 0;
    const qsizetype column = lineColumn(clampPosition(position), &line);
    const qreal approximate = columnX(line, column);
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
    const qreal right = column < buffer_->lineLength(line) ? lineX(nextCharacter(position)) : left;
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
    if (width > longestWidth_) {
        longestWidth_ = width;
        updateScrollBars();
    }
}

void TextView::updateScrollBars()
{
    QScrollBar* vertical = verticalScrollBar();
    const int page = pageLines();
    vertical->setRange(0, int(std::max<qsizetype>(0, buffer_->lineCount() - page)));
    vertical->setPageStep(page);
    vertical->setSingleStep(1);
    QScrollBar* horizontal = horizontalScrollBar();
    const int content = int(std::ceil(longestWidth_)) + 2 * marginX + 2;
    horizontal->setRange(0, std::max(0, content - viewport()->width()));
    horizontal->setPageStep(std::max(1, viewport()->width()));
    horizontal->setSingleStep(std::max(1, int(measure_.tabWidth() / 4)));
}

void TextView::estimateLongestLine()
{
    // The longest line by characters is measured; others only when drawn, so opening megabytes
    // of lines does not measure them all.
    const qsizetype lines = buffer_->lineCount();
    qsizetype longest = 0;
    qsizetype longestLength = -1;
    if (lines <= 200000) {
        for (qsizetype line = 0; line < lines; ++line) {
            const qsizetype length = buffer_->lineLength(line);
            if (length > longestLength) {
                longestLength = length;
                longest = line;
            }
        }
        noteWidth(lineWidth(longest));
    } else {
        noteWidth(qreal(buffer_->length()) / lines * 4 * measure_.tabWidth() / 8);
    }
}

void TextView::resetGeometry()
{
    caches_.clear();
    longestWidth_ = 0;
    estimateLongestLine();
    updateScrollBars();
    viewport()->update();
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
    const QString newline = buffer_->newline();
    QString converted;
    converted.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            converted += newline;
        } else {
            converted += c;
        }
    }
    return converted;
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
    const qsizetype newLines = buffer_->lineCount();
    const qsizetype delta = newLines - lineCount_;
    const qsizetype line = buffer_->lineAt(position);
    const qsizetype lineStart = buffer_->lineStart(line);
    // setText, or an edit that leaves nothing of the old text.
    const bool wholeText = position == 0 && added == buffer_->length();
    // Long lines' width caches: one line edited in place keeps its cache, the lines below an
    // edit that added or removed breaks move along, the lines the edit touched start afresh.
    auto found = caches_.find(line);
    const bool inLine = delta == 0 && buffer_->lineAt(position + added) == line &&
                        found != caches_.end() &&
                        found->second.length() - removed + added == buffer_->lineLength(line);
    if (inLine) {
        found->second.edit(position - lineStart, removed, added);
    } else {
        const qsizetype oldLastLine = buffer_->lineAt(position + added) - delta;
        std::unordered_map<qsizetype, LineWidthCache> moved;
        for (auto& [key, cache] : caches_) {
            if (key < line)
                moved.emplace(key, std::move(cache));
            else if (key > oldLastLine)
                moved.emplace(key + delta, std::move(cache));
        }
        caches_ = std::move(moved);
    }
    lineCount_ = newLines;

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
    if (wholeText) {
        caches_.clear();
        longestWidth_ = 0;
        estimateLongestLine();
    } else {
        noteWidth(lineWidth(line));
    }
    updateScrollBars();
    // An edit inside one line (typing) repaints that line; one that adds or removes lines
    // moves everything below it.
    if (!wholeText && delta == 0)
        updateLines(line, buffer_->lineAt(position + added));
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

// --- Keys ----------------------------------------------------------------------------------

qsizetype TextView::verticalMove(qsizetype position, qsizetype lines)
{
    qsizetype line = 0;
    lineColumn(position, &line);
    if (goalX_ < 0)
        goalX_ = lineX(position);
    const qsizetype target = std::clamp<qsizetype>(line + lines, 0, buffer_->lineCount() - 1);
    if (target == line)
        return lines < 0 ? buffer_->lineStart(line)
                         : buffer_->lineStart(line) + buffer_->lineLength(line);
    const std::unique_ptr<LineSlice> slice = sliceOf(target, goalX_ - 1, goalX_ + 1);
    return buffer_->lineStart(target) + slice->columnAt(goalX_);
}

bool TextView::handleMoveKey(QKeyEvent* event)
{
    struct MoveKey
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        enum {
            Left,
            Right,
            WordLeft,
            WordRight,
            Home,
            End,
            Up,
            Down,
            PageUp,
            PageDown,
            Start,
            Finish
        } what;
    };
    static const MoveKey keys[] = {
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, MoveKey::Left},
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, MoveKey::Right},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, MoveKey::WordLeft},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, MoveKey::WordRight},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, MoveKey::Home},
        {QKeySequence::MoveToStartOfBlock, QKeySequence::SelectStartOfBlock, MoveKey::Home},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, MoveKey::End},
        {QKeySequence::MoveToEndOfBlock, QKeySequence::SelectEndOfBlock, MoveKey::End},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, MoveKey::Up},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, MoveKey::Down},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, MoveKey::PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, MoveKey::PageDown},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, MoveKey::Start},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, MoveKey::Finish},
    };
    for (const MoveKey& key : keys) {
        const bool select = event->matches(key.select);
        if (!select && !event->matches(key.move))
            continue;
        qsizetype line = 0;
        lineColumn(cursor_, &line);
        qsizetype target = cursor_;
        const qreal goal = goalX_;
        bool vertical = false;
        switch (key.what) {
        case MoveKey::Left:
            target = hasSelection() && !select ? selectionStart() : previousCharacter(cursor_);
            break;
        case MoveKey::Right:
            target = hasSelection() && !select ? selectionEnd() : nextCharacter(cursor_);
            break;
        case MoveKey::WordLeft:
            target = previousWordStart(cursor_);
            break;
        case MoveKey::WordRight:
            target = nextWordStart(cursor_);
            break;
        case MoveKey::Home:
            target = buffer_->lineStart(line);
            break;
        case MoveKey::End:
            target = buffer_->lineStart(line) + buffer_->lineLength(line);
            break;
        case MoveKey::Up:
        case MoveKey::Down:
            target = verticalMove(cursor_, key.what == MoveKey::Up ? -1 : 1);
            vertical = true;
            break;
        case MoveKey::PageUp:
        case MoveKey::PageDown: {
            const int page = pageLines();
            const int step = key.what == MoveKey::PageUp ? -page : page;
            target = verticalMove(cursor_, step);
            verticalScrollBar()->setValue(verticalScrollBar()->value() + step);
            vertical = true;
            break;
        }
        case MoveKey::Start:
            target = 0;
            break;
        case MoveKey::Finish:
            target = buffer_->length();
            break;
        }
        const qreal keptGoal = vertical ? goalX_ : -1;
        Q_UNUSED(goal);
        moveCursor(target, select);
        goalX_ = keptGoal;
        if (select)
            setPrimarySelection();
        return true;
    }
    return false;
}

bool TextView::handleEditKey(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        if (hasSelection())
            replaceSelection(QString());
        else
            deleteRange(previousWordStart(cursor_), cursor_, TextBuffer::EditKind::Other);
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        if (hasSelection())
            replaceSelection(QString());
        else
            deleteRange(cursor_, nextWordStart(cursor_), TextBuffer::EditKind::Other);
    } else if (event->key() == Qt::Key_Backspace &&
               !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        if (hasSelection()) {
            if (!readOnly_)
                replaceSelection(QString());
        } else {
            // One code point back (a combining mark at a time), a line break as a whole.
            qsizetype line = 0;
            const qsizetype column = lineColumn(cursor_, &line);
            qsizetype from = cursor_ - 1;
            if (column == 0 && line > 0)
                from = buffer_->lineStart(line - 1) + buffer_->lineLength(line - 1);
            else if (from > 0 && buffer_->at(from).isLowSurrogate() &&
                     buffer_->at(from - 1).isHighSurrogate())
                --from;
            deleteRange(std::max<qsizetype>(from, 0), cursor_, TextBuffer::EditKind::Typing);
        }
    } else if (event->matches(QKeySequence::Delete)) {
        if (hasSelection()) {
            if (!readOnly_)
                replaceSelection(QString());
        } else {
            deleteRange(cursor_, nextCharacter(cursor_), TextBuffer::EditKind::Typing);
        }
    } else if (event->matches(QKeySequence::InsertParagraphSeparator) ||
               event->matches(QKeySequence::InsertLineSeparator)) {
        insertTyped(buffer_->newline());
    } else if (event->key() == Qt::Key_Tab &&
               !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        insertTyped(QStringLiteral("\t"));
    } else if (isTextInput(event)) {
        insertTyped(event->text());
    } else {
        return false;
    }
    return true;
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    if (handleMoveKey(event) || handleEditKey(event)) {
        event->accept();
        return;
    }
    event->ignore();
}

bool TextView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Keys the view handles itself win over shortcuts of the window, as in Qt's text edits.
        auto* key = static_cast<QKeyEvent*>(event);
        static const QKeySequence::StandardKey own[] = {
            QKeySequence::Copy,
            QKeySequence::Paste,
            QKeySequence::Cut,
            QKeySequence::Undo,
            QKeySequence::Redo,
            QKeySequence::SelectAll,
            QKeySequence::Delete,
            QKeySequence::DeleteStartOfWord,
            QKeySequence::DeleteEndOfWord,
            QKeySequence::MoveToNextWord,
            QKeySequence::MoveToPreviousWord,
            QKeySequence::SelectNextWord,
            QKeySequence::SelectPreviousWord,
            QKeySequence::MoveToStartOfDocument,
            QKeySequence::MoveToEndOfDocument,
            QKeySequence::SelectStartOfDocument,
            QKeySequence::SelectEndOfDocument,
            QKeySequence::MoveToStartOfLine,
            QKeySequence::MoveToEndOfLine,
            QKeySequence::SelectStartOfLine,
            QKeySequence::SelectEndOfLine,
        };
        bool handled = isTextInput(key) || key->key() == Qt::Key_Backspace;
        for (const QKeySequence::StandardKey standard : own)
            handled = handled || key->matches(standard);
        if (handled && key->modifiers() != Qt::AltModifier) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        // The Tab key types a tab instead of moving the focus.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
            keyPressEvent(key);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::event(event);
}

// --- Input methods -------------------------------------------------------------------------

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    if (readOnly_) {
        event->ignore();
        return;
    }
    // A commit string, possibly replacing characters around the caret (dead keys, compose,
    // corrections), then the new preedit text shown at the caret.
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        if (event->replacementLength() > 0 && !hasSelection()) {
            const qsizetype from = clampPosition(cursor_ + event->replacementStart());
            anchor_ = from;
            cursor_ = clampPosition(from + event->replacementLength());
        }
        insertTyped(event->commitString());
    }
    preedit_.text = event->preeditString();
    preedit_.formats.clear();
    preeditCursor_ = int(preedit_.text.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = attribute.start;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = attribute.value.value<QTextFormat>().toCharFormat();
            if (format.isValid())
                preedit_.formats.append({attribute.start, attribute.length, format});
        } else if (attribute.type == QInputMethodEvent::Selection && preedit_.text.isEmpty()) {
            setSelection(attribute.start, attribute.start + attribute.length);
        }
    }
    if (!preedit_.text.isEmpty() && preedit_.formats.isEmpty()) {
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        preedit_.formats.append({0, int(preedit_.text.size()), underline});
    }
    ensureCursorVisible();
    viewport()->update();
    updateInputMethod();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    qsizetype line = 0;
    const qsizetype column = lineColumn(cursor_, &line);
    const qsizetype start = buffer_->lineStart(line);
    const qsizetype length = buffer_->lineLength(line);
    // The caret's line, or a window of it around the caret on a long line.
    const qsizetype from = std::max<qsizetype>(0, column - surroundingWindow);
    const qsizetype to = std::min(length, column + surroundingWindow);
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled() && !readOnly_;
    case Qt::ImHints:
        return int(inputMethodHints() | Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
        return QRectF(cursorRect().translated(viewport()->pos()));
    case Qt::ImAnchorRectangle:
        return QRectF(characterRect(anchor_).translated(viewport()->pos()));
    case Qt::ImFont:
        return measure_.font();
    case Qt::ImSurroundingText:
        return buffer_->mid(start + from, to - from);
    case Qt::ImCursorPosition:
        return int(column - from);
    case Qt::ImAnchorPosition: {
        const qsizetype anchor = std::clamp(anchor_ - start, from, to);
        return int(anchor - from);
    }
    case Qt::ImAbsolutePosition:
        return qlonglong(cursor_);
    case Qt::ImCurrentSelection:
        // Only the part the input method can use: a whole-text selection is not copied per query.
        return buffer_->mid(selectionStart(), std::min<qsizetype>(selectionEnd() - selectionStart(),
                                                                  surroundingWindow * 2));
    case Qt::ImTextBeforeCursor:
        return buffer_->mid(start + from, column - from);
    case Qt::ImTextAfterCursor:
        return buffer_->mid(cursor_, to - column);
    case Qt::ImMaximumTextLength:
        return QVariant();
    case Qt::ImReadOnly:
        return readOnly_;
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void TextView::updateInputMethod()
{
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput | Qt::ImEnabled | Qt::ImHints);
}

void TextView::notifyAccessibleCursor()
{
    if (!QAccessible::isActive())
        return;
    if (hasSelection()) {
        QAccessibleTextSelectionEvent selection(this, int(selectionStart()), int(selectionEnd()));
        selection.setCursorPosition(int(cursor_));
        QAccessible::updateAccessibility(&selection);
    } else {
        QAccessibleTextCursorEvent moved(this, int(cursor_));
        QAccessible::updateAccessibility(&moved);
    }
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
            painter.fillRect(QRectF(originX + slice->endX(), top, measure_.tabWidth() / 8, height),
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
        if (at.y() < visible.top())
            vertical->setValue(vertical->value() - 1 - (visible.top() - at.y()) / lineHeight());
        else if (at.y() > visible.bottom())
            vertical->setValue(vertical->value() + 1 + (at.y() - visible.bottom()) / lineHeight());
        if (at.x() < visible.left())
            horizontal->setValue(horizontal->value() - horizontal->singleStep() * 4);
        else if (at.x() > visible.right())
            horizontal->setValue(horizontal->value() + horizontal->singleStep() * 4);
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
        measure_.setFont(font());
        resetGeometry();
        break;
    case QEvent::PaletteChange:
        viewport()->update();
        break;
    default:
        break;
    }
}

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
            setSelection(unitAnchorEnd_, wordStartAt(position));
        else
            setSelection(unitAnchorStart_, std::max(wordEndAt(position), unitAnchorEnd_));
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
    unitAnchorStart_ = wordStartAt(position);
    unitAnchorEnd_ = std::max(wordEndAt(position), unitAnchorStart_);
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
    setSelection(at, at + text.size());
    event->setDropAction(moveHere ? Qt::MoveAction : event->proposedAction());
    event->accept();
    setFocus();
}
