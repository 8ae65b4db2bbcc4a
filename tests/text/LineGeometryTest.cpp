#include "text/LineSlice.h"
#include "text/LineWidthCache.h"
#include "text/TextMeasure.h"

#include <QFontDatabase>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QFont proportionalFont()
{
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

QFont monospaceFont()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// A long line mixing ASCII, Cyrillic, tabs, a combining accent, a surrogate pair and Hebrew.
QString mixedLine(qsizetype minimumLength)
{
    const QString piece = QStringLiteral("<p class=\"x\">Привет,\tмир! e\u0301 \U0001F600 "
                                         "\u05E9\u05DC\u05D5\u05DD abc</p>");
    QString line;
    while (line.size() < minimumLength)
        line += piece;
    return line;
}

// Caret positions of `text`: grapheme cluster boundaries.
QList<qsizetype> caretPositions(const QString& text)
{
    QList<qsizetype> positions;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype p = 0; p >= 0; p = finder.toNextBoundary())
        positions.append(p);
    return positions;
}

// Unshaped Latin, Cyrillic, punctuation and CJK measure exactly as the layout that draws them.
TEST(TextMeasure, SimpleTextMeasuresAsTheLayoutDrawsIt)
{
    for (const QFont& font : {proportionalFont(), monospaceFont()}) {
        const TextMeasure measure(font);
        for (const QString& text :
             {QStringLiteral("Hello, world"), QStringLiteral("Съешь же ещё этих мягких булок"),
              QStringLiteral("<a href=\"x\">WAVE ffi</a>"),
              QStringLiteral("«Ёлка» — №5 … “quoted” → 漢字")}) {
            QTextLayout layout(text, measure.font());
            layout.beginLayout();
            QTextLine line = layout.createLine();
            layout.endLayout();
            EXPECT_NEAR(measure.width(text), line.horizontalAdvance(), 0.01)
                << text.toStdString() << " in " << font.family().toStdString();
        }
    }
}

TEST(TextMeasure, TabsHaveAFixedWidthAndControlCharactersAreVisible)
{
    const TextMeasure measure(monospaceFont());
    EXPECT_DOUBLE_EQ(measure.width(u"\t"), measure.tabWidth());
    EXPECT_DOUBLE_EQ(measure.width(u"ab\tc"),
                     measure.width(u"ab") + measure.tabWidth() + measure.width(u"c"));
    EXPECT_GT(measure.width(QString(QChar(0))), 0);
    EXPECT_GT(measure.width(QString(QChar(0x2029))), 0);
    EXPECT_EQ(TextMeasure::forDisplay(u"a\u2028\u0001").size(), 3);
}

// x of every caret position from the chunked cache equals the width of the line up to it, and
// the column found at that x is the position itself.
TEST(LineWidthCache, ColumnsAndPositionsRoundTripOnALongMixedLine)
{
    for (const QFont& font : {proportionalFont(), monospaceFont()}) {
        const TextMeasure measure(font);
        const QString line = mixedLine(LineWidthCache::chunkSize * 3);
        const LineWidthCache::TextReader reader = [&line](qsizetype from, qsizetype length) {
            return line.mid(from, length);
        };
        LineWidthCache cache(line.size());
        EXPECT_NEAR(cache.width(reader, measure), measure.width(line), 1.0);
        EXPECT_GE(cache.chunkCount(), 3);
        // Only left-to-right stretches round-trip through x; right-to-left ones draw reversed.
        int checked = 0;
        for (const qsizetype column : caretPositions(line)) {
            if (column % 37 != 0 && column != line.size())
                continue;
            const qreal x = cache.x(column, reader, measure);
            EXPECT_NEAR(x, measure.width(QStringView(line).first(column)), 1.0) << column;
            const bool hebrewNear =
                line.mid(std::max<qsizetype>(0, column - 6), 12)
                    .contains(QRegularExpression(QStringLiteral("[\u05D0-\u05EA]")));
            if (!hebrewNear) {
                EXPECT_EQ(cache.columnAt(x + 0.25, reader, measure), column) << column;
                ++checked;
            }
        }
        EXPECT_GT(checked, 100);
    }
}

// An edit re-measures the chunk it falls in, not the line.
TEST(LineWidthCache, AnEditMeasuresOnlyItsChunkAgain)
{
    const TextMeasure measure(proportionalFont());
    QString line = mixedLine(LineWidthCache::chunkSize * 10);
    const LineWidthCache::TextReader reader = [&line](qsizetype from, qsizetype length) {
        return line.mid(from, length);
    };
    LineWidthCache cache(line.size());
    cache.width(reader, measure);
    const qsizetype measuredAtOpen = cache.measuredChunks();
    struct Edit
    {
        qsizetype column;
        qsizetype removed;
        QString added;
    };
    for (const Edit& edit : {Edit{line.size() / 2, 0, QStringLiteral("Юникод")},
                             Edit{line.size(), 0, QStringLiteral("x")}, Edit{100, 3, QString()},
                             Edit{0, 0, QStringLiteral("\t")}}) {
        const qsizetype before = cache.measuredChunks();
        line.replace(edit.column, edit.removed, edit.added);
        cache.edit(edit.column, edit.removed, edit.added.size());
        EXPECT_NEAR(cache.width(reader, measure), measure.width(line), 1.0);
        EXPECT_EQ(cache.measuredChunks() - before, 1);
    }
    LineWidthCache fresh(line.size());
    EXPECT_NEAR(cache.x(line.size() * 3 / 4, reader, measure),
                fresh.x(line.size() * 3 / 4, reader, measure), 1.0);
    EXPECT_GE(measuredAtOpen, 10);
}

// A slice of a line draws its characters where the whole line would: the same x for every
// caret position, and right-to-left text reordered inside the slice.
TEST(LineSlice, PlacesCaretsAsTheWholeLineLayoutDoes)
{
    const TextMeasure measure(proportionalFont());
    const QString text = QStringLiteral("abc \u05E9\u05DC\u05D5\u05DD def");
    const LineSlice slice(text, 0, 0, measure);
    QTextLayout layout(text, measure.font());
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    for (int column = 0; column <= text.size(); ++column)
        EXPECT_NEAR(slice.xForColumn(column), line.cursorToX(column), 0.5) << column;
    // The Hebrew word runs right to left: the caret after its first letter is right of the
    // caret after its second.
    EXPECT_GT(slice.xForColumn(5), slice.xForColumn(6));
    // A slice that starts further on the line is offset by its start x.
    const LineSlice later(text.mid(4), 4, 100, measure);
    EXPECT_NEAR(later.xForColumn(text.size()), 100 + measure.width(text.mid(4)), 0.5);
    EXPECT_EQ(later.columnAt(later.xForColumn(text.size() - 1) + 0.5), text.size() - 1);
}

TEST(LineSlice, ShowsPreeditTextAtItsColumn)
{
    const TextMeasure measure(monospaceFont());
    LinePreedit preedit;
    preedit.column = 2;
    preedit.text = QStringLiteral("ё");
    const LineSlice plain(QStringLiteral("abcd"), 0, 0, measure);
    const LineSlice composing(QStringLiteral("abcd"), 0, 0, measure, preedit);
    EXPECT_NEAR(composing.xForColumn(2, 1), plain.xForColumn(2) + measure.width(u"ё"), 0.5);
    EXPECT_NEAR(composing.xForColumn(3), plain.xForColumn(3) + measure.width(u"ё"), 0.5);
    EXPECT_NEAR(composing.xForColumn(1), plain.xForColumn(1), 0.5);
}

} // namespace
