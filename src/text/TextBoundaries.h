#pragma once

#include <QString>
#include <QStringView>

class TextBuffer;

// Character, word and line boundaries of the text in a buffer, and line-break conversion: what
// the text means, apart from how it is drawn. Positions are the buffer's raw positions. Words
// are runs of letters, digits, marks and '_'; a run of other visible characters (punctuation)
// is a word of its own for moving and deleting by words.
namespace TextBoundaries {

// Whether `c` is one of the characters of a line break ('\r' or '\n').
constexpr bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}
inline bool isLineBreak(QChar c)
{
    return isLineBreak(c.unicode());
}
bool isWordCharacter(QChar c);

// The line of `position`; its column in that line through `column` when not null.
qsizetype lineOf(const TextBuffer& buffer, qsizetype position, qsizetype* column = nullptr);
// Where `line`'s text ends (before its break).
qsizetype lineEnd(const TextBuffer& buffer, qsizetype line);
// Where the line after `line` starts (the end of the text after the last line).
qsizetype nextLineStart(const TextBuffer& buffer, qsizetype line);
// `position` within the text and never between the CR and the LF of a break.
qsizetype clampPosition(const TextBuffer& buffer, qsizetype position);

// The caret positions around `position`: grapheme cluster boundaries, a line break as a whole.
qsizetype previousCharacter(const TextBuffer& buffer, qsizetype position);
qsizetype nextCharacter(const TextBuffer& buffer, qsizetype position);
// Where moving a word back stops: the start of the word or run of punctuation before
// `position`, past the spaces before it; the reverse of nextWordStart.
qsizetype previousWordStart(const TextBuffer& buffer, qsizetype position);
// Where moving a word on stops: past the word or punctuation at `position` and the spaces after.
qsizetype nextWordStart(const TextBuffer& buffer, qsizetype position);
// The start and end of the word under `position` (`position` itself off a word; wordEndAt
// steps one character there).
qsizetype wordStartAt(const TextBuffer& buffer, qsizetype position);
qsizetype wordEndAt(const TextBuffer& buffer, qsizetype position);

// `text` with each of its line breaks (CR LF, LF or a lone CR) as `newline`.
QString withLineBreaks(QStringView text, QStringView newline);

} // namespace TextBoundaries
