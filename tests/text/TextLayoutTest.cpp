#include "text/TextLayout.h"
#include "text/TextBuffer.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

#include <random>

namespace {

QFont monospaceFont()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// A layout kept up to date through edit(), as the view keeps its own.
struct FollowedLayout
{
    explicit FollowedLayout(const TextBuffer& buffer) : layout(buffer, monospaceFont())
    {
        QObject::connect(&buffer, &TextBuffer::contentsChange, &buffer,
                         [this](qsizetype position, qsizetype removed, qsizetype added) {
                             changes.append(layout.edit(position, removed, added));
                         });
    }
    TextLayout layout;
    QList<TextLayout::Change> changes;
};

// Two long lines of the same length but different widths (a tab is eight spaces wide), so that a
// width cache left on the wrong line cannot go unnoticed.
QString longLines()
{
    const qsizetype length = LineWidthCache::chunkSize * 2;
    return u"short\n"_qs + QString(length, u'a') + u'\n' + QString(length / 2, u'\t') +
           QString(length / 2, u'b') + u"\nend"_qs;
}

struct EditCase
{
    const char* name;
    qsizetype position;
    qsizetype removed;
    QString added;
    qsizetype line;
    qsizetype lastLine;
    qsizetype linesAdded;
};

class LayoutEdits : public ::testing::TestWithParam<EditCase>
{};

// After an edit every line measures as a layout made afresh measures it: caches of long lines
// move with their lines and the lines an edit touched are measured again.
TEST_P(LayoutEdits, KeepEveryLineMeasuredAsAFreshLayout)
{
    const EditCase& c = GetParam();
    TextBuffer buffer;
    buffer.setText(longLines());
    FollowedLayout followed(buffer);
    for (qsizetype line = 0; line < buffer.lineCount(); ++line)
        followed.layout.lineWidth(line);
    ASSERT_EQ(followed.layout.cachedLines(), 2);

    buffer.replace(c.position, c.removed, c.added);

    ASSERT_EQ(followed.changes.size(), 1);
    EXPECT_EQ(followed.changes[0].line, c.line);
    EXPECT_EQ(followed.changes[0].lastLine, c.lastLine);
    EXPECT_EQ(followed.changes[0].linesAdded, c.linesAdded);
    EXPECT_FALSE(followed.changes[0].wholeText);
    const TextLayout fresh(buffer, monospaceFont());
    for (qsizetype line = 0; line < buffer.lineCount(); ++line) {
        EXPECT_DOUBLE_EQ(followed.layout.lineWidth(line), fresh.lineWidth(line)) << "line " << line;
        const qsizetype middle = buffer.lineLength(line) / 2;
        EXPECT_DOUBLE_EQ(followed.layout.columnX(line, middle), fresh.columnX(line, middle))
            << "line " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TextLayout, LayoutEdits,
    ::testing::Values(EditCase{"BreakAddedAbove", 2, 0, u"\n"_qs, 0, 1, 1},
                      EditCase{"TwoBreaksAddedAbove", 0, 0, u"x\ny\n"_qs, 0, 2, 2},
                      EditCase{"BreakRemovedAbove", 5, 1, u""_qs, 0, 0, -1},
                      EditCase{"TypingInALongLine", 100, 0, u"\t\t"_qs, 1, 1, 0},
                      EditCase{"LongLineSplit", 3000, 0, u"\n"_qs, 1, 2, 1},
                      EditCase{"LongLinesJoined", 6 + 8192, 1, u""_qs, 1, 1, -1},
                      EditCase{"BreakAddedBelow", 6 + 8192 + 1 + 8192, 0, u"\n"_qs, 2, 3, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TextLayout, ReplacingTheWholeTextStartsAfresh)
{
    TextBuffer buffer;
    buffer.setText(longLines());
    FollowedLayout followed(buffer);
    followed.layout.lineWidth(1);
    const qreal wide = followed.layout.longestWidth();
    buffer.setText(u"ab\ncd"_qs);
    ASSERT_FALSE(followed.changes.isEmpty());
    EXPECT_TRUE(followed.changes.back().wholeText);
    EXPECT_EQ(followed.layout.cachedLines(), 0);
    EXPECT_LT(followed.layout.longestWidth(), wide);
    EXPECT_DOUBLE_EQ(followed.layout.longestWidth(), followed.layout.lineWidth(0));
}

// A slice of a long line starts and ends where a layout of the whole line would put its columns.
TEST(TextLayout, SliceOfALongLineSitsWhereTheWholeLineWouldPutIt)
{
    TextBuffer buffer;
    buffer.setText(longLines());
    const TextLayout layout(buffer, monospaceFont());
    const qreal from = layout.columnX(2, 5000);
    const auto slice = layout.slice(2, from, from + 300);
    EXPECT_LE(slice->startColumn(), 5000);
    EXPECT_GT(slice->endColumn(), 5000);
    EXPECT_LT(slice->endColumn() - slice->startColumn(), 2 * 1024 + 400);
    EXPECT_NEAR(slice->xForColumn(5000, -1), from, 0.01);
}

// Random edits of long and short lines, breaks included: every line measures as a fresh layout
// measures it, whichever lines were measured before.
TEST(TextLayout, RandomEditsAgreeWithAFreshLayout)
{
    const QString pieces[] = {u"a"_qs,
                              u"\t"_qs,
                              u"\n"_qs,
                              u"\r\n"_qs,
                              u"Ж"_qs,
                              QString(3000, u'a'),
                              QString(3000, u'\t')};
    std::mt19937 random(1208);
    auto pick = [&random](qsizetype n) {
        return qsizetype(std::uniform_int_distribution<qsizetype>(0, n)(random));
    };
    TextBuffer buffer;
    buffer.setText(longLines() + u'\n' + longLines());
    FollowedLayout followed(buffer);
    for (int step = 0; step < 300; ++step) {
        // Measure some lines so that their caches exist before the edit.
        for (qsizetype n = pick(3); n > 0; --n)
            followed.layout.lineWidth(pick(buffer.lineCount() - 1));
        const qsizetype position = pick(buffer.length());
        const qsizetype removed =
            pick(3) == 0 ? pick(std::min<qsizetype>(4000, buffer.length() - position)) : 0;
        QString added;
        for (qsizetype n = pick(2); n > 0; --n)
            added += pieces[pick(std::size(pieces) - 1)];
        buffer.replace(position, removed, added);
        if (buffer.length() > 60000)
            buffer.remove(0, 20000);
        const TextLayout fresh(buffer, monospaceFont());
        for (qsizetype line = 0; line < buffer.lineCount(); ++line) {
            ASSERT_DOUBLE_EQ(followed.layout.lineWidth(line), fresh.lineWidth(line))
                << "step " << step << " line " << line;
        }
    }
}

} // namespace
