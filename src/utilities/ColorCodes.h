#pragma once

#include <QString>
#include <cstdint>

// Colour words and their texts. A colour word holds red in bits 0-7, green in bits 8-15 and blue
// in bits 16-23; its hexadecimal text, as HTML colour attributes take it, is red, green, blue.

// "0".."9", "A".."F" for 0..15.
QString HexDigit(int d);
// Two upper-case hexadecimal digits for 0..255 ("0A" for 10); the empty text above 255.
QString HexByte(int n);
// The six-character hexadecimal text of a colour word: HexByte(red), HexByte(green), HexByte(blue).
QString HexColor(std::uint32_t colorWord);
