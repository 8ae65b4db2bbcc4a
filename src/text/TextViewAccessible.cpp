#include "text/TextViewAccessible.h"

#include "text/TextBoundaries.h"
#include "text/TextView.h"

#include <algorithm>

TextViewAccessible::TextViewAccessible(TextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText)
{}

QAccessibleInterface* TextViewAccessible::create(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<TextView*>(object))
        return new TextViewAccessible(view);
    return nullptr;
}

TextView* TextViewAccessible::view() const
{
    return static_cast<TextView*>(widget());
}

void* TextViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TextViewAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return view()->buffer()->text();
    return QAccessibleWidget::text(type);
}

QAccessible::State TextViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !view()->isReadOnly();
    state.readOnly = view()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QList<QAccessibleInterface*> TextViewAccessible::shownChildren() const
{
    QList<QAccessibleInterface*> children;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
        QAccessibleInterface* child = QAccessibleWidget::child(i);
        if (child && child->object() != view()->viewport())
            children.append(child);
    }
    return children;
}

int TextViewAccessible::childCount() const
{
    return int(shownChildren().size());
}

QAccessibleInterface* TextViewAccessible::child(int index) const
{
    return shownChildren().value(index);
}

int TextViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return int(shownChildren().indexOf(const_cast<QAccessibleInterface*>(child)));
}

void TextViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && view()->hasSelection()) {
        *startOffset = int(view()->selectionStart());
        *endOffset = int(view()->selectionEnd());
    }
}

int TextViewAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void TextViewAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->clearSelection();
}

void TextViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection(startOffset, endOffset);
}

int TextViewAccessible::cursorPosition() const
{
    return int(view()->cursorPosition());
}

void TextViewAccessible::setCursorPosition(int position)
{
    view()->setCursorPosition(position);
}

QString TextViewAccessible::text(int startOffset, int endOffset) const
{
    return view()->buffer()->mid(startOffset, std::max(0, endOffset - startOffset));
}

int TextViewAccessible::characterCount() const
{
    return int(view()->buffer()->length());
}

void TextViewAccessible::unitAt(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                int* end) const
{
    const TextBuffer* buffer = view()->buffer();
    const qsizetype length = buffer->length();
    const qsizetype at = std::clamp<qsizetype>(offset, 0, length);
    switch (boundary) {
    case QAccessible::CharBoundary:
        *start = int(at);
        *end = int(std::min(TextBoundaries::nextCharacter(*view()->buffer(), at), length));
        if (*end < *start)
            *end = *start;
        break;
    case QAccessible::WordBoundary: {
        const qsizetype wordStart = TextBoundaries::wordStartAt(*view()->buffer(), at);
        *start = int(wordStart);
        *end = int(std::max(TextBoundaries::wordEndAt(*view()->buffer(), wordStart), wordStart));
        break;
    }
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary: {
        const qsizetype line = buffer->lineAt(at);
        *start = int(buffer->lineStart(line));
        *end =
            int(buffer->lineStart(line) + buffer->lineLength(line) + buffer->lineBreakLength(line));
        break;
    }
    case QAccessible::NoBoundary:
        *start = 0;
        *end = int(length);
        break;
    }
}

QString TextViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const
{
    unitAt(offset, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TextViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAt(offset, boundaryType, &start, &end);
    if (start <= 0 || boundaryType == QAccessible::NoBoundary) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    // The unit that ends where this one starts (for words, skip the gap between them).
    qsizetype before = start - 1;
    if (boundaryType == QAccessible::WordBoundary)
        before =
            std::max<qsizetype>(0, TextBoundaries::previousWordStart(*view()->buffer(), start));
    unitAt(int(before), boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TextViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const
{
    int start = 0;
    int end = 0;
    unitAt(offset, boundaryType, &start, &end);
    if (end >= characterCount() || boundaryType == QAccessible::NoBoundary) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    qsizetype after = end;
    if (boundaryType == QAccessible::WordBoundary)
        after = TextBoundaries::nextWordStart(*view()->buffer(), end);
    unitAt(int(after), boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QRect TextViewAccessible::characterRect(int offset) const
{
    const QRect inViewport = view()->characterRect(offset);
    return QRect(view()->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size());
}

int TextViewAccessible::offsetAtPoint(const QPoint& point) const
{
    return int(view()->positionAt(view()->viewport()->mapFromGlobal(point)));
}

void TextViewAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view()->setSelection(endIndex, startIndex);
}

QString TextViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One font and one pair of colours for the whole text: a single run.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    const QFont font = view()->font();
    const QPalette& palette = view()->palette();
    const auto rgb = [](const QColor& colour) {
        return QStringLiteral("rgb(%1,%2,%3)")
            .arg(colour.red())
            .arg(colour.green())
            .arg(colour.blue());
    };
    const QString size = font.pointSizeF() > 0 ? QStringLiteral("%1pt").arg(font.pointSizeF())
                                               : QStringLiteral("%1px").arg(font.pixelSize());
    return QStringLiteral("font-family:\"%1\";font-size:%2;font-weight:%3;font-style:%4;"
                          "color:%5;background-color:%6;")
        .arg(font.family(), size, font.bold() ? QStringLiteral("bold") : QStringLiteral("normal"),
             font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"),
             rgb(palette.color(QPalette::Text)), rgb(palette.color(QPalette::Base)));
}

void TextViewAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void TextViewAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void TextViewAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (view()->isReadOnly())
        return;
    view()->setSelection(startOffset, endOffset);
    view()->replaceSelection(text);
}
