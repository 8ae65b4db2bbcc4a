#pragma once

#include "document/DocumentEditor.h"

class SourceEditor;

// The main window's source editor as the document session sees it.
class SourceEditorDocument : public DocumentEditor
{
public:
    explicit SourceEditorDocument(SourceEditor& editor) : editor_(editor) {}

    QString PlainText() const override;
    void LoadText(const QString& text) override;
    void ReloadText(const QString& text) override;
    void Clear() override;
    bool Modified() const override;
    void SetModified(bool modified) override;
    void setReadOnly(bool readOnly) override;
    void setEnabled(bool enabled) override;
    void setFocus() override;

private:
    SourceEditor& editor_;
};
