#pragma once

#include <QFont>
#include <QString>
#include <QStringView>

#include <vector>

class QTextLayout;

// Widths of pieces of one line of text in one font, the way the view draws them: a tab is a fixed
// advance of eight spaces (not a tab stop, so that the width of a piece does not depend on where
// it starts and long lines can be measured in independent chunks), and characters that a layout
// would treat as breaks or draw as nothing are shown as visible pictures of themselves.
class TextMeasure
{
public:
    explicit TextMeasure(const QFont& font = QFont());

    // Lays `layout` out as one line, no wrapping, left to right as source text is.
    static void layOutOneLine(QTextLayout& layout);

    void setFont(const QFont& font);
    const QFont& font() const { return font_; }
    // The font to shape `run` (a piece of a line without tabs) with: unshaped for text whose
    // characters have fixed advances, shaped when it holds marks, right-to-left or other
    // complex text, so that accents sit on their letters and Arabic joins.
    const QFont& fontFor(QStringView run) const;

    qreal tabWidth() const { return tabWidth_; }
    qreal lineSpacing() const { return lineSpacing_; }
    qreal ascent() const { return ascent_; }

    // Width of `text` (characters of one line, no line breaks).
    qreal width(QStringView text) const;
    // The caret position in `text` (0..size) nearest to `x` (from the start of the text).
    qsizetype columnAt(QStringView text, qreal x) const;

    // The character drawn for `c`: control characters and U+2028/2029 as pictures.
    static QChar displayChar(QChar c);
    // `text` with every character replaced by displayChar (same length, so columns carry over).
    static QString forDisplay(QStringView text);
    // Whether a chunk or slice of a line may start or end just before `text[at]` without cutting
    // a character, a grapheme cluster or a run of right-to-left text.
    static bool isSafeBoundary(QStringView text, qsizetype at);

private:
    // Characters whose advance does not depend on their neighbours in an unshaped font.
    static bool isSimple(QChar c);
    qreal advance(QChar c) const;
    // Width of a run without tabs, shaped as the view shapes it.
    qreal runWidth(QStringView run) const;
    qsizetype runColumnAt(QStringView run, qreal x) const;

    static constexpr int tableSize = 0x10000;
    QFont font_;
    QFont shapedFont_;
    qreal tabWidth_ = 0;
    qreal lineSpacing_ = 0;
    qreal ascent_ = 0;
    // Advances of simple characters as measured (negative: not yet), for the whole BMP.
    mutable std::vector<float> advances_;
};
