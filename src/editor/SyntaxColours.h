#pragma once

#include "syntax/HtmlToken.h"

#include <QColor>

// The colours of the highlighted token kinds on each of the editor's three backgrounds, each
// readable on its background (a contrast ratio of 4.5:1 or more).
class SyntaxColours
{
public:
    enum class Background { SkyBlue, White, Black };

    // The table for an editor background: the nearest of the three.
    static Background backgroundFor(const QColor& base);
    static QColor background(Background background);
    // The colour of `kind` on `background`; invalid for the kinds drawn in the text's own colour.
    static QColor colour(TokenKind kind, Background background);
    // WCAG's contrast ratio of two colours, 1 to 21.
    static double contrastRatio(const QColor& a, const QColor& b);
};
