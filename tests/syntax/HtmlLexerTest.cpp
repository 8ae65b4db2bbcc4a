#include "LexerCases.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using K = TokenKind;

struct StateCase
{
    const char* name;
    const char* text;
    std::vector<Piece> expected;
};

void PrintTo(const StateCase& c, std::ostream* out)
{
    *out << c.name;
}

Piece p(K kind, const char* text)
{
    return {kind, QString::fromUtf8(text)};
}

class LexerStates : public testing::TestWithParam<StateCase>
{};

TEST_P(LexerStates, RunsAreAsWritten)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(piecesOf(text, lexWhole(text)), GetParam().expected);
}

const StateCase stateCases[] = {
    {"TextAndReferences",
     "a &amp; b &#x41;& c",
     {p(K::Text, "a "), p(K::CharacterReference, "&amp;"), p(K::Text, " b "),
      p(K::CharacterReference, "&#x41;"), p(K::Text, "& c")}},
    {"ReferenceWithoutSemicolon", "&copy 1", {p(K::CharacterReference, "&copy"), p(K::Text, " 1")}},
    {"LessThanThatOpensNothing", "a < b </ >", {p(K::Text, "a < b </ >")}},
    {"AttributesOfEveryForm",
     "<a href=\"x y\" title='z' id=k disabled>",
     {p(K::TagBracket, "<"), p(K::TagName, "a"), p(K::TagBracket, " "), p(K::AttributeName, "href"),
      p(K::TagBracket, "="), p(K::AttributeValue, "\"x y\""), p(K::TagBracket, " "),
      p(K::AttributeName, "title"), p(K::TagBracket, "="), p(K::AttributeValue, "'z'"),
      p(K::TagBracket, " "), p(K::AttributeName, "id"), p(K::TagBracket, "="),
      p(K::AttributeValue, "k"), p(K::TagBracket, " "), p(K::AttributeName, "disabled"),
      p(K::TagBracket, ">")}},
    {"SpacesAroundEquals",
     "<a x = 'v' >",
     {p(K::TagBracket, "<"), p(K::TagName, "a"), p(K::TagBracket, " "), p(K::AttributeName, "x"),
      p(K::TagBracket, " = "), p(K::AttributeValue, "'v'"), p(K::TagBracket, " >")}},
    {"SelfClosingAndEndTags",
     "<br/></p>t",
     {p(K::TagBracket, "<"), p(K::TagName, "br"), p(K::TagBracket, "/></"), p(K::TagName, "p"),
      p(K::TagBracket, ">"), p(K::Text, "t")}},
    {"TagOverLines",
     "<a\r\nhref=x\n>",
     {p(K::TagBracket, "<"), p(K::TagName, "a"), p(K::TagBracket, "\r\n"),
      p(K::AttributeName, "href"), p(K::TagBracket, "="), p(K::AttributeValue, "x"),
      p(K::TagBracket, "\n>")}},
    {"Comment", "<!-- a -- b -->x", {p(K::Comment, "<!-- a -- b -->"), p(K::Text, "x")}},
    {"CommentsClosedAtOnce",
     "<!-->x<!--->y",
     {p(K::Comment, "<!-->"), p(K::Text, "x"), p(K::Comment, "<!--->"), p(K::Text, "y")}},
    {"Doctype", "<!DOCTYPE html>x", {p(K::Doctype, "<!DOCTYPE html>"), p(K::Text, "x")}},
    {"CData", "<![CDATA[ a ]] ]]>x", {p(K::CData, "<![CDATA[ a ]] ]]>"), p(K::Text, "x")}},
    {"TemplateBlocks",
     "<?php echo '>'; ?>x<% y %>{{ z }}w",
     {p(K::Template, "<?php echo '>'; ?>"), p(K::Text, "x"), p(K::Template, "<% y %>{{ z }}"),
      p(K::Text, "w")}},
    {"TemplateInsideAttributeValue",
     "<a href=\"{{u}}/x\">",
     {p(K::TagBracket, "<"), p(K::TagName, "a"), p(K::TagBracket, " "), p(K::AttributeName, "href"),
      p(K::TagBracket, "="), p(K::AttributeValue, "\""), p(K::Template, "{{u}}"),
      p(K::AttributeValue, "/x\""), p(K::TagBracket, ">")}},
    {"ScriptTokens",
     "<script>var a = \"s\\\"\" + 1.5; // c\nx = /r[/]e/g;</script>",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"),
      p(K::ScriptKeyword, "var"), p(K::ScriptCode, " a = "), p(K::ScriptString, "\"s\\\"\""),
      p(K::ScriptCode, " + "), p(K::ScriptNumber, "1.5"), p(K::ScriptCode, "; "),
      p(K::ScriptComment, "// c"), p(K::ScriptCode, "\nx = "), p(K::ScriptRegex, "/r[/]e/g"),
      p(K::ScriptCode, ";"), p(K::TagBracket, "</"), p(K::TagName, "script"),
      p(K::TagBracket, ">")}},
    {"DivisionIsNoRegularExpression",
     "<script>a / b / c; f() / 2</script>",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"),
      p(K::ScriptCode, "a / b / c; f() / "), p(K::ScriptNumber, "2"), p(K::TagBracket, "</"),
      p(K::TagName, "script"), p(K::TagBracket, ">")}},
    {"KeywordsAreWholeWords",
     "<script>iffy this.returned /* x */</script>",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"),
      p(K::ScriptCode, "iffy "), p(K::ScriptKeyword, "this"), p(K::ScriptCode, ".returned "),
      p(K::ScriptComment, "/* x */"), p(K::TagBracket, "</"), p(K::TagName, "script"),
      p(K::TagBracket, ">")}},
    {"ScriptEndsInsideAString",
     "<SCRIPT>'a</ScRiPt >b",
     {p(K::TagBracket, "<"), p(K::TagName, "SCRIPT"), p(K::TagBracket, ">"),
      p(K::ScriptString, "'a"), p(K::TagBracket, "</"), p(K::TagName, "ScRiPt"),
      p(K::TagBracket, " >"), p(K::Text, "b")}},
    {"OtherEndTagsStayScript",
     "<script>x='</b>'</scripts></script>",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"), p(K::ScriptCode, "x="),
      p(K::ScriptString, "'</b>'"), p(K::ScriptCode, "</scripts>"), p(K::TagBracket, "</"),
      p(K::TagName, "script"), p(K::TagBracket, ">")}},
    {"LessThanInAScriptLineComment",
     "<script>// a<b\nc</script>",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"),
      p(K::ScriptComment, "// a<b"), p(K::ScriptCode, "\nc"), p(K::TagBracket, "</"),
      p(K::TagName, "script"), p(K::TagBracket, ">")}},
    {"ScriptEndsInsideALineComment",
     "<script>//<</script>y",
     {p(K::TagBracket, "<"), p(K::TagName, "script"), p(K::TagBracket, ">"),
      p(K::ScriptComment, "//<"), p(K::TagBracket, "</"), p(K::TagName, "script"),
      p(K::TagBracket, ">"), p(K::Text, "y")}},
    {"TextareaHoldsNoTags",
     "<textarea><b>&lt;</textarea>",
     {p(K::TagBracket, "<"), p(K::TagName, "textarea"), p(K::TagBracket, ">"), p(K::Text, "<b>"),
      p(K::CharacterReference, "&lt;"), p(K::TagBracket, "</"), p(K::TagName, "textarea"),
      p(K::TagBracket, ">")}},
    {"TitleHoldsNoComments",
     "<title><!--x</title>",
     {p(K::TagBracket, "<"), p(K::TagName, "title"), p(K::TagBracket, ">"), p(K::Text, "<!--x"),
      p(K::TagBracket, "</"), p(K::TagName, "title"), p(K::TagBracket, ">")}},
    {"StyleRulesAndDeclarations",
     "<style>@media screen{a:hover{color:red;}}p{margin:0 \"s\"}/*c*/</style>",
     {p(K::TagBracket, "<"), p(K::TagName, "style"), p(K::TagBracket, ">"),
      p(K::StyleAtRule, "@media"), p(K::StyleSelector, " screen{a:hover{"),
      p(K::StyleProperty, "color"), p(K::StyleValue, ":red;"), p(K::StyleSelector, "}}p{"),
      p(K::StyleProperty, "margin"), p(K::StyleValue, ":0 "), p(K::StyleString, "\"s\""),
      p(K::StyleSelector, "}"), p(K::StyleComment, "/*c*/"), p(K::TagBracket, "</"),
      p(K::TagName, "style"), p(K::TagBracket, ">")}},
    {"ImportEndsWithSemicolon",
     "<style>@import url(a.css);b{}</style>",
     {p(K::TagBracket, "<"), p(K::TagName, "style"), p(K::TagBracket, ">"),
      p(K::StyleAtRule, "@import"), p(K::StyleSelector, " url(a.css);b{}"), p(K::TagBracket, "</"),
      p(K::TagName, "style"), p(K::TagBracket, ">")}},
};

INSTANTIATE_TEST_SUITE_P(HtmlLexer, LexerStates, testing::ValuesIn(stateCases),
                         [](const testing::TestParamInfo<StateCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

// Lexing a text in two pieces, split at `split`, gives what lexing it whole gives.
void expectSplitEqualsWhole(const QString& text, qsizetype split)
{
    LexState wholeEnd;
    const std::vector<TokenRun> whole = lexWhole(text, &wholeEnd);
    std::vector<TokenRun> pieces;
    LexState state = HtmlLexer::lex(LexState(), text, split, pieces);
    state = HtmlLexer::lex(state, QStringView(text).sliced(split), text.size() - split, pieces);
    ASSERT_EQ(piecesOf(text, pieces), piecesOf(text, whole)) << "split at " << split;
    ASSERT_TRUE(state == wholeEnd) << "split at " << split;
}

TEST(HtmlLexerPieces, EveryStateCaseSplitAnywhereEqualsWhole)
{
    QString all;
    for (const StateCase& c : stateCases)
        all += QString::fromUtf8(c.text);
    for (qsizetype split = 0; split <= all.size(); ++split)
        expectSplitEqualsWhole(all, split);
}

TEST(HtmlLexerPieces, RandomPagesSplitAnywhereEqualWhole)
{
    std::mt19937 random(20261208);
    for (int page = 0; page < 40; ++page) {
        const QString text = randomPage(random, 60);
        for (qsizetype split = 0; split <= text.size(); ++split)
            expectSplitEqualsWhole(text, split);
    }
}

TEST(HtmlLexerPieces, ManySmallPiecesEqualWhole)
{
    std::mt19937 random(7);
    for (int page = 0; page < 40; ++page) {
        const QString text = randomPage(random, 200);
        LexState wholeEnd;
        const std::vector<TokenRun> whole = lexWhole(text, &wholeEnd);
        std::vector<TokenRun> runs;
        LexState state;
        std::uniform_int_distribution<qsizetype> size(0, 7);
        for (qsizetype at = 0; at < text.size();) {
            const qsizetype n = std::min(size(random), text.size() - at);
            state = HtmlLexer::lex(state, QStringView(text).sliced(at), n, runs);
            at += n;
        }
        EXPECT_EQ(piecesOf(text, runs), piecesOf(text, whole));
        EXPECT_TRUE(state == wholeEnd);
    }
}

TEST(HtmlLexerPieces, RunsCoverTheTextExactly)
{
    std::mt19937 random(3);
    for (int page = 0; page < 20; ++page) {
        const QString text = randomPage(random, 100);
        qsizetype covered = 0;
        for (const TokenRun& run : lexWhole(text)) {
            EXPECT_GT(run.length, 0);
            covered += run.length;
        }
        EXPECT_EQ(covered, text.size());
    }
}

TEST(HtmlLexerTokens, ArePlacedOneAfterAnother)
{
    const QString text = QStringLiteral("<b>x</b>");
    EXPECT_EQ(HtmlLexer::tokens(text), (std::vector<Token>{{0, 1, K::TagBracket},
                                                           {1, 1, K::TagName},
                                                           {2, 1, K::TagBracket},
                                                           {3, 1, K::Text},
                                                           {4, 2, K::TagBracket},
                                                           {6, 1, K::TagName},
                                                           {7, 1, K::TagBracket}}));
    EXPECT_TRUE(HtmlLexer::tokens(QString()).empty());
}

} // namespace
