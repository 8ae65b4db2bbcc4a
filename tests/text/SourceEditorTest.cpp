#include "text/SourceEditor.h"
#include "text/TextMeasure.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

QString crlfOf(QString plain)
{
    return plain.replace(u'\n', QLatin1StringView("\r\n"));
}

// A CR LF position moved off the LF of a break onto its CR, as the editor reports it.
int reported(const QString& crlf, int pos)
{
    return pos > 0 && pos < crlf.size() && crlf[pos] == u'\n' && crlf[pos - 1] == u'\r' ? pos - 1
                                                                                        : pos;
}

// The first match wholly inside [start, start + length), by plain comparison at every position.
int referenceFind(const QString& crlf, const QString& needle, int start, int length)
{
    if (needle.isEmpty() || length <= 0)
        return -1;
    const qint64 end = std::min<qint64>(qint64(start) + length, crlf.size());
    for (qint64 m = std::max(start, 0); m + needle.size() <= end; ++m) {
        if (QStringView(crlf).mid(m, needle.size()).compare(needle, Qt::CaseInsensitive) == 0)
            return int(m);
    }
    return -1;
}

class RandomText
{
public:
    explicit RandomText(unsigned seed) : random_(seed) {}

    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    QChar letter()
    {
        static const QString letters = QStringLiteral("abcABCxyzXYZабвАБВёЁяЯ ");
        return letters[number(0, int(letters.size()) - 1)];
    }

    // Lines of a few letters, empty lines included, sometimes ending with a line break.
    QString document()
    {
        QString text;
        const int lines = number(1, 12);
        for (int line = 0; line < lines; ++line) {
            if (line > 0)
                text += u'\n';
            const int letters = number(0, 6);
            for (int i = 0; i < letters; ++i)
                text += letter();
        }
        if (number(0, 3) == 0)
            text += u'\n';
        return text;
    }

    // A piece of `crlf` with the case of its letters changed at random, or random letters.
    QString needle(const QString& crlf)
    {
        QString needle;
        if (number(0, 3) > 0 && !crlf.isEmpty()) {
            const int at = number(0, int(crlf.size()) - 1);
            needle = crlf.mid(at, number(1, 5));
            for (QChar& c : needle)
                c = number(0, 1) ? c.toUpper() : c.toLower();
        } else {
            for (int i = number(1, 3); i > 0; --i)
                needle += letter();
        }
        return needle;
    }

private:
    std::mt19937 random_;
};

class SourceEditorTest : public ::testing::Test
{
protected:
    SourceEditor editor;
};

TEST_F(SourceEditorTest, PositionsCountEachLineBreakAsTwoCharacters)
{
    RandomText random(20240601);
    for (int round = 0; round < 300; ++round) {
        const QString plain = random.document();
        const QString crlf = crlfOf(plain);
        const int length = int(crlf.size());
        editor.LoadText(plain);
        ASSERT_EQ(editor.Text(), crlf);
        ASSERT_EQ(editor.PlainText(), plain);
        ASSERT_EQ(editor.TextLength(), length);

        for (int i = 0; i < 10; ++i) {
            const int pos = random.number(-2, length + 2);
            const int selLength = random.number(-1, length + 2);
            editor.SetSelStart(pos);
            const int start = reported(crlf, std::clamp(pos, 0, length));
            ASSERT_EQ(editor.SelStart(), start) << qPrintable(crlf) << " at " << pos;
            ASSERT_EQ(editor.SelLength(), 0);

            editor.SetSelLength(selLength);
            const int end = reported(crlf, std::min(start + std::max(selLength, 0), length));
            ASSERT_EQ(editor.SelStart(), start);
            ASSERT_EQ(editor.SelLength(), end - start) << qPrintable(crlf) << " " << selLength;
            ASSERT_EQ(editor.SelText(), crlf.mid(start, end - start));
        }
    }
}

TEST_F(SourceEditorTest, FindTextMatchesPlainSearchOfTheCrlfText)
{
    RandomText random(77);
    for (int round = 0; round < 300; ++round) {
        const QString plain = random.document();
        const QString crlf = crlfOf(plain);
        const int length = int(crlf.size());
        editor.LoadText(plain);
        for (int i = 0; i < 20; ++i) {
            const QString needle = random.needle(crlf);
            const int start = random.number(-2, length + 2);
            const int range = random.number(-1, length + 2);
            ASSERT_EQ(editor.FindText(needle, start, range),
                      referenceFind(crlf, needle, start, range))
                << qPrintable(crlf) << " / " << qPrintable(needle) << " " << start << "+" << range;
        }
    }
}

TEST_F(SourceEditorTest, FindTextCases)
{
    struct Case
    {
        const char16_t* plain;
        const char16_t* needle;
        int start;
        int length;
        int expected;
    };
    const Case cases[] = {
        {u"aaaa", u"aa", 0, 4, 0},           {u"aaaa", u"aa", 2, 2, 2},
        {u"aaaa", u"aa", 3, 1, -1},      // would run past the range
        {u"xABC", u"abc", 0, 4, 1},      // letter case ignored
        {u"xabc", u"ABC", 0, 3, -1},     // match must end inside the range
        {u"Привет", u"пРИВЕТ", 0, 6, 0}, // Cyrillic case ignored
        {u"ab\ncd", u"b\r\nc", 0, 6, 1}, // across a line break
        {u"ab\ncd", u"\nc", 0, 6, 3},    // from the LF of the break
        {u"ab\ncd", u"\r", 0, 6, 2},     // the CR alone
        {u"ab\ncd", u"\r\nc", 3, 3, -1}, // start between CR and LF
        {u"ab\ncd", u"\nc", 3, 3, 3},    // start on the LF
        {u"ab\ncd", u"b\r\n", 0, 3, -1}, // range ends between CR and LF
        {u"ab\ncd", u"b\r", 0, 3, 1},    // ... the CR is inside it
        {u"ab\n\ncd", u"\r\n\r\n", 0, 8, 2}, {u"ab\ncd", u"c", 6, 5, -1}, // start at the end
        {u"ab\ncd", u"a", 9, 1, -1},                                      // start beyond the end
        {u"ab\ncd", u"a", 0, 0, -1},                                      // empty range
        {u"ab\ncd", u"", 0, 6, -1},                                       // nothing to seek
        {u"ab\ncd", u"b\u2029c", 0, 6, -1}, // the text never holds a paragraph separator
        {u"ab\ncd", u"d", -3, 9, 5},
    };
    for (const Case& c : cases) {
        editor.LoadText(QString::fromUtf16(c.plain));
        EXPECT_EQ(editor.FindText(QString::fromUtf16(c.needle), c.start, c.length), c.expected)
            << QString::fromUtf16(c.plain).toStdString() << " / "
            << QString::fromUtf16(c.needle).toStdString() << " " << c.start << "+" << c.length;
    }
}

// Searches share one copy of the text; every kind of change must reach the next search.
TEST_F(SourceEditorTest, FindTextSeesEveryChange)
{
    editor.LoadText(u"alpha beta"_qs);
    EXPECT_EQ(editor.FindText(u"beta"_qs, 0, 10), 6);

    editor.SetSelStart(0);
    editor.SetSelText(u"gamma\n"_qs);
    EXPECT_EQ(editor.FindText(u"beta"_qs, 0, 100), 13);
    EXPECT_EQ(editor.FindText(u"a\r\nal"_qs, 0, 100), 4);

    editor.SetSelStart(0);
    QTest::keyClicks(&editor, "xy");
    EXPECT_EQ(editor.FindText(u"Xyg"_qs, 0, 100), 0);

    editor.undo();
    EXPECT_EQ(editor.FindText(u"Xyg"_qs, 0, 100), -1);

    editor.LoadText(u"beta"_qs);
    EXPECT_EQ(editor.FindText(u"beta"_qs, 0, 100), 0);
    editor.clear();
    EXPECT_EQ(editor.FindText(u"beta"_qs, 0, 100), -1);
}

// Several edits between two searches, anywhere in the text, undone or not: the search still
// sees exactly the text the editor holds.
TEST_F(SourceEditorTest, FindTextFollowsRandomEditsBetweenSearches)
{
    RandomText random(4242);
    editor.LoadText(random.document());
    for (int round = 0; round < 300; ++round) {
        for (int edits = random.number(1, 4); edits > 0; --edits) {
            const int length = editor.TextLength();
            editor.SetSelStart(random.number(0, length));
            editor.SetSelLength(random.number(0, 4));
            switch (random.number(0, 3)) {
            case 0:
                editor.SetSelText(random.document().left(random.number(0, 8)));
                break;
            case 1:
                QTest::keyClick(&editor, Qt::Key_Delete);
                break;
            case 2:
                QTest::keyClicks(&editor, QStringLiteral("q"));
                break;
            default:
                editor.undo();
            }
        }
        const QString crlf = editor.Text();
        const QString needle = random.needle(crlf);
        ASSERT_EQ(editor.FindText(needle, 0, int(crlf.size())),
                  referenceFind(crlf, needle, 0, int(crlf.size())))
            << round << " " << qPrintable(crlf) << " / " << qPrintable(needle);
    }
}

TEST_F(SourceEditorTest, LoadTextKeepsModifiedAndStartsUndoAfresh)
{
    for (const bool modified : {false, true}) {
        editor.LoadText(u"first"_qs);
        editor.SetSelStart(5);
        editor.SetSelText(u" edit"_qs);
        editor.SetModified(modified);
        QSignalSpy changes(&editor, &SourceEditor::textChanged);
        editor.LoadText(u"second\nline"_qs);
        EXPECT_EQ(editor.Modified(), modified);
        EXPECT_GE(changes.count(), 1);
        EXPECT_FALSE(editor.buffer()->canUndo());
        EXPECT_EQ(editor.Text(), u"second\r\nline"_qs);

        editor.Clear();
        EXPECT_EQ(editor.Modified(), modified);
        EXPECT_EQ(editor.TextLength(), 0);
    }
}

TEST_F(SourceEditorTest, TypingSetsModified)
{
    editor.LoadText(u"abc"_qs);
    editor.SetModified(false);
    editor.SetSelStart(3);
    QTest::keyClicks(&editor, "dz");
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(editor.Text(), u"abcdz"_qs);
}

TEST_F(SourceEditorTest, SetSelTextIsOneUndoableEdit)
{
    editor.LoadText(u"one\ntwo three"_qs);
    editor.SetModified(false);
    editor.SetSelStart(5);
    editor.SetSelLength(3);
    ASSERT_EQ(editor.SelText(), u"two"_qs);
    QSignalSpy changes(&editor, &SourceEditor::textChanged);

    editor.SetSelText(u"1\r\n2\n3\r4"_qs);

    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(editor.Text(), u"one\r\n1\r\n2\r\n3\r\n4 three"_qs);
    EXPECT_EQ(editor.SelStart(), 15); // the caret after the inserted text
    EXPECT_EQ(editor.SelLength(), 0);
    EXPECT_EQ(editor.TextLength(), editor.Text().size());
    EXPECT_TRUE(editor.Modified());

    editor.undo();
    EXPECT_EQ(editor.Text(), u"one\r\ntwo three"_qs);
}

// The drawn width of a long line follows each edit.
TEST_F(SourceEditorTest, LongLineWidthFollowsEdits)
{
    editor.resize(400, 200);
    editor.LoadText(QString(20000, u'i'));
    editor.SetSelStart(20000);
    const auto lineWidth = [this] { return editor.lineX(editor.buffer()->length()); };
    const TextMeasure measure(editor.font());
    const qreal i = measure.width(u"i");
    const qreal w = measure.width(u"W");
    const qreal before = lineWidth();
    EXPECT_NEAR(before, 20000 * i, 1.0);

    QTest::keyClicks(&editor, "WWW");
    EXPECT_NEAR(lineWidth(), before + 3 * w, 1.0);
    editor.SetSelStart(0);
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_NEAR(lineWidth(), before + 3 * w - i, 1.0);
    for (int k = 0; k < 3; ++k) {
        editor.SetSelStart(editor.TextLength());
        QTest::keyClick(&editor, Qt::Key_Backspace);
    }
    EXPECT_NEAR(lineWidth(), before - i, 1.0);
}

// Whatever LoadText is given comes back unchanged: lone CR, CR LF and LF line breaks, paragraph
// separators and noncharacters included. Each break of any form counts as CR LF.
TEST_F(SourceEditorTest, LoadTextKeepsEveryCharacterAsItCame)
{
    const QString raw = u"a\rb\r\nc\nd\u2029e\ufdd0\ufdd1\r"_qs + QChar(0) + u"\r\r\n"_qs;
    editor.LoadText(raw);
    EXPECT_EQ(editor.PlainText(), raw);
    EXPECT_EQ(editor.Text(),
              u"a\r\nb\r\nc\r\nd\u2029e\ufdd0\ufdd1\r\n"_qs + QChar(0) + u"\r\n\r\n"_qs);
    EXPECT_EQ(editor.TextLength(), editor.Text().size());
    EXPECT_EQ(editor.buffer()->lineCount(), 7);
    // A lone CR line break is found by a find text with CR LF, and selected as one break.
    EXPECT_EQ(editor.FindText(u"a\r\nB"_qs, 0, 100), 0);
    editor.SetSelStart(1);
    editor.SetSelLength(2);
    EXPECT_EQ(editor.SelText(), u"\r\n"_qs);
    EXPECT_EQ(editor.selectedText(), u"\r"_qs);
    // Typing elsewhere leaves them as they are.
    editor.SetSelStart(editor.TextLength());
    QTest::keyClicks(&editor, "z");
    EXPECT_EQ(editor.PlainText(), raw + u"z"_qs);
}

TEST_F(SourceEditorTest, EveryCharacterSurvivesLoadAndRead)
{
    // Non-breaking space (0xA0 in Windows-1251), NUL, tab, vertical tab, form feed, the object
    // replacement character and the line separator all stay what they are.
    const QString plain = u"a\u00a0b"_qs + QChar(0) + u"c\td\ve\ff\ufffcg\u2028h\n\u00a0\n"_qs;
    editor.LoadText(plain);
    EXPECT_EQ(editor.PlainText(), plain);
    EXPECT_EQ(editor.Text(), crlfOf(plain));
    EXPECT_EQ(editor.TextLength(), crlfOf(plain).size());
    editor.SetSelStart(1);
    editor.SetSelLength(4);
    EXPECT_EQ(editor.SelText(), u"\u00a0b"_qs + QChar(0) + u"c"_qs);
    EXPECT_EQ(editor.FindText(u"\u00a0B"_qs, 0, 100), 1);
    EXPECT_EQ(editor.FindText(u" b"_qs, 0, 100), -1);
}

TEST_F(SourceEditorTest, KeyDownCarriesModifiersAndTheKeyStillReachesTheEditor)
{
    editor.LoadText(u"hello world"_qs);
    editor.SetSelStart(11);
    QSignalSpy keys(&editor, &SourceEditor::keyDown);

    // The modifier key itself is pressed first and reported too.
    QTest::keyClick(&editor, Qt::Key_Left, Qt::ControlModifier);
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys[0][0].toInt(), int(Qt::Key_Control));
    EXPECT_EQ(keys[1][0].toInt(), int(Qt::Key_Left));
    EXPECT_EQ(keys[1][1].value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
    EXPECT_EQ(editor.SelStart(), 6);

    QTest::keyClick(&editor, Qt::Key_Tab);
    EXPECT_EQ(editor.Text(), u"hello \tworld"_qs);

    // Shift+Enter makes a real line break, counted as CR LF like any other.
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_EQ(keys.count(), 5);
    EXPECT_EQ(keys[4][0].toInt(), int(Qt::Key_Return));
    EXPECT_EQ(keys[4][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(editor.Text(), u"hello \t\r\nworld"_qs);
    EXPECT_EQ(editor.SelStart(), 9);
}

TEST(SourceEditorFont, ComesFromTheWindowUntilSetAndThenFromTheFontCommand)
{
    QWidget window;
    SourceEditor* editor = new SourceEditor(&window);
    QFont windowFont(u"DejaVu Sans"_qs);
    windowFont.setPixelSize(11);
    window.setFont(windowFont);
    EXPECT_EQ(editor->font().family(), u"DejaVu Sans"_qs);
    EXPECT_EQ(editor->font().pixelSize(), 11);

    QFont chosen(u"DejaVu Sans Mono"_qs);
    chosen.setPixelSize(16);
    chosen.setBold(true);
    editor->setFont(chosen);
    EXPECT_EQ(editor->font().family(), u"DejaVu Sans Mono"_qs);
    EXPECT_EQ(editor->font().pixelSize(), 16);
    EXPECT_TRUE(editor->font().bold());
    // The text is drawn in that font.
    editor->LoadText(u"MMMM"_qs);
    QFont unkerned = chosen;
    unkerned.setKerning(false);
    EXPECT_NEAR(editor->lineX(4), QFontMetricsF(unkerned).horizontalAdvance(u"MMMM"_qs), 1.0);
}

// The selection is drawn while the editor has the focus; without it only when HideSelection
// is off (the find dialog shows its match so), in the active colours; never in the colour of
// the background, whatever that is.
TEST_F(SourceEditorTest, HiddenSelectionShowsOnlyWithFocusOrWhenNotHidden)
{
    QPalette colours = editor.palette();
    colours.setColor(QPalette::Base, QColor(166, 202, 240));
    colours.setColor(QPalette::Active, QPalette::Highlight, QColor(200, 0, 0));
    colours.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 200, 0));
    editor.setPalette(colours);
    editor.resize(300, 100);
    editor.show();
    editor.LoadText(u"selected text"_qs);
    editor.SetSelStart(0);
    editor.SetSelLength(8);
    const auto shows = [this](QColor colour) {
        const QImage image = editor.viewport()->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(editor.HideSelection());
    EXPECT_FALSE(editor.hasFocus());
    EXPECT_FALSE(shows(QColor(200, 0, 0)));
    EXPECT_FALSE(shows(QColor(0, 200, 0)));

    editor.SetHideSelection(false);
    EXPECT_TRUE(shows(QColor(200, 0, 0)));

    QApplication::setActiveWindow(&editor);
    editor.setFocus();
    editor.SetHideSelection(true);
    ASSERT_TRUE(editor.hasFocus());
    EXPECT_TRUE(shows(QColor(200, 0, 0)));
}

} // namespace
