#pragma once

#include <QtGlobal>

#include <vector>

// What a run of characters of an HTML page is, as the highlighter colours it.
enum class TokenKind : quint8 {
    Text,               // the page's text (also the text of title and textarea)
    CharacterReference, // &amp; &#1078; &#x416;
    TagBracket,         // < </ > /> = and the spaces between attributes
    TagName,
    AttributeName,
    AttributeValue, // quotes included
    Comment,
    Doctype, // <!DOCTYPE …> and other <! … > declarations
    CData,
    Template, // <?php … ?>, <% … %>, {{ … }}
    ScriptCode,
    ScriptKeyword,
    ScriptString,
    ScriptNumber,
    ScriptComment,
    ScriptRegex,
    StyleSelector,
    StyleProperty,
    StyleValue,
    StyleString,
    StyleComment,
    StyleAtRule,
};
inline constexpr int tokenKindCount = int(TokenKind::StyleAtRule) + 1;

// A run of characters of one kind.
struct TokenRun
{
    TokenKind kind;
    qsizetype length;
    bool operator==(const TokenRun&) const = default;
};

// A run placed in the text.
struct Token
{
    qsizetype start;
    qsizetype length;
    TokenKind kind;
    bool operator==(const Token&) const = default;
};

// Where the lexer is: enough to go on from any character of the page. Small and comparable, so
// that a saved state can be checked against a fresh one.
struct LexState
{
    enum class Mode : quint8 {
        Text,
        RawText, // title, textarea: text up to the element's end tag
        CharacterReference,
        TagName,
        BeforeAttribute,
        AttributeName,
        AfterAttributeName,
        BeforeValue,
        ValueDoubleQuoted,
        ValueSingleQuoted,
        ValueUnquoted,
        Comment,
        Doctype,
        CData,
        Template,
        Script,
        ScriptIdentifier,
        ScriptNumber,
        ScriptString,
        ScriptLineComment,
        ScriptBlockComment,
        ScriptRegex,
        ScriptRegexFlags,
        StyleSelector,
        StyleProperty,
        StyleValue,
        StyleString,
        StyleComment,
        StyleAtRule,
    };
    // The element whose raw text follows (in a start tag) or is being read.
    enum class Element : quint8 { None, Script, Style, Textarea, Title };

    Mode mode = Mode::Text;
    Mode back = Mode::Text; // where a reference, template block, string or comment returns
    Element element = Element::None;
    TokenKind pendingKind = TokenKind::Text;
    quint8 pending = 0;     // characters already recognised as `pendingKind`, still to emit
    quint8 flags = 0;       // per mode: escape, star, regular expression allowed, …
    char16_t quote = 0;     // a string's quote; a template block's closing character
    quint8 count = 0;       // dashes or brackets seen at the end of a comment or CDATA
    quint8 depth = 0;       // braces open in a style sheet
    quint16 ruleBlocks = 0; // style: bit d set when the block at depth d holds rules

    bool operator==(const LexState&) const = default;
};
