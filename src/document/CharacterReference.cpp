#include "document/CharacterReference.h"

#include <charconv>

QByteArray characterReference(char32_t codePoint)
{
    char buffer[16] = "&#";
    char* end = std::to_chars(buffer + 2, buffer + sizeof buffer - 1, uint(codePoint)).ptr;
    *end++ = ';';
    return QByteArray(buffer, end - buffer);
}
