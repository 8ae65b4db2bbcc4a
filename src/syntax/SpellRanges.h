#pragma once

#include "syntax/HtmlToken.h"

#include <QStringView>

#include <vector>

// Which words of an HTML page a spell checker reads: the words of the page's text (title and
// textarea included) and of the attribute values people read (alt, title, placeholder, and the
// value of a text input). Never tags, attribute names, scripts, styles, comments, character
// references, addresses (URLs, e-mail) or words with digits; single letters and words written
// all in capitals (abbreviations) are left alone too.
namespace SpellRanges {

struct Word
{
    qsizetype start;
    qsizetype length;
    bool operator==(const Word&) const = default;
};

// The words to check among `tokens` (placed in the page), whose characters are
// text[position - textStart]. A tag that starts before the tokens is not known, so its values are
// not checked: pass tokens from a little before what is wanted.
std::vector<Word> wordsIn(QStringView text, qsizetype textStart, const std::vector<Token>& tokens);

// The words of a run of readable text at text[from, to).
void addWords(QStringView text, qsizetype textStart, qsizetype from, qsizetype to,
              std::vector<Word>& words);

} // namespace SpellRanges
