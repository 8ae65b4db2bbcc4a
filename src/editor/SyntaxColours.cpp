#include "editor/SyntaxColours.h"

#include <array>
#include <cmath>

namespace {

struct KindColours
{
    TokenKind kind;
    QRgb skyBlue;
    QRgb white;
    QRgb black;
};

// Darker on the light backgrounds (darker still on sky blue), lighter on black.
constexpr std::array<KindColours, 20> table{{
    {TokenKind::CharacterReference, 0x7a3c10, 0x8b4513, 0xf0b070},
    {TokenKind::TagBracket, 0x2b4c8c, 0x2b4c8c, 0x9ab0d8},
    {TokenKind::TagName, 0x000080, 0x000080, 0x87cefa},
    {TokenKind::AttributeName, 0x8b2252, 0x8b2252, 0xff9ecf},
    {TokenKind::AttributeValue, 0x155a15, 0x1a6e1a, 0x98e07a},
    {TokenKind::Comment, 0x4f4f4f, 0x666666, 0xa0a0a0},
    {TokenKind::Doctype, 0x724500, 0x7a4a00, 0xe0c080},
    {TokenKind::CData, 0x4f4f4f, 0x666666, 0xa0a0a0},
    {TokenKind::Template, 0x732c96, 0x7b2fa0, 0xd7a0ff},
    {TokenKind::ScriptKeyword, 0x00209f, 0x00209f, 0x7fb2ff},
    {TokenKind::ScriptString, 0x9c1414, 0xa31515, 0xff9f80},
    {TokenKind::ScriptNumber, 0x055b3c, 0x07704a, 0xb5e890},
    {TokenKind::ScriptComment, 0x485148, 0x5f6b5f, 0xa0a8a0},
    {TokenKind::ScriptRegex, 0x811f3f, 0x811f3f, 0xff8fb0},
    {TokenKind::StyleSelector, 0x800000, 0x800000, 0xffa0a0},
    {TokenKind::StyleProperty, 0x034d9e, 0x0451a5, 0x9cdcfe},
    {TokenKind::StyleValue, 0x155a15, 0x1a6e1a, 0x98e07a},
    {TokenKind::StyleString, 0x9c1414, 0xa31515, 0xff9f80},
    {TokenKind::StyleComment, 0x4f4f4f, 0x666666, 0xa0a0a0},
    {TokenKind::StyleAtRule, 0x732c96, 0x7b2fa0, 0xd7a0ff},
}};

double relativeLuminance(const QColor& colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

} // namespace

SyntaxColours::Background SyntaxColours::backgroundFor(const QColor& base)
{
    Background nearest = Background::SkyBlue;
    int best = -1;
    for (Background candidate : {Background::SkyBlue, Background::White, Background::Black}) {
        const QColor c = background(candidate);
        const int distance = std::abs(c.red() - base.red()) + std::abs(c.green() - base.green()) +
                             std::abs(c.blue() - base.blue());
        if (best < 0 || distance < best) {
            best = distance;
            nearest = candidate;
        }
    }
    return nearest;
}

QColor SyntaxColours::background(Background background)
{
    switch (background) {
    case Background::White:
        return Qt::white;
    case Background::Black:
        return Qt::black;
    case Background::SkyBlue:
        break;
    }
    return QColor(166, 202, 240);
}

QColor SyntaxColours::colour(TokenKind kind, Background background)
{
    for (const KindColours& entry : table) {
        if (entry.kind != kind)
            continue;
        switch (background) {
        case Background::SkyBlue:
            return QColor(entry.skyBlue);
        case Background::White:
            return QColor(entry.white);
        case Background::Black:
            return QColor(entry.black);
        }
    }
    return QColor();
}

double SyntaxColours::contrastRatio(const QColor& a, const QColor& b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
