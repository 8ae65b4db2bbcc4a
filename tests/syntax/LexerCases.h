#pragma once

#include "syntax/HtmlLexer.h"

#include <QString>

#include <ostream>
#include <random>
#include <vector>

// Runs of the lexer as kinds and the text they cover, for readable expectations.
struct Piece
{
    TokenKind kind;
    QString text;
    bool operator==(const Piece&) const = default;
};

inline const char* kindName(TokenKind kind)
{
    static const char* const names[] = {
        "Text",          "CharacterReference", "TagBracket",    "TagName",
        "AttributeName", "AttributeValue",     "Comment",       "Doctype",
        "CData",         "Template",           "ScriptCode",    "ScriptKeyword",
        "ScriptString",  "ScriptNumber",       "ScriptComment", "ScriptRegex",
        "StyleSelector", "StyleProperty",      "StyleValue",    "StyleString",
        "StyleComment",  "StyleAtRule"};
    return names[int(kind)];
}

inline void PrintTo(const Piece& piece, std::ostream* out)
{
    *out << kindName(piece.kind) << ' ';
    PrintTo(piece.text, out);
}

inline std::vector<Piece> piecesOf(const QString& text, const std::vector<TokenRun>& runs)
{
    std::vector<Piece> pieces;
    qsizetype at = 0;
    for (const TokenRun& run : runs) {
        pieces.push_back({run.kind, text.mid(at, run.length)});
        at += run.length;
    }
    return pieces;
}

inline std::vector<TokenRun> lexWhole(const QString& text, LexState* end = nullptr)
{
    std::vector<TokenRun> runs;
    const LexState state = HtmlLexer::lex(LexState(), text, text.size(), runs);
    if (end)
        *end = state;
    return runs;
}

// A random page from fragments that reach every state, cut anywhere (so that constructs are also
// left open), with non-ASCII text and every kind of line break.
inline QString randomPage(std::mt19937& random, int fragments)
{
    static const char* const pieces[] = {"<p class=\"a\">",
                                         "</p>",
                                         "Привет, мир ",
                                         "&amp;",
                                         "&#x416;",
                                         "& ",
                                         "<br/>",
                                         "<!-- c -->",
                                         "<!-->",
                                         "<!DOCTYPE html>",
                                         "<![CDATA[ x ]]>",
                                         "<?php echo $a; ?>",
                                         "<% b %>",
                                         "{{ c }}",
                                         "<script>",
                                         "</script>",
                                         "var x = 'str' + \"q\" + `t`; ",
                                         "if (a < b) return /re[/]x/g; ",
                                         "y = a / 2; // note\n",
                                         "// a<b ",
                                         "/* block */",
                                         "<style>",
                                         "</style>",
                                         "@media screen { ",
                                         "a:hover { color: red; } ",
                                         "} ",
                                         "p { margin: 0 \"s\" } ",
                                         "<textarea>",
                                         "</textarea>",
                                         "<title>",
                                         "</title>",
                                         "<a href='x' title=y disabled>",
                                         "<img src={{u}} alt=\"k\">",
                                         "\r\n",
                                         "\n",
                                         "\r",
                                         "\t",
                                         "<",
                                         ">",
                                         "/",
                                         "\"",
                                         "'",
                                         "=",
                                         "{",
                                         "}",
                                         "-",
                                         "]",
                                         "?",
                                         "%",
                                         "<SCRIPT type=module>",
                                         "</ScRiPt >",
                                         "<b",
                                         "</",
                                         "0x1F 3.5e2 "};
    QString page;
    std::uniform_int_distribution<int> pick(0, int(std::size(pieces)) - 1);
    for (int k = 0; k < fragments; ++k)
        page += QString::fromUtf8(pieces[pick(random)]);
    return page;
}
