#include "syntax/SpellRanges.h"

#include <QString>

namespace SpellRanges {

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetter() || c.isMark();
}

// An apostrophe between letters belongs to the word (don't, O'Neil).
bool isInnerApostrophe(QStringView text, qsizetype k)
{
    const QChar c = text[k];
    return (c == u'\'' || c == u'\u2019') && k > 0 && k + 1 < text.size() &&
           isWordCharacter(text[k - 1]) && isWordCharacter(text[k + 1]);
}

// A stretch between spaces that names an address rather than saying something.
bool isAddress(QStringView chunk)
{
    return chunk.contains(u'@') || chunk.contains(QLatin1StringView("://")) ||
           chunk.startsWith(QLatin1StringView("www."), Qt::CaseInsensitive);
}

bool isWorthChecking(QStringView word)
{
    if (word.size() < 2)
        return false;
    bool lower = false;
    for (const QChar c : word) {
        if (c.isDigit())
            return false;
        lower = lower || c.isLower();
    }
    return lower; // all capitals: an abbreviation
}

// The words of one stretch between spaces; a letter run touching a digit is no word.
void addChunkWords(QStringView text, qsizetype textStart, qsizetype from, qsizetype to,
                   std::vector<Word>& words)
{
    qsizetype k = from;
    while (k < to) {
        if (!isWordCharacter(text[k])) {
            ++k;
            continue;
        }
        const qsizetype start = k;
        while (k < to && (isWordCharacter(text[k]) || isInnerApostrophe(text, k)))
            ++k;
        const bool touchesDigit =
            (start > from && text[start - 1].isDigit()) || (k < to && text[k].isDigit());
        const QStringView word = text.sliced(start, k - start);
        if (!touchesDigit && isWorthChecking(word))
            words.push_back({textStart + start, k - start});
    }
}

// What an attribute holds: readable text, or something else (a value only of an input).
bool isReadableAttribute(QStringView tag, QStringView attribute)
{
    if (attribute.compare(u"alt", Qt::CaseInsensitive) == 0 ||
        attribute.compare(u"title", Qt::CaseInsensitive) == 0 ||
        attribute.compare(u"placeholder", Qt::CaseInsensitive) == 0)
        return true;
    return attribute.compare(u"value", Qt::CaseInsensitive) == 0 &&
           tag.compare(u"input", Qt::CaseInsensitive) == 0;
}

// Strips the quotes of an attribute value's token.
void valueBounds(QStringView text, qsizetype& from, qsizetype& to)
{
    if (from < to && (text[from] == u'"' || text[from] == u'\''))
        ++from;
    if (to > from && (text[to - 1] == u'"' || text[to - 1] == u'\''))
        --to;
}

// Whether the input tag whose tokens start at `first` is a text field: its type is text,
// search or missing. Read up to the tag's end.
bool isTextInput(QStringView text, qsizetype textStart, const std::vector<Token>& tokens,
                 std::size_t first)
{
    QStringView attribute;
    for (std::size_t k = first; k < tokens.size(); ++k) {
        const Token& token = tokens[k];
        const QStringView piece = text.sliced(token.start - textStart, token.length);
        if (token.kind == TokenKind::TagBracket && piece.contains(u'>'))
            break;
        if (token.kind == TokenKind::AttributeName) {
            attribute = piece;
        } else if (token.kind == TokenKind::AttributeValue &&
                   attribute.compare(u"type", Qt::CaseInsensitive) == 0) {
            qsizetype from = token.start - textStart;
            qsizetype to = from + token.length;
            valueBounds(text, from, to);
            const QStringView type = text.sliced(from, to - from).trimmed();
            return type.compare(u"text", Qt::CaseInsensitive) == 0 ||
                   type.compare(u"search", Qt::CaseInsensitive) == 0;
        }
    }
    return true;
}

} // namespace

void addWords(QStringView text, qsizetype textStart, qsizetype from, qsizetype to,
              std::vector<Word>& words)
{
    qsizetype k = from;
    while (k < to) {
        while (k < to && text[k].isSpace())
            ++k;
        const qsizetype chunkStart = k;
        while (k < to && !text[k].isSpace())
            ++k;
        if (k > chunkStart && !isAddress(text.sliced(chunkStart, k - chunkStart)))
            addChunkWords(text, textStart, chunkStart, k, words);
    }
}

std::vector<Word> wordsIn(QStringView text, qsizetype textStart, const std::vector<Token>& tokens)
{
    std::vector<Word> words;
    QStringView tag;       // the name of the tag being read, empty outside tags
    QStringView attribute; // its last attribute's name
    bool tagKnown = false; // the tag's start is among the tokens
    std::size_t tagFirst = 0;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const Token& token = tokens[k];
        const qsizetype from = token.start - textStart;
        const qsizetype to = from + token.length;
        switch (token.kind) {
        case TokenKind::Text:
            tagKnown = false;
            addWords(text, textStart, from, to, words);
            break;
        case TokenKind::TagName:
            tag = text.sliced(from, token.length);
            tagKnown = true;
            tagFirst = k;
            attribute = {};
            break;
        case TokenKind::AttributeName:
            attribute = text.sliced(from, token.length);
            break;
        case TokenKind::AttributeValue: {
            const bool value = attribute.compare(u"value", Qt::CaseInsensitive) == 0;
            if (!tagKnown || !isReadableAttribute(tag, attribute) ||
                (value && !isTextInput(text, textStart, tokens, tagFirst)))
                break;
            // A value may come in several tokens (around a template block): each is read.
            qsizetype valueFrom = from;
            qsizetype valueTo = to;
            valueBounds(text, valueFrom, valueTo);
            addWords(text, textStart, valueFrom, valueTo, words);
            break;
        }
        default:
            break;
        }
    }
    return words;
}

} // namespace SpellRanges
