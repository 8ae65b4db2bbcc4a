#pragma once

#include "syntax/HtmlToken.h"

#include <QStringView>

#include <vector>

// The HTML tokenizer's states as runs of token kinds, with light tokens inside script and style.
// It goes on from any saved state at any character: lexing a text in pieces gives the runs and
// the final state of lexing it whole. To decide a few constructs (`<!--`, `</script`, keywords)
// it looks up to `lookahead` characters past the end of the piece, so the caller passes that much
// of the following text when it has it.
class HtmlLexer
{
public:
    static constexpr qsizetype lookahead = 16;

    // Lexes text[0, end) from `state`, appending runs to `runs` (a run of the kind of the last one
    // extends it); text[end, text.size()) is read only to look ahead. Returns the state at `end`.
    static LexState lex(LexState state, QStringView text, qsizetype end,
                        std::vector<TokenRun>& runs);
    // The tokens of a whole text, placed in it.
    static std::vector<Token> tokens(QStringView text);
};
