#include "utilities/ColorCodes.h"

QString HexDigit(int d)
{
    static const char digits[] = "0123456789ABCDEF";
    if (d < 0 || d > 15)
        return {};
    return QString(QChar(digits[d]));
}

QString HexByte(int n)
{
    if (n < 0 || n > 255)
        return {};
    return HexDigit(n / 16) + HexDigit(n % 16);
}

QString HexColor(std::uint32_t colorWord)
{
    return HexByte(colorWord & 0xFF) + HexByte((colorWord >> 8) & 0xFF) +
           HexByte((colorWord >> 16) & 0xFF);
}
