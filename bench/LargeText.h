#pragma once

#include <QtGlobal>

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
