#include "syntax/HtmlLexer.h"

#include "syntax/LexRules.h"

#include <algorithm>

namespace {

using Mode = LexState::Mode;
using Element = LexState::Element;
using K = TokenKind;
using namespace LexRules;

// Flags of the script and style modes.
constexpr quint8 escapeFlag = 1;        // the last character was a backslash
constexpr quint8 starFlag = 2;          // a block comment's last character was '*'
constexpr quint8 regexAllowedFlag = 4;  // a '/' here starts a regular expression
constexpr quint8 classFlag = 8;         // inside a regular expression's [ … ]
constexpr quint8 closingFlag = 16;      // a template block's first closing character was seen
constexpr quint8 preludeFlag = 32;      // style: after an at-rule's name, before its { or ;
constexpr quint8 rulesPreludeFlag = 64; // style: that at-rule's block holds rules

// Steps in a row that may change the mode without reading a character.
constexpr int maxIdleSteps = 4;

class Lexer
{
public:
    Lexer(LexState& state, QStringView text, qsizetype end, std::vector<TokenRun>& runs)
        : s(state), text_(text), end_(end), runs_(runs)
    {}

    void run()
    {
        int idleSteps = 0;
        while (i < end_) {
            if (s.pending > 0) {
                const qsizetype n = std::min<qsizetype>(s.pending, end_ - i);
                put(s.pendingKind, n);
                s.pending = quint8(s.pending - n);
                continue;
            }
            const qsizetype before = i;
            step();
            // A step that reads nothing only changes the mode, and a few such steps in a row
            // always reach one that reads. Should a rule ever fail to, the character is let
            // through as text rather than the editor hanging on it.
            idleSteps = i == before ? idleSteps + 1 : 0;
            if (idleSteps > maxIdleSteps) {
                Q_ASSERT_X(false, "HtmlLexer", "no progress");
                put(K::Text, 1);
                idleSteps = 0;
            }
        }
    }

private:
    char16_t at(qsizetype k) const { return k < text_.size() ? text_[k].unicode() : 0; }
    bool startsWith(qsizetype k, QLatin1StringView word) const
    {
        return LexRules::startsWith(text_, k, word);
    }

    // Called for nearly every character: kept inline, with the rare growth of the runs apart.
    [[gnu::always_inline]] void put(K kind, qsizetype n)
    {
        if (!runs_.empty() && runs_.back().kind == kind)
            runs_.back().length += n;
        else
            newRun(kind, n);
        i += n;
    }
    [[gnu::noinline]] void newRun(K kind, qsizetype n) { runs_.push_back({kind, n}); }
    // Emits `n` characters of `kind`: those past the end of the piece are left pending.
    void take(K kind, qsizetype n)
    {
        const qsizetype now = std::min(n, end_ - i);
        put(kind, now);
        s.pendingKind = kind;
        s.pending = quint8(n - now);
    }
    // Emits the characters from i up to the first one `stop` accepts (or the end of the piece).
    template <typename Stop> void scan(K kind, Stop stop)
    {
        qsizetype j = i;
        while (j < end_ && !stop(text_[j].unicode()))
            ++j;
        if (j > i)
            put(kind, j - i);
    }

    void step()
    {
        switch (s.mode) {
        case Mode::Text:
        case Mode::RawText:
            text();
            break;
        case Mode::CharacterReference:
            characterReference();
            break;
        case Mode::TagName:
        case Mode::BeforeAttribute:
        case Mode::AttributeName:
        case Mode::AfterAttributeName:
        case Mode::BeforeValue:
        case Mode::ValueUnquoted:
            tag();
            break;
        case Mode::ValueDoubleQuoted:
        case Mode::ValueSingleQuoted:
            quotedValue();
            break;
        case Mode::Comment:
            comment();
            break;
        case Mode::Doctype:
            if (at(i) == u'>')
                s.mode = Mode::Text;
            put(K::Doctype, 1);
            break;
        case Mode::CData:
            cdata();
            break;
        case Mode::Template:
            templateBlock();
            break;
        case Mode::Script:
        case Mode::ScriptIdentifier:
        case Mode::ScriptNumber:
        case Mode::ScriptString:
        case Mode::ScriptLineComment:
        case Mode::ScriptBlockComment:
        case Mode::ScriptRegex:
        case Mode::ScriptRegexFlags:
            script();
            break;
        default:
            style();
            break;
        }
    }

    // --- Markup ---------------------------------------------------------------------------

    // A template block (`<?`, `<%`, `{{`) at i, returning to the current mode.
    bool templateOpens()
    {
        const char16_t c = at(i);
        const char16_t next = at(i + 1);
        char16_t closer = 0;
        if (c == u'<' && (next == u'?' || next == u'%'))
            closer = next;
        else if (c == u'{' && next == u'{')
            closer = u'}';
        if (!closer)
            return false;
        s.back = s.mode;
        s.mode = Mode::Template;
        s.quote = closer;
        s.flags = 0;
        take(K::Template, 2);
        return true;
    }

    // An end tag of the raw-text element at i: `</name` followed by a space, '/' or '>'.
    bool rawTextEnds()
    {
        if (at(i) != u'<' || at(i + 1) != u'/' || elementAt(text_, i + 2) != s.element)
            return false;
        s.mode = Mode::TagName;
        s.element = Element::None;
        s.flags = 0;
        take(K::TagBracket, 2);
        return true;
    }

    void text()
    {
        const char16_t c = at(i);
        if (c == u'<') {
            if (s.mode == Mode::RawText) {
                if (!rawTextEnds())
                    put(K::Text, 1);
                return;
            }
            markupOpen();
            return;
        }
        if (c == u'&' && startsReference(at(i + 1))) {
            s.back = s.mode;
            s.mode = Mode::CharacterReference;
            put(K::CharacterReference, 1);
            return;
        }
        if (c == u'{' && templateOpens())
            return;
        if (c == u'&' || c == u'{') {
            put(K::Text, 1);
            return;
        }
        scan(K::Text, [](char16_t ch) { return ch == u'<' || ch == u'&' || ch == u'{'; });
    }

    void markupOpen()
    {
        const char16_t next = at(i + 1);
        if (next == u'!') {
            if (startsWith(i + 2, QLatin1StringView("--"))) {
                s.mode = Mode::Comment;
                s.count = 2; // so that <!--> and <!---> end at once, as in browsers
                take(K::Comment, 4);
            } else if (startsWith(i + 2, QLatin1StringView("[cdata["))) {
                s.mode = Mode::CData;
                s.count = 0;
                take(K::CData, 9);
            } else {
                s.mode = Mode::Doctype;
                take(K::Doctype, 2);
            }
            return;
        }
        if (templateOpens())
            return;
        if (next == u'/' && isAsciiLetter(at(i + 2))) {
            s.mode = Mode::TagName;
            s.element = Element::None;
            take(K::TagBracket, 2);
            return;
        }
        if (isAsciiLetter(next)) {
            s.mode = Mode::TagName;
            s.element = elementAt(text_, i + 1);
            put(K::TagBracket, 1);
            return;
        }
        put(K::Text, 1);
    }

    void characterReference()
    {
        const char16_t c = at(i);
        if (isAsciiLetterOrDigit(c) || c == u'#') {
            scan(K::CharacterReference,
                 [](char16_t ch) { return !isAsciiLetterOrDigit(ch) && ch != u'#'; });
            return;
        }
        s.mode = s.back;
        if (c == u';')
            put(K::CharacterReference, 1);
    }

    // The tag's end: raw text for script, style, textarea and title, else text.
    void closeTag(qsizetype length)
    {
        switch (s.element) {
        case Element::Script:
            s.mode = Mode::Script;
            s.flags = regexAllowedFlag;
            break;
        case Element::Style:
            s.mode = Mode::StyleSelector;
            s.flags = 0;
            s.depth = 0;
            s.ruleBlocks = 0;
            break;
        case Element::Textarea:
        case Element::Title:
            s.mode = Mode::RawText;
            break;
        case Element::None:
            s.mode = Mode::Text;
            break;
        }
        take(K::TagBracket, length);
    }

    void tag()
    {
        const char16_t c = at(i);
        if (c == u'>') {
            closeTag(1);
            return;
        }
        if (c == u'/' && s.mode != Mode::ValueUnquoted && s.mode != Mode::BeforeValue) {
            if (at(i + 1) == u'>') {
                closeTag(2);
                return;
            }
            s.mode = Mode::BeforeAttribute;
            put(K::TagBracket, 1);
            return;
        }
        if (isSpace(c)) {
            if (s.mode == Mode::TagName || s.mode == Mode::ValueUnquoted)
                s.mode = Mode::BeforeAttribute;
            else if (s.mode == Mode::AttributeName)
                s.mode = Mode::AfterAttributeName;
            scan(K::TagBracket, [](char16_t ch) { return !isSpace(ch); });
            return;
        }
        switch (s.mode) {
        case Mode::TagName:
            scan(K::TagName, [](char16_t ch) { return isSpace(ch) || ch == u'/' || ch == u'>'; });
            return;
        case Mode::ValueUnquoted:
            if (templateOpens())
                return;
            scan(K::AttributeValue,
                 [](char16_t ch) { return isSpace(ch) || ch == u'>' || ch == u'<' || ch == u'{'; });
            if (i < end_ && (at(i) == u'<' || at(i) == u'{') && !templateOpens())
                put(K::AttributeValue, 1);
            return;
        case Mode::BeforeValue:
            if (c == u'"' || c == u'\'') {
                s.mode = c == u'"' ? Mode::ValueDoubleQuoted : Mode::ValueSingleQuoted;
                put(K::AttributeValue, 1);
            } else {
                s.mode = Mode::ValueUnquoted;
            }
            return;
        default:
            break;
        }
        // Before, in or after an attribute's name.
        if (c == u'=' && s.mode != Mode::BeforeAttribute) {
            s.mode = Mode::BeforeValue;
            put(K::TagBracket, 1);
            return;
        }
        if (s.mode != Mode::AttributeName && templateOpens())
            return;
        s.mode = Mode::AttributeName;
        put(K::AttributeName, 1);
        scan(K::AttributeName,
             [](char16_t ch) { return isSpace(ch) || ch == u'/' || ch == u'>' || ch == u'='; });
    }

    void quotedValue()
    {
        const char16_t quote = s.mode == Mode::ValueDoubleQuoted ? u'"' : u'\'';
        const char16_t c = at(i);
        if (c == quote) {
            s.mode = Mode::BeforeAttribute;
            put(K::AttributeValue, 1);
            return;
        }
        if ((c == u'<' || c == u'{') && templateOpens())
            return;
        if (c == u'<' || c == u'{') {
            put(K::AttributeValue, 1);
            return;
        }
        scan(K::AttributeValue,
             [quote](char16_t ch) { return ch == quote || ch == u'<' || ch == u'{'; });
    }

    void comment()
    {
        const char16_t c = at(i);
        if (c == u'-') {
            s.count = quint8(std::min(s.count + 1, 2));
        } else if (c == u'>' && s.count == 2) {
            s.mode = Mode::Text;
        } else {
            s.count = 0;
            put(K::Comment, 1);
            scan(K::Comment, [](char16_t ch) { return ch == u'-' || ch == u'>'; });
            return;
        }
        put(K::Comment, 1);
    }

    void cdata()
    {
        const char16_t c = at(i);
        if (c == u']')
            s.count = quint8(std::min(s.count + 1, 2));
        else if (c == u'>' && s.count == 2)
            s.mode = Mode::Text;
        else
            s.count = 0;
        put(K::CData, 1);
    }

    void templateBlock()
    {
        const char16_t c = at(i);
        const char16_t last = s.quote == u'}' ? u'}' : u'>';
        if ((s.flags & closingFlag) && c == last) {
            s.mode = s.back;
            s.flags = 0;
        } else if (c == s.quote) {
            s.flags = closingFlag;
        } else {
            s.flags = 0;
        }
        put(K::Template, 1);
    }

    // --- Script ---------------------------------------------------------------------------

    void leaveScriptPart(bool regexAllowed)
    {
        s.mode = Mode::Script;
        s.flags = regexAllowed ? regexAllowedFlag : 0;
    }

    void script()
    {
        const char16_t c = at(i);
        // The HTML tokenizer ends the script at its end tag wherever it stands.
        if (c == u'<' && rawTextEnds())
            return;
        switch (s.mode) {
        case Mode::ScriptIdentifier:
            if (isIdentifierPart(c))
                return scan(K::ScriptCode, [](char16_t ch) { return !isIdentifierPart(ch); });
            return leaveScriptPart(false);
        case Mode::ScriptNumber:
            if (isIdentifierPart(c) || c == u'.')
                return scan(K::ScriptNumber,
                            [](char16_t ch) { return !isIdentifierPart(ch) && ch != u'.'; });
            return leaveScriptPart(false);
        case Mode::ScriptString:
            return scriptString(c);
        case Mode::ScriptLineComment:
            if (isLineBreak(c))
                return leaveScriptPart(true);
            // A '<' that does not end the script (checked above) is part of the comment.
            put(K::ScriptComment, 1);
            return scan(K::ScriptComment,
                        [](char16_t ch) { return isLineBreak(ch) || ch == u'<'; });
        case Mode::ScriptBlockComment:
            if ((s.flags & starFlag) && c == u'/') {
                put(K::ScriptComment, 1);
                return leaveScriptPart(true);
            }
            s.flags = c == u'*' ? starFlag : 0;
            return put(K::ScriptComment, 1);
        case Mode::ScriptRegex:
            return scriptRegex(c);
        case Mode::ScriptRegexFlags:
            if (isAsciiLetter(c))
                return put(K::ScriptRegex, 1);
            return leaveScriptPart(false);
        default:
            return scriptCode(c);
        }
    }

    void scriptCode(char16_t c)
    {
        if (isSpace(c))
            return scan(K::ScriptCode, [](char16_t ch) { return !isSpace(ch) || ch == u'<'; });
        if (isIdentifierStart(c)) {
            const KeywordMatch keyword = keywordAt(text_, i);
            if (keyword.length > 0) {
                s.flags = keyword.operandFollows ? regexAllowedFlag : 0;
                return take(K::ScriptKeyword, keyword.length);
            }
            s.mode = Mode::ScriptIdentifier;
            return put(K::ScriptCode, 1);
        }
        if (isAsciiDigit(c) || (c == u'.' && isAsciiDigit(at(i + 1)))) {
            s.mode = Mode::ScriptNumber;
            return put(K::ScriptNumber, 1);
        }
        if (c == u'"' || c == u'\'' || c == u'`') {
            s.mode = Mode::ScriptString;
            s.quote = c;
            s.flags = 0;
            return put(K::ScriptString, 1);
        }
        // "</" that is not the script's end tag: "</b>" written in code, not a regular expression.
        if (c == u'<' && at(i + 1) == u'/') {
            s.flags = regexAllowedFlag;
            return take(K::ScriptCode, 2);
        }
        if (c == u'/') {
            const char16_t next = at(i + 1);
            if (next == u'/' || next == u'*') {
                s.mode = next == u'/' ? Mode::ScriptLineComment : Mode::ScriptBlockComment;
                s.flags = 0;
                return take(K::ScriptComment, 2);
            }
            if (s.flags & regexAllowedFlag) {
                s.mode = Mode::ScriptRegex;
                s.flags = 0;
                return put(K::ScriptRegex, 1);
            }
        }
        // After a closing bracket comes an operator; after any other punctuation an operand.
        s.flags = (c == u')' || c == u']') ? 0 : regexAllowedFlag;
        put(K::ScriptCode, 1);
    }

    void scriptString(char16_t c)
    {
        if (s.flags & escapeFlag) {
            s.flags = 0;
            return put(K::ScriptString, 1);
        }
        if (c == u'\\') {
            s.flags = escapeFlag;
            return put(K::ScriptString, 1);
        }
        if (c == s.quote) {
            put(K::ScriptString, 1);
            return leaveScriptPart(false);
        }
        // A line break ends a quoted string that was left open (never a template literal).
        if (isLineBreak(c) && s.quote != u'`')
            return leaveScriptPart(true);
        const char16_t quote = s.quote;
        scan(K::ScriptString, [quote](char16_t ch) {
            return ch == quote || ch == u'\\' || ch == u'<' || isLineBreak(ch);
        });
        if (i < end_ && at(i) == u'<' && !rawTextEnds())
            put(K::ScriptString, 1);
    }

    void scriptRegex(char16_t c)
    {
        if (isLineBreak(c))
            return leaveScriptPart(true);
        if (s.flags & escapeFlag) {
            s.flags &= quint8(~escapeFlag);
        } else if (c == u'\\') {
            s.flags |= escapeFlag;
        } else if (c == u'[') {
            s.flags |= classFlag;
        } else if (c == u']') {
            s.flags &= quint8(~classFlag);
        } else if (c == u'/' && !(s.flags & classFlag)) {
            s.mode = Mode::ScriptRegexFlags;
            s.flags = 0;
        }
        put(K::ScriptRegex, 1);
    }

    // --- Style ----------------------------------------------------------------------------

    // The mode for what follows at the current depth: rules (selectors) or declarations.
    Mode blockMode() const
    {
        return s.depth == 0 || (s.ruleBlocks >> std::min<int>(s.depth, 15)) & 1
                   ? Mode::StyleSelector
                   : Mode::StyleProperty;
    }

    void style()
    {
        const char16_t c = at(i);
        if (c == u'<' && rawTextEnds())
            return;
        switch (s.mode) {
        case Mode::StyleString:
            if (s.flags & escapeFlag)
                s.flags &= quint8(~escapeFlag);
            else if (c == u'\\')
                s.flags |= escapeFlag;
            else if (c == s.quote || isLineBreak(c))
                s.mode = s.back;
            return put(K::StyleString, 1);
        case Mode::StyleComment:
            if ((s.flags & starFlag) && c == u'/')
                s.mode = s.back;
            s.flags = quint8((s.flags & ~starFlag) | (c == u'*' ? starFlag : 0));
            return put(K::StyleComment, 1);
        case Mode::StyleAtRule:
            if (isIdentifierPart(c) || c == u'-')
                return put(K::StyleAtRule, 1);
            s.mode = Mode::StyleSelector;
            return;
        default:
            return styleCode(c);
        }
    }

    void styleCode(char16_t c)
    {
        if (c == u'/' && at(i + 1) == u'*') {
            s.back = s.mode;
            s.mode = Mode::StyleComment;
            s.flags &= quint8(~starFlag);
            return take(K::StyleComment, 2);
        }
        if ((c == u'"' || c == u'\'') && s.mode != Mode::StyleProperty) {
            s.back = s.mode;
            s.mode = Mode::StyleString;
            s.quote = c;
            s.flags &= quint8(~escapeFlag);
            return put(K::StyleString, 1);
        }
        const K kind = s.mode == Mode::StyleValue      ? K::StyleValue
                       : s.mode == Mode::StyleProperty ? K::StyleProperty
                                                       : K::StyleSelector;
        switch (c) {
        case u'@':
            s.mode = Mode::StyleAtRule;
            s.flags = quint8(preludeFlag | (atRuleHoldsRules(text_, i + 1) ? rulesPreludeFlag : 0));
            return put(K::StyleAtRule, 1);
        case u'{': {
            const bool rules = (s.flags & preludeFlag) && (s.flags & rulesPreludeFlag);
            s.depth = quint8(std::min(s.depth + 1, 255));
            const int bit = std::min<int>(s.depth, 15);
            s.ruleBlocks =
                quint16(rules ? s.ruleBlocks | (1u << bit) : s.ruleBlocks & ~(1u << bit));
            s.flags = 0;
            s.mode = blockMode();
            return put(K::StyleSelector, 1);
        }
        case u'}':
            s.depth = quint8(s.depth > 0 ? s.depth - 1 : 0);
            s.flags = 0;
            s.mode = blockMode();
            return put(K::StyleSelector, 1);
        case u';':
            s.flags = 0;
            s.mode = blockMode();
            return put(s.mode == Mode::StyleProperty ? K::StyleValue : K::StyleSelector, 1);
        case u':':
            if (s.mode == Mode::StyleProperty) {
                s.mode = Mode::StyleValue;
                return put(K::StyleValue, 1);
            }
            break;
        default:
            break;
        }
        put(kind, 1);
        scan(kind, [](char16_t ch) { return isStyleBreak(ch); });
    }

    LexState& s;
    QStringView text_;
    qsizetype end_;
    std::vector<TokenRun>& runs_;
    qsizetype i = 0;
};

} // namespace

std::vector<Token> HtmlLexer::tokens(QStringView text)
{
    std::vector<TokenRun> runs;
    lex(LexState(), text, text.size(), runs);
    std::vector<Token> placed;
    placed.reserve(runs.size());
    qsizetype at = 0;
    for (const TokenRun& run : runs) {
        placed.push_back({at, run.length, run.kind});
        at += run.length;
    }
    return placed;
}

LexState HtmlLexer::lex(LexState state, QStringView text, qsizetype end,
                        std::vector<TokenRun>& runs)
{
    Lexer(state, text, std::min(end, text.size()), runs).run();
    return state;
}
