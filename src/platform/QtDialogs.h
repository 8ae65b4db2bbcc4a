#pragma once

#include "platform/Dialogs.h"

// The real dialogs: Qt's file, colour and message boxes with Russian buttons, and the
// program's own font dialog (with a text colour).
class QtDialogs : public Dialogs
{
public:
    bool openFile(QWidget* parent, const QStringList& filters, FileDialogState& state,
                  bool& readOnly) override;
    bool saveFile(QWidget* parent, const QStringList& filters, FileDialogState& state) override;
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    Answer askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void reportError(QWidget* parent, const QString& text) override;
    bool chooseFont(QWidget* parent, EditorFont& font) override;
    bool chooseColor(QWidget* parent, QColor& color) override;
};
