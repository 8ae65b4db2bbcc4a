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

QString DecText(std::int32_t n)
{
    return QString::number(n);
}

namespace {

// The value of `c` as a digit of `base` (10 or 16), or -1. ASCII only: other scripts' digits
// are not digits of an edit's number.
int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::int32_t EditValue(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    if (i == n)
        return 0;

    bool negative = false;
    int base = 10;
    if (text[i] == u'-' || text[i] == u'+') {
        negative = text[i] == u'-';
        ++i;
    } else if (text[i] == u'$' || text[i] == u'x' || text[i] == u'X') {
        base = 16;
        ++i;
    } else if (text[i] == u'0' && i + 1 < n && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }

    // Past these the next digit could carry out of 32 bits.
    const std::uint32_t limit = base == 10 ? 214748364u : 0x0FFFFFFFu;
    std::uint32_t value = 0;
    const qsizetype firstDigit = i;
    for (; i < n; ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0 || value > limit)
            return static_cast<std::int32_t>(value);
        value = value * base + digit;
    }
    if (i == firstDigit) // nothing but a sign or a prefix
        return 0;

    if (base == 16)
        return static_cast<std::int32_t>(value);
    const std::uint32_t magnitudeLimit = negative ? 0x80000000u : 0x7FFFFFFFu;
    if (value > magnitudeLimit)
        return static_cast<std::int32_t>(value);
    return negative ? static_cast<std::int32_t>(0u - value) : static_cast<std::int32_t>(value);
}

std::uint32_t RGB(std::int32_t r, std::int32_t g, std::int32_t b)
{
    const auto low = [](std::int32_t v) { return static_cast<std::uint32_t>(v) & 0xFFu; };
    return low(r) | low(g) << 8 | low(b) << 16;
}
