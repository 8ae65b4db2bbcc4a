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

// Plain decimal digits, "-" first when negative.
QString DecText(std::int32_t n);

// The number a decimal edit's text stands for. Never fails: leading spaces are skipped; an
// optional sign is followed by decimal digits, or else a "$", "x" or "0x" prefix makes the number
// hexadecimal. Text that stops being a number yields what was read up to there, without its sign
// ("12a" and "-12a" give 12, "abc" gives 0); digits pile up as 32 unsigned bits and reading stops
// before they would overflow, so out-of-range numbers come back wrapped into a signed value.
std::int32_t EditValue(const QString& text);

// The colour word of three components, each cut to its low 8 bits (300 gives 44, -5 gives 251).
std::uint32_t RGB(std::int32_t r, std::int32_t g, std::int32_t b);
