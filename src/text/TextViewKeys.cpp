// The view's keys and input methods.
#include "text/TextView.h"

#include "text/TextBoundaries.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

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

} // namespace

// --- Keys ----------------------------------------------------------------------------------

qsizetype TextView::verticalMove(qsizetype position, qsizetype lines)
{
    qsizetype line = 0;
    lineColumn(position, &line);
    if (goalX_ < 0)
        goalX_ = lineX(position);
    const qsizetype target = std::clamp<qsizetype>(line + lines, 0, buffer_->lineCount() - 1);
    if (target == line) {
        // One line up from the first line (or down from the last) stays put, as in Qt's text
        // fields; a page up or down goes to the line's start or end.
        if (lines == 1 || lines == -1)
            return position;
        return lines < 0 ? buffer_->lineStart(line) : TextBoundaries::lineEnd(*buffer_, line);
    }
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
        bool vertical = false;
        switch (key.what) {
        case MoveKey::Left:
            target = hasSelection() && !select
                         ? selectionStart()
                         : TextBoundaries::previousCharacter(*buffer_, cursor_);
            break;
        case MoveKey::Right:
            target = hasSelection() && !select ? selectionEnd()
                                               : TextBoundaries::nextCharacter(*buffer_, cursor_);
            break;
        case MoveKey::WordLeft:
            target = TextBoundaries::previousWordStart(*buffer_, cursor_);
            break;
        case MoveKey::WordRight:
            target = TextBoundaries::nextWordStart(*buffer_, cursor_);
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
            deleteRange(TextBoundaries::previousWordStart(*buffer_, cursor_), cursor_,
                        TextBuffer::EditKind::Other);
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        if (hasSelection())
            replaceSelection(QString());
        else
            deleteRange(cursor_, TextBoundaries::nextWordStart(*buffer_, cursor_),
                        TextBuffer::EditKind::Other);
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
            deleteRange(cursor_, TextBoundaries::nextCharacter(*buffer_, cursor_),
                        TextBuffer::EditKind::Typing);
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
        // The Tab key types a tab instead of moving the focus, and Shift+Tab does not move it
        // back either: the focus leaves the text only by the mouse or a window's shortcut.
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_Tab &&
            !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
            keyPressEvent(key);
            return true;
        }
        if ((key->key() == Qt::Key_Backtab ||
             (key->key() == Qt::Key_Tab && (mods & Qt::ShiftModifier))) &&
            !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
            key->accept();
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
        return layout_.measure().font();
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
