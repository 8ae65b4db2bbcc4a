#include "text/TextBoundaries.h"
#include "text/TextBuffer.h"

#include <QTextBoundaryFinder>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace TextBoundaries;

// A plain model of the boundaries over a whole string, with no buffer and no reading windows.
struct PlainText
{
    QString text;

    struct Line
    {
        qsizetype start;
        qsizetype end; // before the break
        qsizetype next;
    };
    QList<Line> lines() const
    {
        QList<Line> result;
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!isLineBreak(text[i]))
                continue;
            const qsizetype next =
                text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? i + 2 : i + 1;
            result.append({start, i, next});
            start = next;
            i = next - 1;
        }
        result.append({start, text.size(), text.size()});
        return result;
    }
    Line lineOf(qsizetype position) const
    {
        const QList<Line> all = lines();
        for (const Line& line : all) {
            if (position < line.next)
                return line;
        }
        return all.back();
    }
    // Grapheme boundaries of the line, the line's end included.
    QList<qsizetype> carets(const Line& line) const
    {
        const QString part = text.mid(line.start, line.end - line.start);
        QList<qsizetype> result;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part);
        for (qsizetype p = 0; p >= 0; p = finder.toNextBoundary())
            result.append(line.start + p);
        return result;
    }
    qsizetype next(qsizetype position) const
    {
        const Line line = lineOf(position);
        if (position >= line.end)
            return line.next == text.size() && line.end == text.size() ? position : line.next;
        for (const qsizetype p : carets(line)) {
            if (p > position)
                return p;
        }
        return line.end;
    }
    qsizetype previous(qsizetype position) const
    {
        const Line line = lineOf(position);
        if (position == line.start)
            return line.start == 0 ? 0 : lineOf(line.start - 1).end;
        qsizetype before = line.start;
        for (const qsizetype p : carets(line)) {
            if (p < position)
                before = p;
        }
        return before;
    }
};

struct WordCase
{
    const char* name;
    QString text;
    // Every stop of moving a word at a time from the start to the end.
    QList<qsizetype> stops;
};

class WordStops : public ::testing::TestWithParam<WordCase>
{};

// Moving by words stops at the same places both ways: the start of each word and of each run of
// punctuation, after the spaces before it, and each line's start and end.
TEST_P(WordStops, ForwardAndBackwardStopAtTheSamePlaces)
{
    const WordCase& c = GetParam();
    TextBuffer buffer;
    buffer.setText(c.text);
    QList<qsizetype> forward{0};
    while (forward.back() < buffer.length()) {
        forward.append(nextWordStart(buffer, forward.back()));
        ASSERT_GT(forward.back(), forward[forward.size() - 2]) << "stuck";
    }
    EXPECT_EQ(forward, c.stops);
    QList<qsizetype> backward{buffer.length()};
    while (backward.front() > 0) {
        backward.prepend(previousWordStart(buffer, backward.front()));
        ASSERT_LT(backward[0], backward[1]) << "stuck";
    }
    EXPECT_EQ(backward, c.stops);
}

INSTANTIATE_TEST_SUITE_P(
    TextBoundaries, WordStops,
    ::testing::Values(
        WordCase{"Operators", u"x+=42;"_qs, {0, 1, 3, 5, 6}},
        WordCase{"RussianSentence",
                 u"Привет, мир! Съешь-ка ещё 123 этих_мягких булок."_qs,
                 {0, 6, 8, 11, 13, 18, 19, 22, 26, 30, 42, 47, 48}},
        WordCase{"SpacesAroundPunctuation", u"a , b"_qs, {0, 2, 4, 5}},
        WordCase{"TagAndLineBreaks", u"<p>\r\n  x</p>"_qs, {0, 1, 2, 3, 5, 7, 8, 10, 11, 12}},
        WordCase{"CombiningMarkAndSurrogates", u"e\u0301t \U0001F600! z"_qs, {0, 4, 8, 9}}),
    [](const auto& row) { return std::string(row.param.name); });

struct WordAtCase
{
    const char* name;
    QString text;
    qsizetype position;
    qsizetype start;
    qsizetype end;
};

class WordAt : public ::testing::TestWithParam<WordAtCase>
{};

TEST_P(WordAt, FindsTheWordUnderThePosition)
{
    const WordAtCase& c = GetParam();
    TextBuffer buffer;
    buffer.setText(c.text);
    EXPECT_EQ(wordStartAt(buffer, c.position), c.start);
    EXPECT_EQ(wordEndAt(buffer, c.position), c.end);
}

INSTANTIATE_TEST_SUITE_P(
    TextBoundaries, WordAt,
    ::testing::Values(WordAtCase{"InsideAWord", u"один два_3 три"_qs, 7, 5, 10},
                      WordAtCase{"AtAWordsStart", u"один два"_qs, 5, 5, 8},
                      WordAtCase{"OnPunctuationStepsOneCharacter", u"a, b"_qs, 1, 1, 2},
                      WordAtCase{"AtTheLineEndStaysThere", u"ab\r\ncd"_qs, 2, 2, 2}),
    [](const auto& row) { return std::string(row.param.name); });

struct BreakCase
{
    const char* name;
    QString text;
    QString newline;
    QString expected;
};

class LineBreakConversion : public ::testing::TestWithParam<BreakCase>
{};

TEST_P(LineBreakConversion, WritesEveryKindOfBreakAsTheNewline)
{
    const BreakCase& c = GetParam();
    EXPECT_EQ(withLineBreaks(c.text, c.newline), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextBoundaries, LineBreakConversion,
    ::testing::Values(BreakCase{"MixedToLf", u"a\r\nb\rc\nd"_qs, u"\n"_qs, u"a\nb\nc\nd"_qs},
                      BreakCase{"MixedToCrLf", u"a\r\nb\rc\nd"_qs, u"\r\n"_qs,
                                u"a\r\nb\r\nc\r\nd"_qs},
                      BreakCase{"LfCrIsTwoBreaks", u"\n\r"_qs, u"\r\n"_qs, u"\r\n\r\n"_qs},
                      BreakCase{"TrailingCr", u"x\r"_qs, u"\n"_qs, u"x\n"_qs},
                      BreakCase{"NoBreaks", u"abc"_qs, u"\r\n"_qs, u"abc"_qs}),
    [](const auto& row) { return std::string(row.param.name); });

// Random texts of short lines with every kind of break, clusters and surrogates: lines,
// clamping and character steps agree with the plain model at every position.
TEST(TextBoundaries, RandomTextsAgreeWithAPlainModel)
{
    const QString alphabet[] = {u"a"_qs, u"Я"_qs,       u" "_qs,          u"\t"_qs,
                                u","_qs, u"\r"_qs,      u"\n"_qs,         u"\r\n"_qs,
                                u"_"_qs, u"e\u0301"_qs, u"\U0001F600"_qs, u"\u05E9"_qs};
    std::mt19937 random(8122026);
    auto pick = [&random](qsizetype n) {
        return qsizetype(std::uniform_int_distribution<qsizetype>(0, n)(random));
    };
    for (int round = 0; round < 200; ++round) {
        PlainText model;
        for (qsizetype n = pick(40); n > 0; --n)
            model.text += alphabet[pick(std::size(alphabet) - 1)];
        TextBuffer buffer;
        buffer.setText(model.text);
        for (qsizetype p = 0; p <= model.text.size(); ++p) {
            const PlainText::Line line = model.lineOf(p);
            SCOPED_TRACE(model.text.toStdString() + " at " + std::to_string(p));
            qsizetype column = -1;
            const qsizetype number = lineOf(buffer, p, &column);
            ASSERT_EQ(buffer.lineStart(number), line.start);
            ASSERT_EQ(column, p - line.start);
            ASSERT_EQ(lineEnd(buffer, number), line.end);
            ASSERT_EQ(nextLineStart(buffer, number), line.next);
            ASSERT_EQ(clampPosition(buffer, p), std::min(p, line.end));
            if (p > line.end)
                continue;
            ASSERT_EQ(nextCharacter(buffer, p), model.next(p));
            ASSERT_EQ(previousCharacter(buffer, p), model.previous(p));
        }
    }
}

} // namespace
