// Highlighting in the editor: the colour tables, the view menu's item and what it draws, and the
// colours following edits that change the rest of the page.
#include "app/CommandLine.h"
#include "editor/HtmlHighlighting.h"
#include "editor/HtmlTagAssist.h"
#include "editor/SyntaxColours.h"
#include "support/MainWindowFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

using Background = SyntaxColours::Background;

const Background backgrounds[] = {Background::SkyBlue, Background::White, Background::Black};

TEST(SyntaxColours, EveryKindIsReadableOnEveryBackground)
{
    for (Background background : backgrounds) {
        const QColor base = SyntaxColours::background(background);
        EXPECT_EQ(SyntaxColours::backgroundFor(base), background);
        for (int k = 0; k < tokenKindCount; ++k) {
            const TokenKind kind = TokenKind(k);
            const QColor colour = SyntaxColours::colour(kind, background);
            // The page's text and plain script keep the colour chosen in the font dialog.
            if (kind == TokenKind::Text || kind == TokenKind::ScriptCode) {
                EXPECT_FALSE(colour.isValid()) << k;
                continue;
            }
            ASSERT_TRUE(colour.isValid()) << "kind " << k;
            EXPECT_GE(SyntaxColours::contrastRatio(colour, base), 4.5)
                << "kind " << k << " on " << base.name().toStdString();
        }
    }
}

TEST(SyntaxColours, ContrastRatioHasWcagEnds)
{
    EXPECT_NEAR(SyntaxColours::contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(SyntaxColours::contrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(SyntaxColours::contrastRatio(QColor(118, 118, 118), Qt::white), 4.54, 0.01);
    EXPECT_EQ(SyntaxColours::backgroundFor(QColor(250, 250, 250)), Background::White);
    EXPECT_EQ(SyntaxColours::backgroundFor(QColor(20, 20, 30)), Background::Black);
}

class HighlightingInWindow : public MainWindowFixture
{
protected:
    QAction* item() const { return action("SyntaxHighlighting1"); }
    QMenu* viewMenu() const { return form->findChild<QMenu*>("N8"); }

    // Pixels of the editor drawn in (about) the tag names' colour on the sky-blue background.
    int navyPixels() const
    {
        const QImage image = editor()->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() < 20 && c.green() < 20 && c.blue() > 90;
            }
        return count;
    }
    // The colour the view is given for the character at `position`, or invalid for its own.
    QColor colourAt(qsizetype position) const
    {
        TextDecoration* decoration = editor()->decoration();
        if (!decoration)
            return QColor();
        for (const auto& range : decoration->formats(position, 1))
            if (range.start == 0 && range.length == 1)
                return range.format.foreground().color();
        return QColor();
    }
};

TEST_F(HighlightingInWindow, ItemIsAtTheViewMenusEndAfterASeparatorAndOff)
{
    ASSERT_NE(item(), nullptr);
    const QList<QAction*> actions = viewMenu()->actions();
    const qsizetype at = actions.indexOf(item());
    ASSERT_GE(at, 1);
    ASSERT_LT(at + 1, actions.size());
    EXPECT_EQ(actions[at + 1]->objectName(), QStringLiteral("SpellChecking1"));
    EXPECT_TRUE(actions[at - 1]->isSeparator());
    EXPECT_EQ(item()->text(), QStringLiteral("Подсветка синтаксиса"));
    EXPECT_TRUE(item()->isCheckable());
    EXPECT_FALSE(item()->isChecked());
    EXPECT_EQ(editor()->decoration(), nullptr);
}

TEST_F(HighlightingInWindow, ItemTurnsColoursOnAndOffOnScreen)
{
    form->show();
    editor()->LoadText(QStringLiteral("<table><tr><td>текст</td></tr></table>"));
    EXPECT_EQ(navyPixels(), 0);
    item()->trigger();
    EXPECT_TRUE(item()->isChecked());
    EXPECT_GT(navyPixels(), 10);
    EXPECT_EQ(colourAt(1), SyntaxColours::colour(TokenKind::TagName, Background::SkyBlue));
    item()->trigger();
    EXPECT_EQ(editor()->decoration(), nullptr);
    EXPECT_EQ(navyPixels(), 0);
}

TEST_F(HighlightingInWindow, ColoursFollowTheBackground)
{
    editor()->LoadText(QStringLiteral("<p>x</p>"));
    form->setSyntaxHighlighting(true);
    EXPECT_EQ(colourAt(1), SyntaxColours::colour(TokenKind::TagName, Background::SkyBlue));
    action("N43")->trigger();
    EXPECT_EQ(colourAt(1), SyntaxColours::colour(TokenKind::TagName, Background::Black));
    action("N42")->trigger();
    EXPECT_EQ(colourAt(1), SyntaxColours::colour(TokenKind::TagName, Background::White));
    EXPECT_FALSE(colourAt(3).isValid()); // the text keeps the font dialog's colour
}

TEST_F(HighlightingInWindow, TypingACommentOpenerColoursTheRestOfThePage)
{
    form->show();
    form->HTML1Click(); // the editor takes keys once there is a document
    QString page;
    for (int k = 0; k < 300; ++k)
        page += QStringLiteral("<p>строка %1</p>\n").arg(k);
    editor()->LoadText(page);
    form->setSyntaxHighlighting(true);
    const qsizetype last = editor()->buffer()->length() - 3; // in the last </p>
    const QColor comment = SyntaxColours::colour(TokenKind::Comment, Background::SkyBlue);
    EXPECT_NE(colourAt(last), comment);
    editor()->setCursorPosition(0);
    type(QStringLiteral("<!--"));
    EXPECT_EQ(colourAt(last + 4), comment);
    EXPECT_EQ(navyPixels(), 0); // no line on screen keeps its tag colours
    for (int k = 0; k < 4; ++k)
        QTest::keyClick(editor(), Qt::Key_Backspace);
    EXPECT_EQ(colourAt(last), SyntaxColours::colour(TokenKind::TagName, Background::SkyBlue));
    EXPECT_GT(navyPixels(), 10);
}

TEST_F(HighlightingInWindow, FormatsCountFromTheAskedPosition)
{
    editor()->LoadText(QStringLiteral("<b>x</b>"));
    form->setSyntaxHighlighting(true);
    const QList<QTextLayout::FormatRange> ranges = editor()->decoration()->formats(3, 5);
    ASSERT_EQ(ranges.size(), 3); // "</", "b", ">" after the plain "x"
    EXPECT_EQ(ranges[0].start, 1);
    EXPECT_EQ(ranges[0].length, 2);
    EXPECT_EQ(ranges[1].start, 3);
    EXPECT_EQ(ranges[1].format.foreground().color(),
              SyntaxColours::colour(TokenKind::TagName, Background::SkyBlue));
    EXPECT_EQ(ranges[2].start, 4);
}

TEST_F(HighlightingInWindow, TypingEndTagOpenerCompletesTheOpenElement)
{
    form->show();
    form->HTML1Click();
    form->setSyntaxHighlighting(true);
    const struct
    {
        const char* typed;
        const char* result;
    } cases[] = {
        {"<div><p>text</", "<div><p>text</p>"},
        {"<ul><li>a</li></", "<ul><li>a</li></ul>"},
        {"<div><br></", "<div><br></div>"},
        {"<b><!-- </", "<b><!-- </"},             // in a comment: nothing added
        {"<script>if (a </", "<script>if (a </"}, // in a script: nothing added
        {"text </", "text </"},                   // nothing open
    };
    for (const auto& c : cases) {
        editor()->LoadText(QString());
        type(QString::fromUtf8(c.typed));
        QCoreApplication::processEvents();
        EXPECT_EQ(editor()->Text(), QString::fromUtf8(c.result)) << c.typed;
        EXPECT_EQ(editor()->cursorPosition(), editor()->buffer()->length()) << c.typed;
    }
}

// A user who types the whole end tag without waiting for the completion gets it once; a key
// that differs from what was completed, or a caret moved away, ends the typing over.
TEST_F(HighlightingInWindow, TypingOnACompletedEndTagTypesOverIt)
{
    form->show();
    form->HTML1Click();
    form->setSyntaxHighlighting(true);
    const struct
    {
        const char* beforeCompletion;
        const char* after;
        const char* result;
    } cases[] = {
        {"<div>x</", "div>y", "<div>x</div>y"},
        {"<div>x</", "di", "<div>x</div>"},
        {"<div>x</", "dx", "<div>x</div>x"},
        {"<p>a</", "p>>", "<p>a</p>>"},
    };
    for (const auto& c : cases) {
        editor()->LoadText(QString());
        type(QString::fromUtf8(c.beforeCompletion));
        QCoreApplication::processEvents();
        type(QString::fromUtf8(c.after));
        EXPECT_EQ(editor()->Text(), QString::fromUtf8(c.result)) << c.after;
    }
    editor()->LoadText(QString());
    type(QStringLiteral("<b>x</"));
    QCoreApplication::processEvents();
    editor()->setCursorPosition(0);
    editor()->setCursorPosition(editor()->buffer()->length());
    type(QStringLiteral("b"));
    EXPECT_EQ(editor()->Text(), QStringLiteral("<b>x</b>b"));
}

TEST_F(HighlightingInWindow, CaretInATagNameMarksItAndItsPartner)
{
    form->setSyntaxHighlighting(true);
    HtmlTagAssist* assist = form->findChild<HtmlTagAssist*>();
    ASSERT_NE(assist, nullptr);
    const auto marksAt = [&](const char* page, qsizetype caret) {
        editor()->LoadText(QString::fromUtf8(page));
        editor()->setCursorPosition(caret);
        std::vector<std::tuple<qsizetype, qsizetype, bool>> marks;
        for (const HtmlTagAssist::Mark& mark : assist->marks())
            marks.emplace_back(mark.start, mark.length, mark.unmatched);
        return marks;
    };
    using M = std::vector<std::tuple<qsizetype, qsizetype, bool>>;
    EXPECT_EQ(marksAt("<div><b>x</b></div>", 2), (M{{1, 3, false}, {15, 3, false}}));
    EXPECT_EQ(marksAt("<div><b>x</b></div>", 16), (M{{15, 3, false}, {1, 3, false}}));
    EXPECT_EQ(marksAt("<div><span>x</div>", 7), (M{{6, 4, true}}));
    EXPECT_EQ(marksAt("<p>a<br>b", 6), (M{{5, 2, false}})); // void: itself only
    EXPECT_EQ(marksAt("<div><b>x</b></div>", 8), M{});      // in the text: none
    // The marks show as a background behind the name.
    editor()->setCursorPosition(2);
    bool marked = false;
    for (const auto& range : editor()->decoration()->formats(0, 5))
        marked |= range.start == 1 && range.format.hasProperty(QTextFormat::BackgroundBrush);
    EXPECT_TRUE(marked);
}

TEST(HighlightOption, CommandLineTurnsItOn)
{
    for (const auto& [arguments, on] :
         {std::pair{QStringList{"pagewright"}, false},
          std::pair{QStringList{"pagewright", "--highlight"}, true},
          std::pair{QStringList{"pagewright", "--highlight", "a.html"}, true}}) {
        CommandLine commandLine;
        ASSERT_TRUE(commandLine.parse(arguments));
        EXPECT_EQ(commandLine.highlight(), on);
    }
}

} // namespace
