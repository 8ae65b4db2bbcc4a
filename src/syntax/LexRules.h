#pragma once

#include "syntax/HtmlToken.h"

#include <QLatin1StringView>
#include <QStringView>

#include <array>

// Character classes and short look-aheads of the HTML lexer.
namespace LexRules {

using namespace Qt::Literals::StringLiterals;

inline bool isAsciiLetter(char16_t c)
{
    return (c | 0x20) >= u'a' && (c | 0x20) <= u'z';
}
inline bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}
inline bool isAsciiLetterOrDigit(char16_t c)
{
    return isAsciiLetter(c) || isAsciiDigit(c);
}
inline bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r';
}
inline bool isSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}
// Script identifiers: ASCII letters, digits, _ and $, and every character past ASCII.
inline bool isIdentifierStart(char16_t c)
{
    return isAsciiLetter(c) || c == u'_' || c == u'$' || c >= 0x80;
}
inline bool isIdentifierPart(char16_t c)
{
    return isIdentifierStart(c) || isAsciiDigit(c);
}
// What ends a run of selector, property or value text in a style sheet.
inline bool isStyleBreak(char16_t c)
{
    switch (c) {
    case u'@':
    case u'{':
    case u'}':
    case u';':
    case u':':
    case u'/':
    case u'"':
    case u'\'':
    case u'<':
        return true;
    default:
        return false;
    }
}
// After '&': a named or numeric character reference starts.
inline bool startsReference(char16_t c)
{
    return isAsciiLetter(c) || c == u'#';
}

// `word` (lower-case ASCII) at text[k], in any case.
inline bool startsWith(QStringView text, qsizetype k, QLatin1StringView word)
{
    if (k < 0 || k + word.size() > text.size())
        return false;
    for (qsizetype j = 0; j < word.size(); ++j) {
        char16_t c = text[k + j].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c | 0x20);
        if (c != char16_t(word[j].unicode()))
            return false;
    }
    return true;
}

// A tag name ends at a space, '/', '>' or the end of the text.
inline bool nameEndsAt(QStringView text, qsizetype k)
{
    return k >= text.size() || isSpace(text[k].unicode()) || text[k] == u'/' || text[k] == u'>';
}

// The raw-text element whose name starts at text[k] (None for any other name).
inline LexState::Element elementAt(QStringView text, qsizetype k)
{
    using Element = LexState::Element;
    static const std::array<std::pair<QLatin1StringView, Element>, 4> names{{
        {QLatin1StringView("script"), Element::Script},
        {QLatin1StringView("style"), Element::Style},
        {QLatin1StringView("textarea"), Element::Textarea},
        {QLatin1StringView("title"), Element::Title},
    }};
    for (const auto& [name, element] : names) {
        if (startsWith(text, k, name) && nameEndsAt(text, k + name.size()))
            return element;
    }
    return Element::None;
}

struct KeywordMatch
{
    qsizetype length = 0;       // 0: not a keyword
    bool operandFollows = true; // a '/' after it starts a regular expression
};

// `word` is `keyword` (ASCII), compared inline: this runs for every identifier of a script.
inline bool isWord(QStringView word, QLatin1StringView keyword)
{
    if (word.size() != keyword.size())
        return false;
    for (qsizetype j = 0; j < word.size(); ++j) {
        if (word[j].unicode() != char16_t(keyword[j].unicode()))
            return false;
    }
    return true;
}

// A script keyword that starts at text[k] and is a whole word.
inline KeywordMatch keywordAt(QStringView text, qsizetype k)
{
    static const std::array<QLatin1StringView, 45> operandKeywords{
        "break"_L1,    "case"_L1,       "catch"_L1,    "class"_L1,    "const"_L1,  "continue"_L1,
        "debugger"_L1, "default"_L1,    "delete"_L1,   "do"_L1,       "else"_L1,   "export"_L1,
        "extends"_L1,  "finally"_L1,    "for"_L1,      "function"_L1, "if"_L1,     "import"_L1,
        "in"_L1,       "instanceof"_L1, "let"_L1,      "new"_L1,      "return"_L1, "switch"_L1,
        "throw"_L1,    "try"_L1,        "typeof"_L1,   "var"_L1,      "void"_L1,   "while"_L1,
        "with"_L1,     "yield"_L1,      "async"_L1,    "await"_L1,    "of"_L1,     "static"_L1,
        "get"_L1,      "set"_L1,        "from"_L1,     "as"_L1,       "enum"_L1,   "package"_L1,
        "private"_L1,  "public"_L1,     "interface"_L1};
    static const std::array<QLatin1StringView, 6> valueKeywords{
        "this"_L1, "super"_L1, "null"_L1, "true"_L1, "false"_L1, "undefined"_L1};
    qsizetype length = 0;
    while (length <= 10 && k + length < text.size() && isIdentifierPart(text[k + length].unicode()))
        ++length;
    // Keywords are 2 to 10 lower-case letters long.
    if (length < 2 || length > 10 || text[k].unicode() < u'a' || text[k].unicode() > u'z')
        return {};
    const QStringView word = text.sliced(k, length);
    for (QLatin1StringView keyword : operandKeywords) {
        if (isWord(word, keyword))
            return {length, true};
    }
    for (QLatin1StringView keyword : valueKeywords) {
        if (isWord(word, keyword))
            return {length, false};
    }
    return {};
}

// The at-rule whose name starts at text[k] holds rules in its block (not declarations).
inline bool atRuleHoldsRules(QStringView text, qsizetype k)
{
    for (QLatin1StringView name : {"media"_L1, "supports"_L1, "container"_L1, "layer"_L1,
                                   "document"_L1, "-moz-document"_L1, "scope"_L1})
        if (startsWith(text, k, name))
            return true;
    return false;
}

} // namespace LexRules
