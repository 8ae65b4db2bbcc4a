#pragma once

#include <QString>
#include <QtGlobal>

#include <random>

// `piece` repeated until the text is exactly `size` characters (or bytes) long.
template <class Text> Text repeatedToSize(const Text& piece, qsizetype size)
{
    Text text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    text.truncate(size);
    return text;
}

// HTML-like lines of 0 to 120 characters, mostly ASCII with some Cyrillic, `size` characters in
// all (line breaks counted once), and `marker` near the end.
inline QString htmlLikeText(int size, const QString& marker)
{
    static const QString words[] = {
        u"<div class=\"item\">"_qs,   u"</div>"_qs,           u"<p>"_qs, u"Пример текста"_qs,
        u"<a href=\"page.html\">"_qs, u"link</a>"_qs,         u" "_qs,   u"&nbsp;"_qs,
        u"Lorem ipsum dolor"_qs,      u"<td align=center>"_qs};
    std::mt19937 random(12345);
    QString text;
    text.reserve(size + 200);
    while (text.size() < size) {
        const int lineLength = std::uniform_int_distribution<int>(0, 120)(random);
        const qsizetype lineEnd = text.size() + lineLength;
        while (text.size() < lineEnd)
            text += words[std::uniform_int_distribution<int>(0, 9)(random)];
        text += u'\n';
    }
    text.truncate(size);
    const qsizetype at = text.lastIndexOf(u'\n', size - 1000) + 1;
    text.insert(at, marker);
    text.truncate(size);
    return text;
}
