#include "editor/SearchState.h"

#include "text/SourceEditor.h"

const QString SearchState::textNotFoundMessage = QStringLiteral("Текст не найден!");

namespace {

// A find text pasted from elsewhere may break its lines with CR LF, LF, CR or a paragraph
// separator; here each becomes one LF.
QString withLfBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

} // namespace

void SearchState::anchor(const SourceEditor& editor)
{
    searchPosition_ = editor.SelStart() + editor.SelLength();
}

bool SearchState::findNext(SourceEditor& editor, const QString& findText)
{
    // The editor counts and finds each line break as CR LF.
    const QString text = withLfBreaks(findText).replace(u'\n', QLatin1String("\r\n"));
    const int length = editor.TextLength();
    // After a deletion the position may lie beyond the end: the range is then empty.
    if (text.isEmpty() || searchPosition_ >= length)
        return false;
    const int found = editor.FindText(text, searchPosition_, length - searchPosition_);
    if (found < 0)
        return false;
    editor.SetSelStart(found);
    editor.SetSelLength(int(text.size()));
    editor.SetHideSelection(false);
    searchPosition_ = editor.SelStart() + editor.SelLength();
    return true;
}

void SearchState::replaceSelection(SourceEditor& editor, const QString& replacement)
{
    if (editor.SelLength() == 0)
        return;
    const int start = editor.SelStart();
    editor.SetSelText(replacement);
    // Measured in the editor's own units, so that a replacement with line breaks is selected
    // whole.
    const int insertedLength = editor.SelStart() - start;
    editor.SetSelStart(start);
    editor.SetSelLength(insertedLength);
    editor.SetHideSelection(false);
}

bool SearchState::replaceAll(SourceEditor& editor, const QString& findText,
                             const QString& replacement)
{
    // The buffer finds every match in one sweep before it replaces any, so a replacement that
    // holds the find text is not found again.
    return editor.ReplaceAll(withLfBreaks(findText), replacement);
}
