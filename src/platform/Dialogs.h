#pragma once

#include "widgets/EditorFont.h"

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

// The state an open or save dialog keeps from one use to the next: the last file name and the
// selected filter entry (1-based, as the filter list is numbered).
struct FileDialogState
{
    QString fileName;
    int filterIndex = 1;
};

// Every modal interaction of the program goes through this interface, so that tests can script
// the answers.
class Dialogs
{
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Dialogs() = default;

    // Open dialog. `filters` are Qt name filters ("HTML (*.html)"). On acceptance updates `state`
    // with the chosen full path and filter entry and returns true; `readOnly` gets the dialog's
    // read-only result.
    virtual bool openFile(QWidget* parent, const QStringList& filters, FileDialogState& state,
                          bool& readOnly) = 0;
    // Save dialog: adds no extension and asks no overwrite question of its own.
    virtual bool saveFile(QWidget* parent, const QStringList& filters, FileDialogState& state) = 0;
    // Confirmation with the buttons Yes, No, Cancel; Esc answers Cancel.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text) = 0;
    // A question with the buttons Yes (the default, so Enter answers it) and No, titled `title`.
    // Esc or closing the box answers Cancel: the question stays unanswered.
    virtual Answer askYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A plain message with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // The error report: a failed read, write or delete.
    virtual void reportError(QWidget* parent, const QString& text) = 0;
    // Font dialog offering face, size, style, underline, strike-out and colour. Starts at `font`;
    // on confirmation updates it and returns true.
    virtual bool chooseFont(QWidget* parent, EditorFont& font) = 0;
    // Colour dialog starting at `color`; on confirmation updates it and returns true.
    virtual bool chooseColor(QWidget* parent, QColor& color) = 0;
};
