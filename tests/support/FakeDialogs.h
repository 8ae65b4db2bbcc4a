#pragma once

#include "platform/Dialogs.h"

#include <deque>
#include <optional>

// Scripted dialogs. Each kind of dialog takes its answers from its own queue; an empty queue
// answers as a cancelled dialog (Cancel for questions). Every dialog shown is recorded in `log`:
//   "open <name>|<filter>", "save <name>|<filter>" (the state the dialog was shown with),
//   "question <text>", "message <text>", "error <text>", "font", "color".
class FakeDialogs : public Dialogs
{
public:
    struct FileAnswer
    {
        QString path; // empty: the dialog is cancelled
        int filterIndex = 1;
        bool readOnly = false;
    };

    std::deque<FileAnswer> openAnswers;
    std::deque<FileAnswer> saveAnswers;
    std::deque<Answer> questionAnswers;
    std::deque<std::optional<EditorFont>> fontAnswers;
    std::deque<std::optional<QColor>> colorAnswers;

    QStringList log;
    QStringList lastFilters;
    EditorFont lastFontShown;
    QColor lastColorShown;

    // Convenience: the entries of `log` that start with `kind` followed by a space.
    QStringList logOf(const QString& kind) const;

    bool openFile(QWidget* parent, const QStringList& filters, FileDialogState& state,
                  bool& readOnly) override;
    bool saveFile(QWidget* parent, const QStringList& filters, FileDialogState& state) override;
    Answer askYesNoCancel(QWidget* parent, const QString& text) override;
    // Answered from questionAnswers and logged as "question <text>", like askYesNoCancel.
    Answer askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    void showMessage(QWidget* parent, const QString& text) override;
    void reportError(QWidget* parent, const QString& text) override;
    bool chooseFont(QWidget* parent, EditorFont& font) override;
    bool chooseColor(QWidget* parent, QColor& color) override;

private:
    bool answerFile(const QString& kind, std::deque<FileAnswer>& answers,
                    const QStringList& filters, FileDialogState& state, bool* readOnly);
};
