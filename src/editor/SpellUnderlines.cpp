#include "editor/SpellUnderlines.h"

#include "syntax/SpellChecker.h"
#include "text/TextBuffer.h"
#include "text/TextView.h"

namespace {

// Read before what is drawn, so that a tag whose attributes are drawn is known from its name.
constexpr qsizetype contextBefore = 512;
// Read after it, so that a word cut at the right edge is read whole.
constexpr qsizetype contextAfter = 64;

} // namespace

SpellUnderlines::SpellUnderlines(TextView* view, SpellChecker& checker)
    : view_(view), checker_(checker),
      checkpoints_(
          [buffer = view->buffer()](qsizetype position, qsizetype length) {
              return buffer->mid(position, std::min(length, buffer->length() - position));
          },
          view->buffer()->length()),
      caret_(view->cursorPosition())
{
    connect(view->buffer(), &TextBuffer::contentsChange, this, &SpellUnderlines::onContentsChange);
    connect(view, &TextView::cursorPositionChanged, this, &SpellUnderlines::onCursorMoved);
}

std::vector<SpellRanges::Word> SpellUnderlines::wordsAround(qsizetype from, qsizetype to)
{
    const qsizetype length = view_->buffer()->length();
    const qsizetype readFrom = std::max<qsizetype>(0, from - contextBefore);
    const qsizetype readTo = std::min(length, to + contextAfter);
    const QString text = view_->buffer()->mid(readFrom, readTo - readFrom);
    std::vector<SpellRanges::Word> words;
    for (const SpellRanges::Word& word :
         SpellRanges::wordsIn(text, readFrom, checkpoints_.tokens(readFrom, readTo))) {
        // A word at the edge of what was read may go on beyond it.
        const bool cut = (word.start == readFrom && readFrom > 0) ||
                         (word.start + word.length == readTo && readTo < length);
        if (!cut && word.start < to && word.start + word.length > from)
            words.push_back(word);
    }
    return words;
}

QList<QTextLayout::FormatRange> SpellUnderlines::formats(qsizetype position, qsizetype length)
{
    QList<QTextLayout::FormatRange> ranges;
    if (checkpoints_.length() != view_->buffer()->length())
        return ranges; // between an edit and its notice
    QTextCharFormat misspelt;
    misspelt.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    misspelt.setUnderlineColor(Qt::red);
    for (const SpellRanges::Word& word : wordsAround(position, position + length)) {
        if (caret_ >= word.start && caret_ <= word.start + word.length)
            continue; // being typed
        const QString spelling = view_->buffer()->mid(word.start, word.length);
        if (checker_.isCorrect(spelling))
            continue;
        const qsizetype from = std::max(word.start, position);
        const qsizetype to = std::min(word.start + word.length, position + length);
        ranges.append({int(from - position), int(to - from), misspelt});
    }
    return ranges;
}

std::optional<SpellRanges::Word> SpellUnderlines::misspeltWordAt(qsizetype position)
{
    for (const SpellRanges::Word& word : wordsAround(position, position + 1)) {
        if (position >= word.start && position <= word.start + word.length &&
            !checker_.isCorrect(view_->buffer()->mid(word.start, word.length)))
            return word;
    }
    return std::nullopt;
}

void SpellUnderlines::recheck()
{
    view_->viewport()->update();
}

void SpellUnderlines::onContentsChange(qsizetype position, qsizetype removed, qsizetype added)
{
    const TextBuffer* buffer = view_->buffer();
    if (position == 0 && added == buffer->length())
        checkpoints_.reset(buffer->length());
    else
        checkpoints_.edit(position, removed, added);
}

void SpellUnderlines::onCursorMoved()
{
    // The word left behind gets its line, if it is wrong.
    const qsizetype left = caret_;
    caret_ = view_->cursorPosition();
    if (left > view_->buffer()->length())
        return;
    const QRect rect = view_->characterRect(left);
    view_->viewport()->update(0, rect.top(), view_->viewport()->width(), rect.height());
}
