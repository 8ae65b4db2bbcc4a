#include "support/FakeDialogs.h"

QStringList FakeDialogs::logOf(const QString& kind) const
{
    QStringList entries;
    for (const QString& entry : log)
        if (entry == kind || entry.startsWith(kind + QLatin1Char(' ')))
            entries << entry;
    return entries;
}

bool FakeDialogs::answerFile(const QString& kind, std::deque<FileAnswer>& answers,
                             const QStringList& filters, FileDialogState& state, bool* readOnly)
{
    log << QStringLiteral("%1 %2|%3").arg(kind, state.fileName).arg(state.filterIndex);
    lastFilters = filters;
    if (answers.empty())
        return false;
    const FileAnswer answer = answers.front();
    answers.pop_front();
    if (answer.path.isEmpty())
        return false;
    state.fileName = answer.path;
    state.filterIndex = answer.filterIndex;
    if (readOnly)
        *readOnly = answer.readOnly;
    return true;
}

bool FakeDialogs::openFile(QWidget*, const QStringList& filters, FileDialogState& state,
                           bool& readOnly)
{
    return answerFile(QStringLiteral("open"), openAnswers, filters, state, &readOnly);
}

bool FakeDialogs::saveFile(QWidget*, const QStringList& filters, FileDialogState& state)
{
    return answerFile(QStringLiteral("save"), saveAnswers, filters, state, nullptr);
}

Dialogs::Answer FakeDialogs::askYesNoCancel(QWidget*, const QString& text)
{
    log << QStringLiteral("question ") + text;
    if (questionAnswers.empty())
        return Answer::Cancel;
    const Answer answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

Dialogs::Answer FakeDialogs::askYesNo(QWidget* parent, const QString&, const QString& text)
{
    return askYesNoCancel(parent, text);
}

void FakeDialogs::showMessage(QWidget*, const QString& text)
{
    log << QStringLiteral("message ") + text;
}

void FakeDialogs::reportError(QWidget*, const QString& text)
{
    log << QStringLiteral("error ") + text;
}

bool FakeDialogs::chooseFont(QWidget*, EditorFont& font)
{
    log << QStringLiteral("font");
    lastFontShown = font;
    if (fontAnswers.empty())
        return false;
    const std::optional<EditorFont> answer = fontAnswers.front();
    fontAnswers.pop_front();
    if (!answer)
        return false;
    font = *answer;
    return true;
}

bool FakeDialogs::chooseColor(QWidget*, QColor& color)
{
    log << QStringLiteral("color");
    lastColorShown = color;
    if (colorAnswers.empty())
        return false;
    const std::optional<QColor> answer = colorAnswers.front();
    colorAnswers.pop_front();
    if (!answer)
        return false;
    color = *answer;
    return true;
}
