#pragma once

#include <QString>

class SourceEditor;

// Find and replace in the source editor. The main window keeps one SearchState for both of its
// dialogs, so a search in one continues from the last match found through the other. Positions
// are the editor's CR LF positions. The operations report whether they found anything; the
// caller shows textNotFoundMessage when they did not. A line break in a find text, whether CR LF,
// LF or CR, matches a line break of the text.
class SearchState
{
public:
    static const QString textNotFoundMessage;

    // SearchPosition: where the next search begins. Only anchoring and a successful search move
    // it; replacements leave it where it was.
    int searchPosition() const { return searchPosition_; }

    // On opening a dialog: the next search begins at the end of the editor's selection (the
    // caret when nothing is selected).
    void anchor(const SourceEditor& editor);

    // Find next: selects the first match of `text` at or after SearchPosition that ends before
    // the end of the text, compared without regard to letter case, and moves SearchPosition to
    // its end. Never wraps round. Without a match nothing changes and false is returned.
    bool findNext(SourceEditor& editor, const QString& text);

    // Replace: the selection, whatever it holds, becomes `replacement` as one undoable edit, and
    // the inserted text is selected. An empty selection is left alone.
    static void replaceSelection(SourceEditor& editor, const QString& replacement);

    // Replace all: every match of `text` in the whole text becomes `replacement`, as one
    // undoable edit, with the caret after the last replacement. False, and nothing changed, when
    // there is no match.
    static bool replaceAll(SourceEditor& editor, const QString& text, const QString& replacement);

private:
    int searchPosition_ = 0;
};
