#pragma once

#include "text/TextView.h"

// The source editor control: plain text, one font for the whole text, over the text engine's
// buffer, which keeps every character as it came. Positions and lengths count characters of
// Text(), where each line break (CR LF, LF or a lone CR) counts as the two characters CR LF.
// Mapping such a position is O(log n); nothing on the typing path copies the whole text.
class SourceEditor : public TextView
{
    Q_OBJECT
public:
    explicit SourceEditor(QWidget* parent = nullptr);

    // The whole text with CR LF line breaks (a copy: not for the typing path).
    QString Text() const;
    // Length of Text() without building it.
    int TextLength() const;

    int SelStart() const;
    // Places the caret at `pos` (clamped to 0..TextLength()) with an empty selection.
    void SetSelStart(int pos);
    int SelLength() const;
    // Selects `length` characters from SelStart() (clamped to the end of the text).
    void SetSelLength(int length);
    // The selected text with CR LF line breaks.
    QString SelText() const;
    // Replaces the selection by `text` (line breaks "\r\n", "\n" or "\r" all become one break)
    // as one undoable edit, leaving the caret after it; raises the change signal.
    void SetSelText(const QString& text);

    // Position of the first match of `text` that lies wholly within [start, start + length),
    // compared without regard to letter case; -1 when there is none or the range is empty.
    int FindText(const QString& text, int start, int length) const;
    // Replaces every match of `text` in the whole text (compared as FindText compares; a line
    // break in it matches any line break) by `replacement` as one undoable edit, the caret after
    // the last replacement. False, and nothing changed, when there is no match.
    bool ReplaceAll(const QString& text, const QString& replacement);

    // Replaces the whole text with `text`, every character kept as it is (line breaks as they
    // come). The modified flag keeps its value; the undo history starts afresh; the caret goes to
    // the start; the change signal follows.
    void LoadText(const QString& text);
    // Empties the text as LoadText(QString()) does; the modified flag keeps its value.
    void Clear();
    // The whole text exactly as stored: what LoadText took, with the edits made since.
    QString PlainText() const;

    bool Modified() const;
    void SetModified(bool modified);

    // While true (the default) the selection is not drawn when the editor lacks the focus.
    bool HideSelection() const { return hideSelection(); }
    void SetHideSelection(bool hide) { setHideSelection(hide); }

signals:
    // A key press with its modifiers, before the editor handles the key (the key still reaches
    // the editor afterwards).
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
