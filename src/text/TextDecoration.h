#pragma once

#include <QList>
#include <QTextLayout>

// Colours the view's text without the view knowing why: before it lays out a line, or the slice
// of a long line it draws, the view asks for formats over those characters. Formats may change
// colours only, never the font, so that widths stay as measured.
class TextDecoration
{
public:
    virtual ~TextDecoration() = default;
    // Formats over the characters [position, position + length) of the buffer; each range's
    // start counts from `position`.
    virtual QList<QTextLayout::FormatRange> formats(qsizetype position, qsizetype length) = 0;
};
