#pragma once

#include <QObject>
#include <QString>
#include <QStringView>
#include <memory>

// The text of one document, exactly as it was decoded: every character is kept, lone CR, NUL,
// U+2028/2029 and noncharacters included. No widgets; the view and the editor control sit on top.
//
// Positions are UTF-16 code-unit indexes into the stored text ("raw" positions), 0..length().
//
// Lines: CR LF, LF and a lone CR each end a line; every other character is ordinary text. There
// is always at least one line; the last line has no break. A CR at the end of one line and an LF
// at the start of the next form one CR LF break as soon as they become neighbours (and split
// again when text comes between them), so the line index always matches the text.
//
// CR LF positions: the positions that the editor control's callers count in, where every line
// break, whatever its form, counts as the two characters CR LF.
//
// Costs: an edit is O(log n + edit size) amortised for edits near each other; mapping a position to
// its line and back, and raw to CR LF positions and back, is O(log n).
class TextBuffer : public QObject
{
    Q_OBJECT
public:
    // How an edit joins the undo history.
    enum class EditKind {
        // A typed character or a deletion by Backspace/Delete: joins the step before it while the
        // user keeps typing in the same place, and starts a new step at the start of a word, after
        // a line break, or when the direction (typing, erasing) changes.
        Typing,
        // Anything else (paste, drop, replace, the editor control's SetSelText): one step of its
        // own.
        Other,
    };

    explicit TextBuffer(QObject* parent = nullptr);
    ~TextBuffer() override;

    // Replaces everything without a copy of `text`; the undo history starts afresh and the new
    // text is the clean state (isModified() false). Emits contentsChange(0, old length, new
    // length).
    void setText(QString text);
    // A copy of the whole text. Not for the typing path.
    QString text() const;
    qsizetype length() const;
    bool isEmpty() const { return length() == 0; }
    QChar at(qsizetype pos) const;
    // A copy of [pos, pos + length), clamped to the text.
    QString mid(qsizetype pos, qsizetype length) const;
    // The longest run of the stored text that starts at `pos` and lies contiguously in memory
    // (at least one character when pos < length()). Valid until the next edit. Lets searches and
    // drawing read the text in place.
    QStringView chunkAt(qsizetype pos) const;

    // Lines.
    qsizetype lineCount() const;
    // Raw position of the first character of `line` (0 <= line < lineCount()).
    qsizetype lineStart(qsizetype line) const;
    // Characters of `line` without its break.
    qsizetype lineLength(qsizetype line) const;
    // 2 for CR LF, 1 for LF or a lone CR, 0 for the last line.
    int lineBreakLength(qsizetype line) const;
    // The line that holds raw position `pos` (a position on a break belongs to the line it ends;
    // length() belongs to the last line).
    qsizetype lineAt(qsizetype pos) const;
    // A copy of the line without its break.
    QString lineText(qsizetype line) const;

    // CR LF positions.
    qsizetype crlfLength() const;
    qsizetype toCrlf(qsizetype pos) const;
    // The raw position of a CR LF position, clamped to 0..crlfLength(). A position that falls
    // inside a break (between its CR and its LF as counted) is the end of that break's line.
    qsizetype fromCrlf(qsizetype crlfPos) const;

    // Editing. Every edit emits contentsChange after the text has changed.
    // Replaces [pos, pos + removeLength) (clamped) by `insert`.
    void replace(qsizetype pos, qsizetype removeLength, const QString& insert,
                 EditKind kind = EditKind::Other);
    void insert(qsizetype pos, const QString& text, EditKind kind = EditKind::Other)
    {
        replace(pos, 0, text, kind);
    }
    void remove(qsizetype pos, qsizetype length, EditKind kind = EditKind::Other)
    {
        replace(pos, length, QString(), kind);
    }
    // Edits between begin and end undo and redo as one step. Groups nest; the outermost counts.
    void beginEditGroup();
    void endEditGroup();
    // Replaces every match of `needle` that lies wholly in [from, to) (raw positions), found left
    // to right without overlapping, compared as find() compares, by `replacement`. The new text
    // is built in one pass; the whole change is one undo step. Returns the number of
    // replacements (0: nothing changes, no step is recorded, no signal).
    qsizetype replaceAll(const QString& needle, const QString& replacement, qsizetype from,
                         qsizetype to, Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // Undo and redo. Each returns the raw position where the caret belongs afterwards (the end of
    // the text put back, or the place the text was taken from), or -1 when there was nothing to do.
    bool canUndo() const;
    bool canRedo() const;
    qsizetype undo();
    qsizetype redo();
    // The next Typing edit starts a new step (the caret moved, the view lost the focus, ...).
    void breakTyping();

    // Modified: whether the text differs from its clean state as the undo history sees it.
    // Undoing or redoing back to the clean state makes it false again.
    bool isModified() const;
    // false: the current state becomes the clean state. true: no state is clean any more.
    void setModified(bool modified);

    // First match of `needle` that lies wholly in [from, to) (raw positions, clamped), or -1.
    // A line break in the needle ("\r\n", "\n" or "\r") matches any one line break of the text;
    // other characters compare as QString::compare does with `cs`. Reads the text in place.
    qsizetype find(QStringView needle, qsizetype from, qsizetype to,
                   Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;

    // The break that Enter inserts: "\r\n" (the default) or "\n" or "\r".
    QString newline() const { return newline_; }
    void setNewline(const QString& newline) { newline_ = newline; }

signals:
    // After every change of the text: `removed` characters at `position` were replaced by `added`
    // characters (raw positions).
    void contentsChange(qsizetype position, qsizetype removed, qsizetype added);
    void modificationChanged(bool modified);
    void undoAvailable(bool available);
    void redoAvailable(bool available);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString newline_ = QStringLiteral("\r\n");
};
