#include "text/SourceEditor.h"

#include "text/StrayAltKey.h"
#include "text/TextBoundaries.h"

#include <QKeyEvent>

#include <algorithm>

SourceEditor::SourceEditor(QWidget* parent) : TextView(parent)
{
    // The document layer gives and takes text with '\n' line breaks and writes each one in the
    // file's own line-end style, so Enter types '\n' too.
    buffer()->setNewline(QStringLiteral("\n"));
}

QString SourceEditor::Text() const
{
    // Read in place, chunk by chunk, into a string of the final size.
    const TextBuffer* text = buffer();
    QString crlf;
    crlf.reserve(text->crlfLength());
    qsizetype pos = 0;
    bool pendingCr = false;
    while (pos < text->length()) {
        const QStringView chunk = text->chunkAt(pos);
        for (const QChar c : chunk) {
            if (pendingCr) {
                pendingCr = false;
                crlf += QLatin1StringView("\r\n");
                if (c == u'\n')
                    continue;
            }
            if (c == u'\r')
                pendingCr = true;
            else if (c == u'\n')
                crlf += QLatin1StringView("\r\n");
            else
                crlf += c;
        }
        pos += chunk.size();
    }
    if (pendingCr)
        crlf += QLatin1StringView("\r\n");
    return crlf;
}

int SourceEditor::TextLength() const
{
    return int(buffer()->crlfLength());
}

int SourceEditor::SelStart() const
{
    return int(buffer()->toCrlf(selectionStart()));
}

void SourceEditor::SetSelStart(int pos)
{
    setCursorPosition(buffer()->fromCrlf(pos));
}

int SourceEditor::SelLength() const
{
    return int(buffer()->toCrlf(selectionEnd()) - buffer()->toCrlf(selectionStart()));
}

void SourceEditor::SetSelLength(int length)
{
    const qsizetype start = selectionStart();
    const qsizetype end = buffer()->fromCrlf(buffer()->toCrlf(start) + std::max(length, 0));
    setSelection(start, end);
}

QString SourceEditor::SelText() const
{
    return TextBoundaries::withLineBreaks(selectedText(), u"\r\n");
}

void SourceEditor::SetSelText(const QString& text)
{
    insertPlainText(text);
}

namespace {

// How a find text appears in the buffer, whose line breaks the buffer's search matches with any
// one break of the needle: in the CR LF text a leading LF can only be the second half of a break
// and a trailing CR the first half; any other lone CR or LF never matches.
struct BufferNeedle
{
    QString text; // empty: cannot match
    bool startsInsideBreak = false;
};

BufferNeedle bufferNeedle(const QString& text)
{
    BufferNeedle needle;
    QStringView rest(text);
    if (rest.startsWith(u'\n')) {
        needle.startsInsideBreak = true;
        needle.text += QLatin1StringView("\r\n");
        rest = rest.sliced(1);
    }
    const bool endsInsideBreak = rest.endsWith(u'\r');
    if (endsInsideBreak)
        rest.chop(1);
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c == u'\r' && i + 1 < rest.size() && rest[i + 1] == u'\n') {
            needle.text += QLatin1StringView("\r\n");
            ++i;
        } else if (c == u'\r' || c == u'\n') {
            return BufferNeedle();
        } else {
            needle.text += c;
        }
    }
    if (endsInsideBreak)
        needle.text += QLatin1StringView("\r\n");
    return needle;
}

} // namespace

int SourceEditor::FindText(const QString& text, int start, int length) const
{
    const qsizetype from = std::max(start, 0);
    const qsizetype end = std::min<qsizetype>(qsizetype(start) + length, TextLength());
    if (text.isEmpty() || length <= 0 || end - from < text.size())
        return -1;
    const BufferNeedle needle = bufferNeedle(text);
    if (needle.text.isEmpty())
        return -1;
    const TextBuffer* text_ = buffer();
    const int offset = needle.startsInsideBreak ? 1 : 0;
    // Every match has the needle's length in CR LF positions, so matches end in the order they
    // start: the first one that starts in the range decides.
    qsizetype at = text_->fromCrlf(std::max<qsizetype>(from - offset, 0));
    const qsizetype rawEnd = std::min(text_->length(), text_->fromCrlf(end) + 2);
    while ((at = text_->find(needle.text, at, rawEnd)) >= 0) {
        const qsizetype matchStart = text_->toCrlf(at) + offset;
        if (matchStart >= from)
            return matchStart + text.size() <= end ? int(matchStart) : -1;
        ++at;
    }
    return -1;
}

bool SourceEditor::ReplaceAll(const QString& text, const QString& replacement)
{
    if (text.isEmpty())
        return false;
    TextBuffer* text_ = buffer();
    // A line break in the find text matches any line break; one in the replacement is typed
    // as Enter types it.
    const QString inserted = withBufferLineBreaks(replacement);
    if (text_->replaceAll(text, inserted, 0, text_->length()) == 0)
        return false;
    // The last change the buffer reported ends with the last replacement.
    setCursorPosition(lastEditEnd());
    return true;
}

void SourceEditor::LoadText(const QString& text)
{
    const bool modified = Modified();
    buffer()->setText(text);
    SetModified(modified);
    setCursorPosition(0);
}

void SourceEditor::Clear()
{
    LoadText(QString());
}

QString SourceEditor::PlainText() const
{
    return buffer()->text();
}

bool SourceEditor::Modified() const
{
    return buffer()->isModified();
}

void SourceEditor::SetModified(bool modified)
{
    buffer()->setModified(modified);
}

void SourceEditor::keyPressEvent(QKeyEvent* event)
{
    emit keyDown(event->key(), event->modifiers());
    if (isStrayAltKey(*event)) {
        event->accept(); // typed nothing, and goes no further
        return;
    }
    TextView::keyPressEvent(event);
}
