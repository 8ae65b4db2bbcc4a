// Find next, replace and replace all on a real source editor. Positions count each line break as
// CR LF.
#include "editor/SearchState.h"
#include "text/SourceEditor.h"

#include <gtest/gtest.h>

namespace {

class SearchStateTest : public ::testing::Test
{
protected:
    // `text` with '\n' line breaks; the caret at `selStart` with `selLength` selected.
    void load(const QString& text, int selStart = 0, int selLength = 0)
    {
        editor.LoadText(text);
        editor.SetModified(false);
        select(selStart, selLength);
    }
    void select(int start, int length)
    {
        editor.SetSelStart(start);
        editor.SetSelLength(length);
    }
    // Opens a dialog (anchoring) and presses find next once.
    bool openAndFind(const QString& text)
    {
        search.anchor(editor);
        return search.findNext(editor, text);
    }
    void expectSelection(int start, int length)
    {
        EXPECT_EQ(editor.SelStart(), start);
        EXPECT_EQ(editor.SelLength(), length);
    }

    SourceEditor editor;
    SearchState search;
};

TEST_F(SearchStateTest, SearchBeginsAtTheEndOfTheSelectionOrTheCaret)
{
    struct Case
    {
        const char* name;
        QString text;
        int selStart, selLength;
        QString sought;
        int expected; // -1: not found
    };
    const Case cases[] = {
        // "abc" at 0, 4, 8 and 12; the caret at 10 is past the match at 8.
        {"caret at 10", "abc abc abc abc", 10, 0, "abc", 12},
        {"caret on a match", "abc abc abc abc", 8, 0, "abc", 8},
        // Search begins at 9: the match at 7 begins inside the selection 5..9.
        {"selection 5..9", "0123456abc0abc", 5, 4, "abc", 11},
        {"selection covers the match", "0123456abc", 5, 5, "abc", -1},
        {"match before the caret only", "abc def", 3, 0, "abc", -1},
        {"match must end before the end", "abcab", 3, 0, "abc", -1},
        {"caret at the end", "abc", 3, 0, "abc", -1},
        {"empty find text", "abc", 0, 0, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.text, c.selStart, c.selLength);
        const bool found = openAndFind(c.sought);
        EXPECT_EQ(found, c.expected >= 0);
        if (c.expected >= 0) {
            expectSelection(c.expected, int(c.sought.size()));
            EXPECT_EQ(search.searchPosition(), c.expected + c.sought.size());
        } else {
            expectSelection(c.selStart, c.selLength);
            EXPECT_EQ(search.searchPosition(), c.selStart + c.selLength);
        }
    }
}

TEST_F(SearchStateTest, IgnoresLetterCase)
{
    const struct
    {
        QString text, sought;
        int expected;
    } cases[] = {
        {"xx ABC", "abc", 3},       {"xx abc", "ABC", 3},   {"xx <TaBlE>", "<table>", 3},
        {"xx ПРИВЕТ", "привет", 3}, {"xx Ёлка", "ёЛКА", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        load(c.text);
        ASSERT_TRUE(openAndFind(c.sought));
        expectSelection(c.expected, int(c.sought.size()));
    }
}

TEST_F(SearchStateTest, SuccessiveFindsWalkTheMatchesWithoutOverlapAndNeverWrap)
{
    load("aaaa");
    ASSERT_TRUE(openAndFind("aa"));
    expectSelection(0, 2);
    ASSERT_TRUE(search.findNext(editor, "aa"));
    expectSelection(2, 2);
    EXPECT_FALSE(search.findNext(editor, "aa"));
    EXPECT_FALSE(search.findNext(editor, "aa"));
    expectSelection(2, 2);
    EXPECT_EQ(search.searchPosition(), 4);
}

TEST_F(SearchStateTest, FailedSearchKeepsTheSelectionAndThePosition)
{
    load("one two three");
    ASSERT_TRUE(openAndFind("two"));
    EXPECT_FALSE(search.findNext(editor, "four"));
    expectSelection(4, 3);
    EXPECT_EQ(search.searchPosition(), 7);
}

TEST_F(SearchStateTest, FoundMatchStaysVisibleWithoutTheFocus)
{
    load("one two");
    ASSERT_TRUE(editor.HideSelection());
    EXPECT_FALSE(openAndFind("zzz"));
    EXPECT_TRUE(editor.HideSelection());
    ASSERT_TRUE(openAndFind("two"));
    EXPECT_FALSE(editor.HideSelection());
}

TEST_F(SearchStateTest, OnlyReopeningADialogMovesTheSearchToTheCaret)
{
    load("abc abc abc");
    ASSERT_TRUE(openAndFind("abc"));
    ASSERT_TRUE(search.findNext(editor, "abc"));
    expectSelection(4, 3);
    // The user clicks back to the start while the dialog stays open: the search goes on.
    select(0, 0);
    ASSERT_TRUE(search.findNext(editor, "abc"));
    expectSelection(8, 3);
    // F3 re-anchors at the caret.
    select(0, 0);
    ASSERT_TRUE(openAndFind("abc"));
    expectSelection(0, 3);
}

TEST_F(SearchStateTest, PositionBeyondTheEndAfterADeletionFindsNothing)
{
    load("abc abc abc");
    ASSERT_TRUE(openAndFind("abc"));
    ASSERT_TRUE(search.findNext(editor, "abc"));
    ASSERT_EQ(search.searchPosition(), 7);
    // The text shrinks below the search position while the dialog stays open.
    select(0, 11);
    editor.SetSelText("abc");
    ASSERT_EQ(editor.TextLength(), 3);
    EXPECT_FALSE(search.findNext(editor, "abc"));
    EXPECT_EQ(search.searchPosition(), 7);
    EXPECT_EQ(editor.Text(), "abc");
}

TEST_F(SearchStateTest, PositionsCountLineBreaksAsTwo)
{
    // "line1" 0..4, break 5..6, "line2 abc" 7..15 with "abc" at 13, break 16..17, "abc" at 18.
    load("line1\nline2 abc\nabc");
    ASSERT_TRUE(openAndFind("ABC"));
    expectSelection(13, 3);
    EXPECT_EQ(search.searchPosition(), 16);
    ASSERT_TRUE(search.findNext(editor, "abc"));
    expectSelection(18, 3);
    EXPECT_EQ(editor.SelText(), "abc");

    select(14, 0);
    ASSERT_TRUE(openAndFind("abc"));
    expectSelection(18, 3);

    // A find text with a line break matches across it, however the break is written.
    for (const QString& sought : {QString("abc\r\nab"), QString("abc\nab"), QString("abc\rab")}) {
        select(0, 0);
        ASSERT_TRUE(openAndFind(sought));
        expectSelection(13, 7);
    }
}

TEST_F(SearchStateTest, ReplaceSelectsTheInsertedTextAndKeepsThePosition)
{
    load("a b");
    ASSERT_TRUE(openAndFind("a"));
    expectSelection(0, 1);
    SearchState::replaceSelection(editor, "aa");
    EXPECT_EQ(editor.Text(), "aa b");
    expectSelection(0, 2);
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(search.searchPosition(), 1);
    // The next find starts at 1, inside the inserted text.
    ASSERT_TRUE(search.findNext(editor, "a"));
    expectSelection(1, 1);
}

TEST_F(SearchStateTest, ReplaceWorksOnWhateverIsSelected)
{
    struct Case
    {
        const char* name;
        QString text;
        int selStart, selLength;
        QString replacement, expectedText;
        int expectedLength;
    };
    const Case cases[] = {
        {"not a match", "one two", 4, 3, "2", "one 2", 1},
        {"across a line break", "one\ntwo", 2, 4, "-", "on-wo", 1},
        {"with a line break", "one two", 3, 1, "\r\n", "one\r\ntwo", 2},
        {"with a bare LF", "one two", 3, 1, "\n", "one\r\ntwo", 2},
        {"by nothing", "one two", 3, 4, "", "one", 0},
        {"empty selection", "one two", 3, 0, "xyz", "one two", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.text, c.selStart, c.selLength);
        SearchState::replaceSelection(editor, c.replacement);
        EXPECT_EQ(editor.Text(), c.expectedText);
        expectSelection(c.selStart, c.expectedLength);
        EXPECT_EQ(editor.Modified(), c.selLength > 0);
    }
}

TEST_F(SearchStateTest, ReplaceCanBeUndone)
{
    load("one two three");
    ASSERT_TRUE(openAndFind("two"));
    SearchState::replaceSelection(editor, "2");
    ASSERT_EQ(editor.Text(), "one 2 three");
    editor.undo();
    EXPECT_EQ(editor.Text(), "one two three");
}

TEST_F(SearchStateTest, ReplaceAllReplacesEveryMatchInTheWholeText)
{
    struct Case
    {
        const char* name;
        QString text;
        int selStart, selLength;
        QString sought, replacement, expectedText;
        int expectedCaret;
    };
    const Case cases[] = {
        {"ignoring case", "Abc abc xABCx", 13, 0, "abc", "XY", "XY XY xXYx", 9},
        {"before the caret too", "abc abc", 7, 0, "abc", "d", "d d", 3},
        {"one selected, all replaced", "abc abc abc", 4, 3, "abc", "d", "d d d", 5},
        {"without overlap", "aaaaa", 0, 0, "aa", "b", "bba", 2},
        {"replacement holding the text", "a-a", 0, 0, "a", "aa", "aa-aa", 5},
        {"on several lines", "abc\nabc\nabc", 0, 0, "abc", "x", "x\r\nx\r\nx", 7},
        {"by nothing", "a-b-c", 0, 0, "-", "", "abc", 2},
        {"by a line break", "a-b", 0, 0, "-", "\r\n", "a\r\nb", 3},
        {"across line breaks", "ab\ncd ab\ncd", 0, 0, "B\r\nC", "_", "a_d a_d", 6},
        {"LF alone for a break", "ab\ncd ab\ncd", 0, 0, "b\nc", "_", "a_d a_d", 6},
        {"CR alone for a break", "ab\ncd ab\ncd", 0, 0, "b\rc", "_", "a_d a_d", 6},
        {"whole lines", "x\ny\nx\ny", 0, 0, "\nY\n", "-", "x-x\r\ny", 2},
        {"Cyrillic", "Тег тег", 0, 0, "ТЕГ", "tag", "tag tag", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.text, c.selStart, c.selLength);
        ASSERT_TRUE(SearchState::replaceAll(editor, c.sought, c.replacement));
        EXPECT_EQ(editor.Text(), c.expectedText);
        expectSelection(c.expectedCaret, 0);
        EXPECT_TRUE(editor.Modified());
    }
}

TEST_F(SearchStateTest, ReplaceAllWithoutAMatchChangesNothing)
{
    for (const QString& sought : {QString("xyz"), QString()}) {
        load("abc abc", 2, 3);
        EXPECT_FALSE(SearchState::replaceAll(editor, sought, "d"));
        EXPECT_EQ(editor.Text(), "abc abc");
        expectSelection(2, 3);
        EXPECT_FALSE(editor.Modified());
        EXPECT_FALSE(editor.buffer()->canUndo());
    }
}

TEST_F(SearchStateTest, ReplaceAllIsOneUndoableEditAndLeavesThePosition)
{
    load("cat\ndog cat\ncat");
    ASSERT_TRUE(openAndFind("cat"));
    ASSERT_EQ(search.searchPosition(), 3);
    ASSERT_TRUE(SearchState::replaceAll(editor, "cat", "bird"));
    ASSERT_EQ(editor.Text(), "bird\r\ndog bird\r\nbird");
    EXPECT_EQ(search.searchPosition(), 3);
    editor.undo();
    EXPECT_EQ(editor.Text(), "cat\r\ndog cat\r\ncat");
    EXPECT_FALSE(editor.buffer()->canUndo());
}

} // namespace
