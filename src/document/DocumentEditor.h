#pragma once

#include <QString>

// What the document session needs of the editor that holds the document's text: the text itself,
// its modified flag, and the editor's enabling, read-only flag and focus. The main window adapts
// its source editor to it; tests use a plain fake, so the session runs without any window.
class DocumentEditor
{
public:
    virtual ~DocumentEditor() = default;

    // The whole text with '\n' line breaks, as LoadText takes it.
    virtual QString PlainText() const = 0;
    // Replaces the whole text; the modified flag keeps its value.
    virtual void LoadText(const QString& text) = 0;
    // Replaces the whole text with a new reading of the same file: as LoadText, but the caret
    // keeps its line and column and the view its scroll position, as far as the new text allows.
    virtual void ReloadText(const QString& text) { LoadText(text); }
    // Empties the text; the modified flag keeps its value.
    virtual void Clear() = 0;
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual void setFocus() = 0;
};
