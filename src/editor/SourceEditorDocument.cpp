#include "editor/SourceEditorDocument.h"

#include "text/SourceEditor.h"

#include <QScrollBar>

QString SourceEditorDocument::PlainText() const
{
    return editor_.PlainText();
}

void SourceEditorDocument::LoadText(const QString& text)
{
    editor_.LoadText(text);
}

void SourceEditorDocument::ReloadText(const QString& text)
{
    const TextBuffer& buffer = *editor_.buffer();
    const qsizetype line = buffer.lineAt(editor_.cursorPosition());
    const qsizetype column = editor_.cursorPosition() - buffer.lineStart(line);
    const int top = editor_.verticalScrollBar()->value();
    const int left = editor_.horizontalScrollBar()->value();
    editor_.LoadText(text);
    const qsizetype newLine = std::min(line, buffer.lineCount() - 1);
    editor_.setCursorPosition(buffer.lineStart(newLine) +
                              std::min(column, buffer.lineLength(newLine)));
    editor_.verticalScrollBar()->setValue(top);
    editor_.horizontalScrollBar()->setValue(left);
}

void SourceEditorDocument::Clear()
{
    editor_.Clear();
}

bool SourceEditorDocument::Modified() const
{
    return editor_.Modified();
}

void SourceEditorDocument::SetModified(bool modified)
{
    editor_.SetModified(modified);
}

void SourceEditorDocument::setReadOnly(bool readOnly)
{
    editor_.setReadOnly(readOnly);
}

void SourceEditorDocument::setEnabled(bool enabled)
{
    editor_.setEnabled(enabled);
}

void SourceEditorDocument::setFocus()
{
    editor_.setFocus();
}
