#include "syntax/LexCheckpoints.h"
#include "LexerCases.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The tokens of lexing `text` whole, clipped to [from, to).
std::vector<Token> wholeTokens(const QString& text, qsizetype from, qsizetype to)
{
    std::vector<Token> tokens;
    qsizetype at = 0;
    for (const TokenRun& run : lexWhole(text)) {
        const qsizetype end = at + run.length;
        if (end > from && at < to)
            tokens.push_back(
                {std::max(at, from), std::min(end, to) - std::max(at, from), run.kind});
        at = end;
    }
    return tokens;
}

struct Document
{
    QString text;
    LexCheckpoints checkpoints{
        [this](qsizetype position, qsizetype length) { return text.mid(position, length); }, 0};

    explicit Document(const QString& initial) : text(initial) { checkpoints.reset(text.size()); }
    void edit(qsizetype position, qsizetype removed, const QString& added)
    {
        text.replace(position, removed, added);
        checkpoints.edit(position, removed, added.size());
    }
};

// A page with many short lines and one long line, so that both kinds of saved states are used.
QString mixedPage(std::mt19937& random)
{
    QString page;
    for (int k = 0; k < 6; ++k) {
        page += randomPage(random, 300);
        QString longLine = randomPage(random, 600);
        longLine.remove(u'\n').remove(u'\r');
        page += longLine;
    }
    return page;
}

TEST(LexCheckpoints, TokensAfterRandomEditsEqualAFullLex)
{
    std::mt19937 random(11);
    for (int round = 0; round < 4; ++round) {
        Document document(mixedPage(random));
        for (int edit = 0; edit < 60; ++edit) {
            const qsizetype length = document.text.size();
            std::uniform_int_distribution<qsizetype> position(0, length);
            const qsizetype at = position(random);
            const qsizetype removed =
                std::min(length - at, std::uniform_int_distribution<qsizetype>(0, 40)(random));
            document.edit(at, removed, randomPage(random, edit % 3));
            // Ask for a few windows anywhere, as a view scrolled about would.
            for (int ask = 0; ask < 3; ++ask) {
                std::uniform_int_distribution<qsizetype> anywhere(0, document.text.size());
                qsizetype from = anywhere(random);
                qsizetype to = anywhere(random);
                if (from > to)
                    std::swap(from, to);
                to = std::min(to, from + 3000);
                ASSERT_EQ(document.checkpoints.tokens(from, to),
                          wholeTokens(document.text, from, to))
                    << "edit " << edit << " window " << from << ".." << to;
            }
            if (edit % 5 == 0)
                document.checkpoints.settle(1 << 20);
        }
    }
}

TEST(LexCheckpoints, EditsThatChangeEverythingBehindThemAreSeen)
{
    // Opening a comment near the start turns the rest of the page into a comment, and closing it
    // turns it back: saved states behind the edit must not survive either change.
    QString page;
    for (int k = 0; k < 400; ++k)
        page += QStringLiteral("<p class=\"x\">строка %1 &amp; текст</p>\n").arg(k);
    Document document(page);
    const qsizetype end = document.text.size();
    ASSERT_EQ(document.checkpoints.tokens(0, end), wholeTokens(document.text, 0, end));
    document.edit(20, 0, QStringLiteral("<!--"));
    EXPECT_EQ(document.checkpoints.settle(1 << 20), document.checkpoints.length());
    EXPECT_EQ(document.checkpoints.tokens(end - 200, end + 4),
              wholeTokens(document.text, end - 200, end + 4));
    document.edit(20, 4, QString());
    EXPECT_EQ(document.checkpoints.tokens(end - 200, end),
              wholeTokens(document.text, end - 200, end));
}

TEST(LexCheckpoints, TypingSettlesNearTheEdit)
{
    QString page;
    for (int k = 0; k < 20000; ++k)
        page += QStringLiteral("<li><a href=\"page%1.html\">Пункт %1</a></li>\n").arg(k);
    Document document(page);
    const qsizetype end = document.text.size();
    document.checkpoints.tokens(end - 10, end); // a view at the end saved states all the way
    const qsizetype at = end / 2;
    const qsizetype before = document.checkpoints.lexedCharacters();
    document.edit(at, 0, QStringLiteral("x"));
    const qsizetype settled = document.checkpoints.settle(1 << 20);
    // Met the old states at the next saved place: a few hundred characters, not the whole rest.
    EXPECT_GT(settled, at);
    EXPECT_LT(settled, at + 2 * LexCheckpoints::maximumSpacing);
    EXPECT_LT(document.checkpoints.lexedCharacters() - before, 2 * LexCheckpoints::maximumSpacing);
    EXPECT_EQ(document.checkpoints.tokens(end - 10, end + 1),
              wholeTokens(document.text, end - 10, end + 1));
}

TEST(LexCheckpoints, LexesOnlyAsFarAsAsked)
{
    const QString line = QStringLiteral("<b>слово</b> ").repeated(400000); // one 5 MB line
    Document document(line);
    document.checkpoints.tokens(1000, 1100);
    EXPECT_LT(document.checkpoints.lexedCharacters(), 3 * LexCheckpoints::maximumSpacing);
    // Inside the long line a window far along is lexed from a saved state near it.
    document.checkpoints.tokens(4000000, 4000200);
    const qsizetype afterFar = document.checkpoints.lexedCharacters();
    document.checkpoints.tokens(2000000, 2000200);
    EXPECT_LT(document.checkpoints.lexedCharacters() - afterFar,
              2 * LexCheckpoints::maximumSpacing);
    EXPECT_EQ(document.checkpoints.tokens(2000000, 2000200),
              wholeTokens(document.text, 2000000, 2000200));
}

TEST(LexCheckpoints, SettleWithinBudgetReportsUnknown)
{
    QString page = QStringLiteral("<p>a</p>\n").repeated(20000);
    Document document(page);
    document.checkpoints.tokens(page.size() - 5, page.size());
    document.edit(3, 0, QStringLiteral("<!--"));
    EXPECT_EQ(document.checkpoints.settle(1000), -1);
    EXPECT_EQ(document.checkpoints.stateAt(document.text.size()).mode, LexState::Mode::Comment);
}

} // namespace
