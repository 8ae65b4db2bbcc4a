// The tags of a page in source order and the element a source position lies in; the pairing of
// start tags with the elements the browser built.
#include "syntax/TagOutline.h"
#include "support/TestNames.h"
#include "syntax/ElementAlignment.h"

#include <gtest/gtest.h>

namespace {

struct OutlineCase
{
    const char* name;
    // The page, with '|' where the position lies.
    const char* page;
    QStringList startTags;
    // The element at the position, and which of its name's start tags it is (0: the first).
    const char* element;
    int occurrence = 0;
};

void PrintTo(const OutlineCase& c, std::ostream* os)
{
    *os << c.page;
}

class TagOutlineAt : public ::testing::TestWithParam<OutlineCase>
{};

TEST_P(TagOutlineAt, FindsTagsAndTheElementAtThePosition)
{
    const OutlineCase& c = GetParam();
    QString page = QString::fromUtf8(c.page);
    const qsizetype position = page.indexOf(QLatin1Char('|'));
    ASSERT_GE(position, 0);
    page.remove(position, 1);

    const TagOutline outline = TagOutline::of(page);
    EXPECT_EQ(outline.startTagNames(), c.startTags);
    const qsizetype element = outline.elementAt(position);
    if (!*c.element) {
        EXPECT_EQ(element, -1);
        return;
    }
    ASSERT_GE(element, 0);
    const TagAt& tag = outline.tags()[std::size_t(outline.startTags()[std::size_t(element)])];
    EXPECT_EQ(tag.name, QString::fromLatin1(c.element));
    // The tag starts at the n-th "<name" of the page, in any letter case.
    qsizetype expected = -1;
    for (int n = 0; n <= c.occurrence; ++n)
        expected = page.indexOf(QLatin1Char('<') + QLatin1String(c.element), expected + 1,
                                Qt::CaseInsensitive);
    EXPECT_EQ(tag.start, expected);
}

const OutlineCase outlineCases[] = {
    {"Nested", "<div><p>a<b>b|</b></p></div>", {"div", "p", "b"}, "b"},
    {"AfterAnEndTag", "<div><p>a</p>|x</div>", {"div", "p"}, "div"},
    {"InsideAnEndTag", "<div><p>a</|p></div>", {"div", "p"}, "div"},
    {"InsideAStartTag", "<div><p cl|ass=x>a</p></div>", {"div", "p"}, "p"},
    {"AfterAVoidElement", "<p>a<br>|b</p>", {"p", "br"}, "p"},
    {"InsideAVoidElement", "<p><img s|rc=x></p>", {"p", "img"}, "img"},
    {"SelfClosedForeignElement", "<svg><circle r=\"1\"/>|</svg>", {"svg", "circle"}, "svg"},
    {"SlashInAnUnquotedValue", "<svg><circle r=1/>|</svg>", {"svg", "circle"}, "circle"},
    {"ImpliedEndOfAListItem", "<ul><li>a<li>b|</ul>", {"ul", "li", "li"}, "li", 1},
    {"ImpliedEndOfAParagraph", "<p>a<div>|</div>", {"p", "div"}, "div"},
    {"StrayEndTag", "<div></span>|</div>", {"div"}, "div"},
    {"Comment", "<div><!-- <p> -->|</div>", {"div"}, "div"},
    {"Script", "<script>var s = '<p>' + '</b>';|</script>", {"script"}, "script"},
    {"Style", "<style>a<b{color:red}</style><i>|", {"style", "i"}, "i"},
    {"TitleAndTextarea",
     "<title><b>t</b></title><textarea><p></textarea>|",
     {"title", "textarea"},
     ""},
    {"Doctype", "<!DOCTYPE html><html><body>|", {"html", "body"}, "body"},
    {"UpperCase", "<DIV><P>|</P></DIV>", {"div", "p"}, "p"},
    {"BeforeEveryTag", "|<p>a</p>", {"p"}, ""},
    {"AfterEveryElement", "<p>a</p>|", {"p"}, ""},
    {"Unfinished", "<div><p|", {"div", "p"}, "p"},
};

INSTANTIATE_TEST_SUITE_P(Pages, TagOutlineAt, ::testing::ValuesIn(outlineCases),
                         [](const auto& pageCase) { return std::string(pageCase.param.name); });

// A big page on one line: positions are characters, and the last element is found at its end.
TEST(TagOutline, SingleLinePageOfFiveMegabytes)
{
    const QString unit = QStringLiteral("<div class=c><span>x</span></div>");
    const qsizetype units = 5 * 1024 * 1024 / unit.size();
    QString page = unit.repeated(units);
    const qsizetype lastStart = page.size();
    page += QStringLiteral("<p>end</p>");

    const TagOutline outline = TagOutline::of(page);
    ASSERT_EQ(qsizetype(outline.startTags().size()), 2 * units + 1);
    const qsizetype element = outline.elementAt(page.size() - 5);
    EXPECT_EQ(element, 2 * units);
    EXPECT_EQ(outline.tags()[std::size_t(outline.startTags()[std::size_t(element)])].start,
              lastStart);
    // Between two units the position is outside every element.
    EXPECT_EQ(outline.elementAt(unit.size()), -1);
}

// The caret asks for its element at every move: the quick answer is the replay's at every
// position of pages that open, close, imply and leave elements unfinished.
TEST(TagOutline, QuickAnswerIsTheReplaysEverywhere)
{
    const char* const pages[] = {
        "<div><p>a<b>b</b></p></div><ul><li>a<li>b</ul><p>a<div>x</div>",
        "<p>a<br>b<img src=x><input/>c</p><svg><circle r=\"1\"/><g/></svg><hr>",
        "<table><tr><td>a<td>b<tr><td>c</table><select><option>a<option>b</select>",
        "<div></span><script>'<p>'</script><!-- <b> --><i>x</I></DIV>",
        "<p>a<br<p>b</p><img src=\"x\"<div>c</div><br",
        "<br <p>a</p><img alt='<b>' <i>x</i><input\n<div>y</div><br/<span>z",
        "<br\"<p>a</p>\"><img src='x><b>'>c<br=<p>d</p>",
        "<dl><dt>a<dd>b<dt>c</dl><p>open<p>implied<h1>head</h1>",
        "",
        "text only",
    };
    for (const char* page : pages) {
        const QString text = QString::fromUtf8(page);
        const TagOutline outline = TagOutline::of(text);
        for (qsizetype position = 0; position <= text.size() + 1; ++position)
            ASSERT_EQ(outline.elementAt(position), outline.elementAtByReplay(position))
                << page << " at " << position;
    }
}

struct AlignmentCase
{
    const char* name;
    QStringList sourceTags;
    QStringList elements;
    // For each source tag, its element (-1: none).
    std::vector<qsizetype> elementOfTag;
};

void PrintTo(const AlignmentCase& c, std::ostream* os)
{
    *os << c.name;
}

class ElementAlignmentOf : public ::testing::TestWithParam<AlignmentCase>
{};

TEST_P(ElementAlignmentOf, PairsTagsWithElements)
{
    const AlignmentCase& c = GetParam();
    const ElementAlignment alignment(c.sourceTags, c.elements);
    std::vector<qsizetype> found;
    for (qsizetype tag = 0; tag < c.sourceTags.size(); ++tag)
        found.push_back(alignment.elementOfTag(tag));
    EXPECT_EQ(found, c.elementOfTag);
    // The way back gives the same pairs, and elements without a tag have none.
    for (qsizetype element = 0; element < c.elements.size(); ++element) {
        const qsizetype tag = alignment.tagOfElement(element);
        if (tag >= 0)
            EXPECT_EQ(c.elementOfTag[std::size_t(tag)], element) << "element " << element;
        else
            EXPECT_EQ(std::count(found.begin(), found.end(), element), 0) << "element " << element;
    }
    EXPECT_EQ(alignment.elementOfTag(c.sourceTags.size()), -1);
    EXPECT_EQ(alignment.tagOfElement(-1), -1);
}

const QStringList implied = {"html", "head", "body"};

const AlignmentCase alignmentCases[] = {
    {"ImpliedHtmlHeadBody", {"div", "p"}, implied + QStringList{"div", "p"}, {3, 4}},
    {"ExplicitHtmlAndBody", {"html", "body", "p"}, implied + QStringList{"p"}, {0, 2, 3}},
    {"TitleInAnImpliedHead", {"title", "p"}, {"html", "head", "title", "body", "p"}, {2, 4}},
    {"ImpliedTbody",
     {"table", "tr", "td", "tr", "td", "p"},
     implied + QStringList{"table", "tbody", "tr", "td", "tr", "td", "p"},
     {3, 5, 6, 7, 8, 9}},
    {"ImpliedColgroup",
     {"table", "col", "tr"},
     implied + QStringList{"table", "colgroup", "col", "tbody", "tr"},
     {3, 5, 7}},
    {"SecondBodyMakesNoElement",
     {"body", "p", "body", "i"},
     implied + QStringList{"p", "i"},
     {2, 3, -1, 4}},
    {"ElementsAddedByAScript",
     {"div", "p"},
     implied + QStringList{"div", "span", "span", "p"},
     {3, 6}},
    {"TemplateContentIsNotInTheDocument",
     {"template", "p", "i"},
     implied + QStringList{"template", "i"},
     {3, -1, 4}},
    {"NoscriptContentIsText",
     {"noscript", "img", "div", "img"},
     implied + QStringList{"noscript", "div", "img"},
     {3, -1, 4, 5}},
    {"StrayHtmlTagInTheBody", {"p", "html", "i"}, implied + QStringList{"p", "i"}, {3, -1, 4}},
    {"NoElementsYet", {"p"}, {}, {-1}},
};

INSTANTIATE_TEST_SUITE_P(Pages, ElementAlignmentOf, ::testing::ValuesIn(alignmentCases),
                         [](const auto& pageCase) { return std::string(pageCase.param.name); });

// The outline's tags of a real page against the elements a browser builds from it.
TEST(ElementAlignment, OutlineOfAPageWithImpliedElements)
{
    const QString page = QStringLiteral(
        "<!DOCTYPE html><title>t</title><!-- <div> --><table><tr><td>a</td></tr></table>"
        "<script>document.write('<b>')</script><p>x</p>");
    const QStringList elements = {"html", "head", "title",  "body", "table", "tbody",
                                  "tr",   "td",   "script", "b",    "p"};
    const TagOutline outline = TagOutline::of(page);
    const ElementAlignment alignment(outline.startTagNames(), elements);
    const qsizetype p = outline.elementAt(page.indexOf(QLatin1String("x</p>")));
    EXPECT_EQ(alignment.elementOfTag(p), 10);
    EXPECT_EQ(alignment.tagOfElement(7), outline.elementAt(page.indexOf(QLatin1String("a</td>"))));
    EXPECT_EQ(alignment.tagOfElement(5), -1) << "tbody has no tag";
}

} // namespace
