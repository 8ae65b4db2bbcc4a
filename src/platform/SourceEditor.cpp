#include "platform/SourceEditor.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// The document keeps each line break as one paragraph separator; callers count it as CR LF.
constexpr QChar blockBreak = QChar::ParagraphSeparator;

// A line at least this long keeps its shaped glyphs between layouts.
constexpr int longLine = 4096;

// One pass into a string of the final size: QString::replace with a longer text moves the tail
// once per break, which is slow on large documents.
QString withCrlfBreaks(const QString& raw, qsizetype breaks)
{
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    for (const QChar c : raw) {
        if (c == blockBreak) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

} // namespace

SourceEditor::SourceEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    setUndoRedoEnabled(true);
    applySelectionColours();
    // Only the strategy is set here, so the editor still takes every other font attribute from
    // its window.
    QFont shapingOff;
    shapingOff.setStyleStrategy(QFont::PreferNoShaping);
    setFont(shapingOff);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                searchText_.noteChange(position, removed, added);
                keepGlyphsOfLongLine(document()->findBlock(position));
            });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { keepGlyphsOfLongLine(textCursor().block()); });
}

QString SourceEditor::Text() const
{
    return withCrlfBreaks(document()->toRawText(), document()->blockCount() - 1);
}

int SourceEditor::TextLength() const
{
    const QTextDocument* doc = document();
    return (doc->characterCount() - 1) + (doc->blockCount() - 1);
}

int SourceEditor::crlfPosition(int qtPosition) const
{
    return qtPosition + document()->findBlock(qtPosition).blockNumber();
}

int SourceEditor::qtPosition(qint64 crlfPos) const
{
    const QTextDocument* doc = document();
    crlfPos = std::clamp<qint64>(crlfPos, 0, TextLength());
    // The last block whose first character lies at or before crlfPos: a block numbered n starts
    // at CR LF position position() + n, since n breaks before it count twice.
    int low = 0;
    int high = doc->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (doc->findBlockByNumber(middle).position() + middle <= crlfPos)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = doc->findBlockByNumber(low);
    const qint64 offset = crlfPos - (block.position() + low);
    // A position on the CR or between CR and LF is the end of the line.
    return block.position() + int(std::min<qint64>(offset, block.length() - 1));
}

int SourceEditor::SelStart() const
{
    return crlfPosition(textCursor().selectionStart());
}

void SourceEditor::SetSelStart(int pos)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qtPosition(pos));
    setTextCursor(cursor);
}

int SourceEditor::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return crlfPosition(cursor.selectionEnd()) - crlfPosition(cursor.selectionStart());
}

void SourceEditor::SetSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const qint64 end = qint64(crlfPosition(start)) + std::max(length, 0);
    cursor.setPosition(start);
    cursor.setPosition(qtPosition(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString SourceEditor::SelText() const
{
    const QString selected = textCursor().selectedText();
    return withCrlfBreaks(selected, selected.count(blockBreak));
}

void SourceEditor::SetSelText(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    // insertText makes one break of each "\r\n", "\n" and "\r".
    cursor.insertText(text);
    cursor.endEditBlock();
    setTextCursor(cursor);
}

namespace {

// The form in which `text` appears in the document's own characters, where a line break is one
// paragraph separator: each CR LF becomes one separator, and so do a leading LF (the second half
// of a break) and a trailing CR (the first half). Empty when `text` can never match, as a lone CR
// or LF elsewhere or a paragraph separator of its own cannot.
QString documentForm(const QString& text, bool& startsWithLf)
{
    QString form;
    form.reserve(text.size());
    startsWithLf = text.startsWith(u'\n');
    for (qsizetype i = startsWithLf ? 1 : 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool crlfPair = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        if (crlfPair)
            ++i;
        if (crlfPair || (c == u'\r' && i + 1 == text.size()))
            form += blockBreak;
        else if (c == u'\r' || c == u'\n' || c == blockBreak)
            return QString();
        else
            form += c;
    }
    return startsWithLf ? blockBreak + form : form;
}

} // namespace

int SourceEditor::FindText(const QString& text, int start, int length) const
{
    const qint64 from = std::max(start, 0);
    const qint64 end = std::min<qint64>(qint64(start) + length, TextLength());
    if (text.isEmpty() || length <= 0 || end - from < text.size())
        return -1;
    bool startsWithLf = false;
    const QString sought = documentForm(text, startsWithLf);
    if (sought.isEmpty())
        return -1;
    // A match that ends inside the range ends at or before the character after qtPosition(end).
    const QString& document = searchText();
    const QStringView searched =
        QStringView(document).first(std::min<qsizetype>(qtPosition(end) + 1, document.size()));
    // Matches come in text order; the first one that begins at or after `from` is the answer if
    // it ends inside the range, and no later one can then end inside it.
    qsizetype hit = qtPosition(std::max<qint64>(from - 1, 0));
    while ((hit = searched.indexOf(sought, hit, Qt::CaseInsensitive)) >= 0) {
        const qint64 matchStart = crlfPosition(int(hit)) + (startsWithLf ? 1 : 0);
        if (matchStart >= from)
            return matchStart + text.size() <= end ? int(matchStart) : -1;
        ++hit;
    }
    return -1;
}

const QString& SourceEditor::searchText() const
{
    // One copy of the text serves every search, so that find-next runs at the speed of a plain
    // string search; typing only notes what changed, and the next search re-reads that part.
    const QTextDocument* doc = document();
    return searchText_.text(doc->characterCount() - 1, [doc](qsizetype from, qsizetype to) {
        if (from == 0 && to == doc->characterCount() - 1)
            return doc->toRawText();
        QTextCursor range(const_cast<QTextDocument*>(doc));
        range.setPosition(int(from));
        range.setPosition(int(to), QTextCursor::KeepAnchor);
        return range.selectedText();
    });
}

void SourceEditor::LoadText(const QString& text)
{
    const bool modified = Modified();
    setPlainText(text);
    SetModified(modified);
}

void SourceEditor::Clear()
{
    LoadText(QString());
}

QString SourceEditor::PlainText() const
{
    return document()->toRawText().replace(blockBreak, u'\n');
}

bool SourceEditor::Modified() const
{
    return document()->isModified();
}

void SourceEditor::SetModified(bool modified)
{
    document()->setModified(modified);
}

void SourceEditor::SetHideSelection(bool hide)
{
    hideSelection_ = hide;
    applySelectionColours();
}

void SourceEditor::applySelectionColours()
{
    QPalette colours = palette();
    if (hideSelection_) {
        colours.setColor(QPalette::Inactive, QPalette::Highlight,
                         colours.color(QPalette::Inactive, QPalette::Base));
        colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         colours.color(QPalette::Inactive, QPalette::Text));
    } else {
        colours.setColor(QPalette::Inactive, QPalette::Highlight,
                         colours.color(QPalette::Active, QPalette::Highlight));
        colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         colours.color(QPalette::Active, QPalette::HighlightedText));
    }
    if (colours != palette())
        setPalette(colours);
}

// Qt lays out a whole line at each change of it and by default throws the shaped glyphs away
// afterwards, so that drawing the line and placing the caret shape it again, several times per
// keystroke. On a line of megabytes (minified HTML) that costs seconds per keystroke; keeping
// the glyphs of the long line being edited saves most of it. Called before the layout that
// follows a change.
void SourceEditor::keepGlyphsOfLongLine(const QTextBlock& block)
{
    if (block.isValid() && block.length() > longLine)
        block.layout()->setCacheEnabled(true);
}

void SourceEditor::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    // A new background or text colour must carry over to the hidden selection.
    if (event->type() == QEvent::PaletteChange)
        applySelectionColours();
    // Text needs no shaping for Latin and Cyrillic (no ligatures or kerning in source text), and
    // skipping it makes laying out a long line much faster; a font set later keeps that.
    if (event->type() == QEvent::FontChange && !(font().styleStrategy() & QFont::PreferNoShaping)) {
        QFont unshaped = font();
        unshaped.setStyleStrategy(
            QFont::StyleStrategy(unshaped.styleStrategy() | QFont::PreferNoShaping));
        setFont(unshaped);
    }
}

void SourceEditor::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key(), event->modifiers());
    // Shift+Enter would insert a line separator inside the line; every line break here is a
    // real one, counted and saved as CR LF.
    if (event->matches(QKeySequence::InsertLineSeparator)) {
        QKeyEvent plainEnter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                             event->text(), event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plainEnter);
        event->setAccepted(plainEnter.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
