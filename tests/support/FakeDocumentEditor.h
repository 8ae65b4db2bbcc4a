#pragma once

#include "document/DocumentEditor.h"

#include <functional>

// An editor without a widget: its text, flags and focus are plain members. Like the real editor
// it raises its change (`changed`) when a load or a clear changes the text.
class FakeDocumentEditor : public DocumentEditor
{
public:
    QString text;
    bool modified = false;
    bool readOnly = false;
    bool enabled = false;
    int focusTaken = 0;
    std::function<void()> changed;

    // Types as a user does: the text grows, the flag is set, the change is raised.
    void type(const QString& typed)
    {
        text += typed;
        modified = true;
        if (changed)
            changed();
    }

    QString PlainText() const override { return text; }
    void LoadText(const QString& newText) override { replace(newText); }
    void Clear() override { replace(QString()); }
    bool Modified() const override { return modified; }
    void SetModified(bool value) override { modified = value; }
    void setReadOnly(bool value) override { readOnly = value; }
    void setEnabled(bool value) override { enabled = value; }
    void setFocus() override { ++focusTaken; }

private:
    void replace(const QString& newText)
    {
        const bool differs = newText != text;
        text = newText;
        if (differs && changed)
            changed();
    }
};
