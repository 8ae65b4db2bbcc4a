#include "syntax/HtmlTags.h"

#include <gtest/gtest.h>

namespace {

struct Page
{
    QString text;
    LexCheckpoints::Reader reader = [this](qsizetype position, qsizetype length) {
        return text.mid(position, length);
    };
    LexCheckpoints checkpoints{reader, 0};
    HtmlTags tags{checkpoints, reader};

    explicit Page(const QString& page) : text(page) { checkpoints.reset(text.size()); }
    // The partner of the tag whose name holds the `occurrence`-th (from 0) `marker`.
    HtmlTags::Match partnerAt(const QString& marker, int occurrence = 0)
    {
        qsizetype at = -1;
        for (int k = 0; k <= occurrence; ++k)
            at = text.indexOf(marker, at + 1);
        const std::optional<TagAt> tag = tags.tagAt(at + marker.size() - 1);
        EXPECT_TRUE(tag.has_value()) << marker.toStdString();
        return tag ? tags.partnerOf(*tag, 1 << 20) : HtmlTags::Match{};
    }
};

using Partner = HtmlTags::Partner;

struct MatchCase
{
    const char* name;
    const char* page;
    const char* caretIn; // the tag whose name holds the caret: its text up to the caret
    int occurrence;
    Partner kind;
    qsizetype partnerStart; // -1: none
};

class TagPartners : public testing::TestWithParam<MatchCase>
{};

TEST_P(TagPartners, AreFoundAsBrowsersPairThem)
{
    const MatchCase& c = GetParam();
    Page page(QString::fromUtf8(c.page));
    const HtmlTags::Match match = page.partnerAt(QString::fromUtf8(c.caretIn), c.occurrence);
    EXPECT_EQ(match.kind, c.kind);
    if (c.partnerStart >= 0) {
        EXPECT_EQ(match.partner.start, c.partnerStart);
    }
}

const MatchCase matchCases[] = {
    {"NestedSameName", "<div><div>a</div></div>", "<div", 0, Partner::Found, 17},
    {"InnerOfNested", "<div><div>a</div></div>", "<div", 1, Partner::Found, 11},
    {"EndTagBackward", "<div><div>a</div></div>", "</div", 1, Partner::Found, 0},
    {"UpperCaseNames", "<DIV>a</div>", "<DIV", 0, Partner::Found, 6},
    {"Unclosed", "<div><span>a</div>", "<span", 0, Partner::Missing, -1},
    {"EndTagWithoutStart", "a</b>", "</b", 0, Partner::Missing, -1},
    {"VoidElement", "<br><img src=x>", "<img", 0, Partner::NotNeeded, -1},
    {"SelfClosed", "<svg><path d=x/></svg>", "<path", 0, Partner::NotNeeded, -1},
    {"VoidInsideCounts", "<p><br>a</p>", "<p", 0, Partner::Found, 8},
    {"ParagraphEndedByBlock", "<p>a<div>b</div>", "<p", 0, Partner::Implied, 4},
    {"ListItemsEndEachOther", "<ul><li>a<li>b</ul>", "<li", 0, Partner::Implied, 9},
    {"LastItemEndedByList", "<ul><li>a<li>b</ul>", "<li", 1, Partner::Implied, 14},
    {"ListFindsItsEnd", "<ul><li>a<li>b</ul>", "<ul", 0, Partner::Found, 14},
    {"TableCells", "<tr><td>a<td>b</tr>", "<tr", 0, Partner::Found, 14},
    {"TagsInCommentsAreNoTags", "<b><!-- </b> --></b>", "<b", 0, Partner::Found, 16},
    {"TagsInScriptAreNoTags", "<div><script>x='</div>'</script></div>", "<div", 0, Partner::Found,
     32},
};

INSTANTIATE_TEST_SUITE_P(HtmlTags, TagPartners, testing::ValuesIn(matchCases),
                         [](const testing::TestParamInfo<MatchCase>& caseInfo) {
                             return std::string(caseInfo.param.name);
                         });

TEST(HtmlTags, CaretOutsideANameFindsNoTag)
{
    Page page(QStringLiteral("<a href=x>text</a>"));
    EXPECT_FALSE(page.tags.tagAt(12).has_value()); // in the text
    EXPECT_FALSE(page.tags.tagAt(5).has_value());  // in an attribute
    EXPECT_TRUE(page.tags.tagAt(2).has_value());   // just after the name
}

TEST(HtmlTags, SearchStopsAtItsBudget)
{
    Page page(QStringLiteral("<div>") + QStringLiteral("<p>x</p>").repeated(100000) +
              QStringLiteral("</div>"));
    const std::optional<TagAt> tag = page.tags.tagAt(2);
    ASSERT_TRUE(tag.has_value());
    EXPECT_EQ(page.tags.partnerOf(*tag, 10000).kind, Partner::Unknown);
    EXPECT_EQ(page.tags.partnerOf(*tag, 1 << 22).kind, Partner::Found);
}

struct OpenCase
{
    const char* before;
    const char* open;
};

TEST(HtmlTags, InnermostOpenElement)
{
    const OpenCase cases[] = {
        {"<div><p>text", "p"},
        {"<div><p>text</p>", "div"},
        {"<ul><li>a</li><li>b", "li"},
        {"<div><br><img src=x>", "div"},
        {"<div><svg><path/>", "svg"},
        {"<b><!-- <i> -->", "b"},
        {"<div><script>var s = '<span>';</script>", "div"},
        {"<table><tr><td>a</td></tr></table>", ""},
        {"plain", ""},
    };
    for (const OpenCase& c : cases) {
        Page page(QString::fromUtf8(c.before));
        EXPECT_EQ(page.tags.openElementBefore(page.text.size(), 1 << 20), QString::fromUtf8(c.open))
            << c.before;
    }
}

} // namespace
