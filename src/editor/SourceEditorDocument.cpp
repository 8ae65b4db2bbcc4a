#include "editor/SourceEditorDocument.h"

#include "platform/SourceEditor.h"

QString SourceEditorDocument::PlainText() const
{
    return editor_.PlainText();
}

void SourceEditorDocument::LoadText(const QString& text)
{
    editor_.LoadText(text);
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
