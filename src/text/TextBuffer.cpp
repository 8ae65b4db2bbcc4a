// Storage: a gap buffer over the adopted QString, with a line index whose entries are kept
// absolute before its own gap and relative to the end of the text after it. A gap buffer keeps the
// text in at most two contiguous runs, so searching and drawing read it in place at the speed of a
// plain string scan, loading adopts the decoded string without a copy, and edits near each other
// (typing) cost O(1) amortised; a piece table would fragment the text into many runs and make
// every character read walk a tree. Lookups are binary searches, O(log n).
#include "text/TextBuffer.h"

#include "text/GapBuffer.h"
#include "text/LineIndex.h"
#include "text/TextMatcher.h"
#include "text/UndoHistory.h"

#include <algorithm>
#include <vector>

struct TextBuffer::Impl
{
    GapBuffer text;
    LineIndex lines;
    UndoHistory history;

    // Replaces [pos, pos + removeLength) (inside the text) and updates the line index.
    void apply(qsizetype pos, qsizetype removeLength, QStringView insert)
    {
        text.replace(pos, removeLength, insert);
        lines.update(text, pos, removeLength, insert.size());
    }
};

namespace {

// The span from the first match to the end of the last one, and its new text.
struct Rewritten
{
    qsizetype start = 0;
    qsizetype end = 0;
    QString text;
    qsizetype count = 0;
};

Rewritten rewriteMatches(const GapBuffer& text, const UndoHistory::Rewrite& rewrite)
{
    const TextMatcher matcher(rewrite.needle, rewrite.cs);
    Rewritten result;
    if (matcher.isEmpty())
        return result;
    // One pass: unchanged runs and replacements are written in order into a string that grows
    // geometrically (QString::append per piece costs more than the search).
    const qsizetype replacementSize = rewrite.replacement.size();
    const auto* replacement = reinterpret_cast<const char16_t*>(rewrite.replacement.constData());
    qsizetype used = 0;
    auto reserve = [&result, &used](qsizetype more) {
        if (used + more > result.text.size())
            result.text.resize(std::max(used + more, 2 * result.text.size() + 1024));
        return reinterpret_cast<char16_t*>(result.text.data()) + used;
    };
    qsizetype end = 0;
    qsizetype match = matcher.find(text, rewrite.from, rewrite.to, &end);
    result.start = result.end = match;
    // A match is never empty (neither is the needle), so each search moves on.
    while (match >= 0) {
        const qsizetype run = match - result.end;
        text.copyTo(reserve(run + replacementSize), result.end, run);
        std::copy_n(replacement, replacementSize,
                    reinterpret_cast<char16_t*>(result.text.data()) + used + run);
        used += run + replacementSize;
        result.end = end;
        ++result.count;
        match = matcher.find(text, end, rewrite.to, &end);
    }
    result.text.truncate(used);
    return result;
}

// What the signals report, to emit only what changed.
struct State
{
    bool modified;
    bool canUndo;
    bool canRedo;
};

State stateOf(const TextBuffer& buffer)
{
    return State{buffer.isModified(), buffer.canUndo(), buffer.canRedo()};
}

// Emits the state signals whose value differs from `before`.
void announce(TextBuffer& buffer, State before)
{
    const State now = stateOf(buffer);
    if (before.modified != now.modified)
        emit buffer.modificationChanged(now.modified);
    if (before.canUndo != now.canUndo)
        emit buffer.undoAvailable(now.canUndo);
    if (before.canRedo != now.canRedo)
        emit buffer.redoAvailable(now.canRedo);
}

} // namespace

TextBuffer::TextBuffer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->lines.build(d->text);
}

TextBuffer::~TextBuffer() = default;

void TextBuffer::setText(QString text)
{
    const State before = stateOf(*this);
    const qsizetype oldLength = length();
    d->text.adopt(std::move(text));
    d->lines.build(d->text);
    d->history.clear();
    emit contentsChange(0, oldLength, length());
    announce(*this, before);
}

QString TextBuffer::text() const
{
    return d->text.mid(0, length());
}

qsizetype TextBuffer::length() const
{
    return d->text.length();
}

QChar TextBuffer::at(qsizetype pos) const
{
    return pos >= 0 && pos < length() ? d->text.at(pos) : QChar();
}

QString TextBuffer::mid(qsizetype pos, qsizetype length) const
{
    pos = std::clamp<qsizetype>(pos, 0, this->length());
    length = std::clamp<qsizetype>(length, 0, this->length() - pos);
    return d->text.mid(pos, length);
}

QStringView TextBuffer::chunkAt(qsizetype pos) const
{
    if (pos < 0 || pos >= length())
        return QStringView();
    return d->text.chunkAt(pos);
}

qsizetype TextBuffer::lineCount() const
{
    return d->lines.lineCount();
}

qsizetype TextBuffer::lineStart(qsizetype line) const
{
    return d->lines.lineStart(std::clamp<qsizetype>(line, 0, lineCount() - 1));
}

int TextBuffer::lineBreakLength(qsizetype line) const
{
    if (line < 0 || line >= lineCount() - 1)
        return 0;
    const qsizetype next = d->lines.lineStart(line + 1);
    return next >= 2 && d->text.unit(next - 1) == u'\n' && d->text.unit(next - 2) == u'\r' ? 2 : 1;
}

qsizetype TextBuffer::lineLength(qsizetype line) const
{
    line = std::clamp<qsizetype>(line, 0, lineCount() - 1);
    const qsizetype end = line + 1 < lineCount() ? d->lines.lineStart(line + 1) : length();
    return end - d->lines.lineStart(line) - lineBreakLength(line);
}

qsizetype TextBuffer::lineAt(qsizetype pos) const
{
    return d->lines.lineAt(std::clamp<qsizetype>(pos, 0, length()));
}

QString TextBuffer::lineText(qsizetype line) const
{
    return mid(lineStart(line), lineLength(line));
}

qsizetype TextBuffer::crlfLength() const
{
    return d->lines.crlfLength();
}

qsizetype TextBuffer::toCrlf(qsizetype pos) const
{
    pos = std::clamp<qsizetype>(pos, 0, length());
    const qsizetype line = d->lines.lineAt(pos);
    return d->lines.crlfLineStart(line) + (pos - d->lines.lineStart(line));
}

qsizetype TextBuffer::fromCrlf(qsizetype crlfPos) const
{
    crlfPos = std::clamp<qsizetype>(crlfPos, 0, crlfLength());
    const qsizetype line = d->lines.lineAtCrlf(crlfPos);
    const qsizetype offset = crlfPos - d->lines.crlfLineStart(line);
    return d->lines.lineStart(line) + std::min(offset, lineLength(line));
}

void TextBuffer::replace(qsizetype pos, qsizetype removeLength, const QString& insert,
                         EditKind kind)
{
    pos = std::clamp<qsizetype>(pos, 0, length());
    removeLength = std::clamp<qsizetype>(removeLength, 0, length() - pos);
    if (removeLength == 0 && insert.isEmpty())
        return;
    const State before = stateOf(*this);
    // Text that borrows the buffer's own characters (QString::fromRawData over a chunk) would
    // move under the edit and dangle in the history; it gets a copy.
    const QString owned =
        d->text.holds(insert.constData()) ? QString(insert.constData(), insert.size()) : insert;
    UndoHistory::Edit edit{pos, d->text.mid(pos, removeLength), owned, nullptr};
    d->apply(pos, removeLength, owned);
    d->history.add(std::move(edit), kind == EditKind::Typing);
    emit contentsChange(pos, removeLength, insert.size());
    announce(*this, before);
}

void TextBuffer::beginEditGroup()
{
    d->history.beginGroup();
}

void TextBuffer::endEditGroup()
{
    d->history.endGroup();
}

qsizetype TextBuffer::replaceAll(const QString& needle, const QString& replacement, qsizetype from,
                                 qsizetype to, Qt::CaseSensitivity cs)
{
    from = std::clamp<qsizetype>(from, 0, length());
    to = std::clamp<qsizetype>(to, from, length());
    auto rewrite = std::make_shared<UndoHistory::Rewrite>(
        UndoHistory::Rewrite{needle, replacement, from, to, cs, 0});
    const Rewritten span = rewriteMatches(d->text, *rewrite);
    if (span.count == 0)
        return 0;
    const State before = stateOf(*this);
    rewrite->insertedSize = span.text.size();
    UndoHistory::Edit edit{span.start, d->text.mid(span.start, span.end - span.start), QString(),
                           std::move(rewrite)};
    d->apply(span.start, span.end - span.start, span.text);
    d->history.add(std::move(edit), false);
    emit contentsChange(span.start, span.end - span.start, span.text.size());
    announce(*this, before);
    return span.count;
}

bool TextBuffer::canUndo() const
{
    return d->history.canUndo();
}

bool TextBuffer::canRedo() const
{
    return d->history.canRedo();
}

qsizetype TextBuffer::undo()
{
    if (!canUndo())
        return -1;
    const State before = stateOf(*this);
    // A copy (the texts are shared, not copied): a slot of contentsChange may edit and so drop
    // the step from the history.
    const UndoHistory::Step step = d->history.undo();
    qsizetype caret = -1;
    for (auto edit = step.edits.rbegin(); edit != step.edits.rend(); ++edit) {
        d->apply(edit->pos, edit->insertedSize(), edit->removed);
        emit contentsChange(edit->pos, edit->insertedSize(), edit->removed.size());
        caret = edit->pos + edit->removed.size();
    }
    announce(*this, before);
    return caret;
}

qsizetype TextBuffer::redo()
{
    if (!canRedo())
        return -1;
    const State before = stateOf(*this);
    const UndoHistory::Step step = d->history.redo();
    qsizetype caret = -1;
    for (const UndoHistory::Edit& edit : step.edits) {
        if (edit.rewrite) {
            // The text is as it was before Replace All, so the same search finds the same span.
            const Rewritten span = rewriteMatches(d->text, *edit.rewrite);
            d->apply(span.start, span.end - span.start, span.text);
        } else {
            d->apply(edit.pos, edit.removed.size(), edit.inserted);
        }
        emit contentsChange(edit.pos, edit.removed.size(), edit.insertedSize());
        caret = edit.pos + edit.insertedSize();
    }
    announce(*this, before);
    return caret;
}

void TextBuffer::breakTyping()
{
    d->history.breakTyping();
}

bool TextBuffer::isModified() const
{
    return d->history.isModified();
}

void TextBuffer::setModified(bool modified)
{
    const State before = stateOf(*this);
    d->history.setModified(modified);
    announce(*this, before);
}

qsizetype TextBuffer::find(QStringView needle, qsizetype from, qsizetype to,
                           Qt::CaseSensitivity cs) const
{
    return TextMatcher(needle, cs).find(d->text, from, to, nullptr);
}
