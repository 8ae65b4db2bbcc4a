#pragma once

#include "platform/TextSnapshot.h"

#include <QPlainTextEdit>

class QTextBlock;

// The source editor control: plain text, one font for the whole text. Positions and lengths
// count characters of Text(), where each line break counts as the two characters CR LF, whatever
// line ends the document's file uses. Mapping such a position to the widget's own position is
// O(log n) in the number of lines; nothing on the typing path copies the whole text.
class SourceEditor : public QPlainTextEdit
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

    // Replaces the whole text with `text` ('\n' line breaks). The modified flag keeps its value;
    // the undo history starts afresh; the change signal follows.
    void LoadText(const QString& text);
    // Empties the text as LoadText(QString()) does; unlike clear(), the modified flag keeps its
    // value.
    void Clear();
    // The whole text with '\n' line breaks, exactly as LoadText takes it (no CR).
    QString PlainText() const;

    bool Modified() const;
    void SetModified(bool modified);

    // While true (the default) the selection is not drawn when the editor lacks the focus.
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);

signals:
    // A key press with its modifiers, before the editor handles the key (the key still reaches
    // the editor afterwards).
    void keyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The CR LF position of the document position `qtPosition`.
    int crlfPosition(int qtPosition) const;
    // The document position of the CR LF position `crlfPos` (clamped to the text); a position on
    // a line break's CR or LF is the end of that line.
    int qtPosition(qint64 crlfPos) const;
    void applySelectionColours();
    void keepGlyphsOfLongLine(const QTextBlock& block);
    // The document's own characters (a line break is one paragraph separator), kept between
    // searches until the text changes.
    const QString& searchText() const;

    bool hideSelection_ = true;
    mutable TextSnapshot searchText_;
};
