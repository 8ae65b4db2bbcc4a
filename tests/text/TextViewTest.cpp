#include "text/TextView.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TextViewTest : public ::testing::Test
{
protected:
    TextViewTest()
    {
        view.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        view.resize(400, 200);
        view.show();
        QApplication::setActiveWindow(&view);
        view.setFocus();
        view.buffer()->setNewline(QStringLiteral("\n"));
    }

    void load(const QString& text, qsizetype caret = 0)
    {
        view.buffer()->setText(text);
        view.setCursorPosition(caret);
    }
    QString text() const { return view.buffer()->text(); }
    // A viewport point just right of the caret position `position`.
    QPoint pointOf(qsizetype position) const
    {
        const QRect rect = view.characterRect(position);
        return QPoint(rect.left() + std::max(1, rect.width() / 4), rect.center().y());
    }

    TextView view;
};

struct KeyCase
{
    const char* name;
    QString text;
    qsizetype caret;
    QList<QKeyCombination> keys;
    QString typed; // typed after the keys
    QString expectedText;
    qsizetype expectedCursor;
    qsizetype expectedAnchor;
};

using Mod = Qt::KeyboardModifier;

TEST_F(TextViewTest, KeysMoveSelectAndEdit)
{
    const KeyCase cases[] = {
        {"arrows", "abc\ndef", 1, {Qt::Key_Right, Qt::Key_Down}, "", "abc\ndef", 6, 6},
        {"left over a break", "abc\r\ndef", 5, {Qt::Key_Left}, "", "abc\r\ndef", 3, 3},
        {"right over a surrogate pair",
         "a\U0001F600b",
         1,
         {Qt::Key_Right},
         "",
         "a\U0001F600b",
         3,
         3},
        {"right over a combining mark", "e\u0301x", 0, {Qt::Key_Right}, "", "e\u0301x", 2, 2},
        {"shift+end selects to line end",
         "abc def\nx",
         2,
         {Mod::ShiftModifier | Qt::Key_End},
         "",
         "abc def\nx",
         7,
         2},
        {"home", "abc def", 5, {Qt::Key_Home}, "", "abc def", 0, 0},
        {"ctrl+right by word",
         "abc def ghi",
         0,
         {Mod::ControlModifier | Qt::Key_Right},
         "",
         "abc def ghi",
         4,
         4},
        {"ctrl+left by word",
         "abc def ghi",
         9,
         {Mod::ControlModifier | Qt::Key_Left},
         "",
         "abc def ghi",
         8,
         8},
        {"ctrl+shift+left selects a word",
         "abc def",
         7,
         {Mod::ControlModifier | Mod::ShiftModifier | Qt::Key_Left},
         "",
         "abc def",
         4,
         7},
        {"ctrl+end", "a\nb\nc", 0, {Mod::ControlModifier | Qt::Key_End}, "", "a\nb\nc", 5, 5},
        {"ctrl+home", "a\nb\nc", 4, {Mod::ControlModifier | Qt::Key_Home}, "", "a\nb\nc", 0, 0},
        {"up keeps the column",
         "abcd\nx\nabcd",
         9,
         {Qt::Key_Up, Qt::Key_Up},
         "",
         "abcd\nx\nabcd",
         2,
         2},
        {"typing", "ac", 1, {}, "b", "abc", 2, 2},
        {"typing replaces the selection",
         "abcd",
         1,
         {Mod::ShiftModifier | Qt::Key_Right, Mod::ShiftModifier | Qt::Key_Right},
         "X",
         "aXd",
         2,
         2},
        {"backspace", "abc", 2, {Qt::Key_Backspace}, "", "ac", 1, 1},
        {"backspace joins lines across CR LF",
         "ab\r\ncd",
         4,
         {Qt::Key_Backspace},
         "",
         "abcd",
         2,
         2},
        {"backspace removes a surrogate pair",
         "a\U0001F600",
         3,
         {Qt::Key_Backspace},
         "",
         "a",
         1,
         1},
        {"backspace removes one combining mark", "e\u0301", 2, {Qt::Key_Backspace}, "", "e", 1, 1},
        {"delete removes a whole cluster", "e\u0301x", 0, {Qt::Key_Delete}, "", "x", 0, 0},
        {"delete at line end joins lines", "ab\ncd", 2, {Qt::Key_Delete}, "", "abcd", 2, 2},
        {"ctrl+backspace removes a word",
         "abc def",
         7,
         {Mod::ControlModifier | Qt::Key_Backspace},
         "",
         "abc ",
         4,
         4},
        {"ctrl+delete removes a word",
         "abc def",
         0,
         {Mod::ControlModifier | Qt::Key_Delete},
         "",
         "def",
         0,
         0},
        {"enter inserts the buffer's line break", "ab", 1, {Qt::Key_Return}, "", "a\nb", 2, 2},
        {"tab types a tab", "ab", 1, {Qt::Key_Tab}, "", "a\tb", 2, 2},
        {"lone CR is a line break", "ab\rcd", 0, {Qt::Key_Down, Qt::Key_End}, "", "ab\rcd", 5, 5},
        {"U+2029 is a character", "a\u2029b", 0, {Qt::Key_End}, "", "a\u2029b", 3, 3},
        {"ctrl+left stops before punctuation, then before each word",
         "x+=42;",
         6,
         {Mod::ControlModifier | Qt::Key_Left, Mod::ControlModifier | Qt::Key_Left},
         "",
         "x+=42;",
         3,
         3},
        {"ctrl+shift+left selects the full stop alone",
         "ещё булок.",
         10,
         {Mod::ControlModifier | Mod::ShiftModifier | Qt::Key_Left},
         "",
         "ещё булок.",
         9,
         10},
        {"ctrl+backspace removes the punctuation before the caret",
         "Привет, мир! Съешь",
         12,
         {Mod::ControlModifier | Qt::Key_Backspace},
         "",
         "Привет, мир Съешь",
         11,
         11},
        {"up on the first line stays", "abcd\nab", 3, {Qt::Key_Up}, "", "abcd\nab", 3, 3},
        {"down on the last line stays", "ab\nabcd", 4, {Qt::Key_Down}, "", "ab\nabcd", 4, 4},
        {"up on the first line keeps the column for down",
         "abcd\nabcdef",
         3,
         {Qt::Key_Up, Qt::Key_Down},
         "",
         "abcd\nabcdef",
         8,
         8},
        {"shift+tab types nothing",
         "ab",
         1,
         {Mod::ShiftModifier | Qt::Key_Backtab},
         "",
         "ab",
         1,
         1},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        load(c.text, c.caret);
        for (const QKeyCombination key : c.keys)
            QTest::keyClick(&view, key.key(), key.keyboardModifiers());
        if (!c.typed.isEmpty())
            QTest::keyClicks(&view, c.typed);
        EXPECT_EQ(text(), c.expectedText);
        EXPECT_EQ(view.cursorPosition(), c.expectedCursor);
        EXPECT_EQ(view.anchorPosition(), c.expectedAnchor);
    }
}

TEST_F(TextViewTest, ReadOnlyTakesNoEditsButSelectsAndCopies)
{
    load(QStringLiteral("abc"), 0);
    view.setReadOnly(true);
    QTest::keyClicks(&view, QStringLiteral("xy"));
    QTest::keyClick(&view, Qt::Key_Delete);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), QStringLiteral("abc"));
    EXPECT_EQ(view.selectedText(), QStringLiteral("abc"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("abc"));
    EXPECT_FALSE(view.inputMethodQuery(Qt::ImEnabled).toBool());
}

TEST_F(TextViewTest, ClipboardCarriesPlainTextAndPasteTakesTheBuffersLineBreaks)
{
    load(QStringLiteral("one two"), 0);
    view.setSelection(0, 3);
    view.cut();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one"));
    EXPECT_EQ(text(), QStringLiteral(" two"));
    QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb\rc"));
    view.setCursorPosition(4);
    view.paste();
    EXPECT_EQ(text(), QStringLiteral(" twoa\nb\nc"));
    QSignalSpy copyAvailable(&view, &TextView::copyAvailable);
    view.selectAll();
    view.copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text());
    EXPECT_EQ(copyAvailable.count(), 1);
    if (QGuiApplication::clipboard()->supportsSelection()) {
        EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection), text());
    }
}

TEST_F(TextViewTest, MouseClicksDragsAndMultiClicksSelect)
{
    load(QStringLiteral("alpha beta gamma\nsecond line"), 0);
    QWidget* port = view.viewport();
    QTest::mouseClick(port, Qt::LeftButton, {}, pointOf(2));
    EXPECT_EQ(view.cursorPosition(), 2);
    EXPECT_FALSE(view.hasSelection());

    QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, pointOf(8));
    EXPECT_EQ(view.selectionStart(), 2);
    EXPECT_EQ(view.cursorPosition(), 8);

    // Press, drag to another line, release.
    QTest::mouseClick(port, Qt::LeftButton, {}, pointOf(0));
    QTest::mousePress(port, Qt::LeftButton, {}, pointOf(1));
    QMouseEvent move(QEvent::MouseMove, pointOf(20), port->mapToGlobal(pointOf(20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, {}, pointOf(20));
    EXPECT_EQ(view.selectionStart(), 1);
    EXPECT_EQ(view.selectionEnd(), 20);

    QTest::mouseDClick(port, Qt::LeftButton, {}, pointOf(7));
    EXPECT_EQ(view.selectedText(), QStringLiteral("beta"));
    // A third click soon after selects the line with its break.
    QTest::mousePress(port, Qt::LeftButton, {}, pointOf(7));
    QTest::mouseRelease(port, Qt::LeftButton, {}, pointOf(7));
    EXPECT_EQ(view.selectedText(), QStringLiteral("alpha beta gamma\n"));
}

TEST_F(TextViewTest, InputMethodShowsPreeditThenCommits)
{
    load(QStringLiteral("ab"), 1);
    QSignalSpy changes(&view, &TextView::textChanged);
    QList<QInputMethodEvent::Attribute> attributes{{QInputMethodEvent::Cursor, 1, 1, QVariant()}};
    QInputMethodEvent preedit(QStringLiteral("ё"), attributes);
    QApplication::sendEvent(&view, &preedit);
    EXPECT_EQ(view.preeditText(), QStringLiteral("ё"));
    EXPECT_EQ(text(), QStringLiteral("ab"));
    EXPECT_EQ(changes.count(), 0);
    const QRect withPreedit = view.inputMethodQuery(Qt::ImCursorRectangle).toRect();

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("ё"));
    QApplication::sendEvent(&view, &commit);
    EXPECT_EQ(view.preeditText(), QString());
    EXPECT_EQ(text(), QStringLiteral("aёb"));
    EXPECT_EQ(view.cursorPosition(), 2);
    EXPECT_EQ(view.inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), withPreedit.left());

    // A dead key or a correction replaces what lies before the caret.
    QInputMethodEvent replace;
    replace.setCommitString(QStringLiteral("é"), -1, 1);
    QApplication::sendEvent(&view, &replace);
    EXPECT_EQ(text(), QStringLiteral("aéb"));

    EXPECT_EQ(view.inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("aéb"));
    EXPECT_EQ(view.inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
    EXPECT_TRUE(view.inputMethodQuery(Qt::ImEnabled).toBool());
    EXPECT_TRUE(view.inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhMultiLine);
}

TEST_F(TextViewTest, SurroundingTextOfALongLineIsAWindowAroundTheCaret)
{
    load(QString(100000, u'x') + QStringLiteral("YZ"), 100001);
    const QString around = view.inputMethodQuery(Qt::ImSurroundingText).toString();
    const int at = view.inputMethodQuery(Qt::ImCursorPosition).toInt();
    EXPECT_LT(around.size(), 5000);
    EXPECT_EQ(around.mid(at - 1, 2), QStringLiteral("YZ"));
}

TEST_F(TextViewTest, AccessibleTextReadsTextCaretWordsAndLines)
{
    load(QStringLiteral("first line\nsecond word"), 13);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    QAccessibleTextInterface* textInterface = accessible->textInterface();
    ASSERT_NE(textInterface, nullptr);
    EXPECT_EQ(textInterface->characterCount(), 22);
    EXPECT_EQ(textInterface->cursorPosition(), 13);
    EXPECT_EQ(textInterface->text(0, 5), QStringLiteral("first"));
    int start = 0;
    int end = 0;
    EXPECT_EQ(textInterface->textAtOffset(13, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("second"));
    EXPECT_EQ(start, 11);
    EXPECT_EQ(textInterface->textAtOffset(3, QAccessible::LineBoundary, &start, &end),
              QStringLiteral("first line\n"));
    EXPECT_EQ(textInterface->textAfterOffset(3, QAccessible::LineBoundary, &start, &end),
              QStringLiteral("second word"));
    view.setSelection(6, 10);
    int selStart = 0;
    int selEnd = 0;
    textInterface->selection(0, &selStart, &selEnd);
    EXPECT_EQ(selStart, 6);
    EXPECT_EQ(selEnd, 10);
    const QRect rect = textInterface->characterRect(11);
    EXPECT_GT(rect.height(), 0);
    EXPECT_GT(rect.width(), 0);
    EXPECT_EQ(textInterface->offsetAtPoint(rect.center()), 11);
    QAccessibleEditableTextInterface* editable = accessible->editableTextInterface();
    ASSERT_NE(editable, nullptr);
    editable->insertText(0, QStringLiteral(">"));
    EXPECT_EQ(text(), QStringLiteral(">first line\nsecond word"));
}

// Words before and after a word skip the spaces and punctuation between them; the text's look
// is one run of attributes.
// A screen reader announces what reports the focus: the view, not also the viewport it draws in.
TEST_F(TextViewTest, OnlyTheViewReportsTheFocusInItsAccessibleTree)
{
    ASSERT_TRUE(view.hasFocus());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_TRUE(accessible->state().focused);
    QStringList focusedChildren;
    for (int i = 0; i < accessible->childCount(); ++i) {
        QAccessibleInterface* child = accessible->child(i);
        ASSERT_NE(child, nullptr) << i;
        EXPECT_EQ(accessible->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), accessible) << i;
        if (child->state().focused)
            focusedChildren << child->object()->metaObject()->className();
    }
    EXPECT_EQ(focusedChildren.join(", "), QString());
    EXPECT_EQ(accessible->child(accessible->childCount()), nullptr);
}

TEST_F(TextViewTest, AccessibleWordsAroundAWordAndTextAttributes)
{
    load(QStringLiteral("one, two  three"), 0);
    QAccessibleTextInterface* textInterface =
        QAccessible::queryAccessibleInterface(&view)->textInterface();
    ASSERT_NE(textInterface, nullptr);
    int start = 0;
    int end = 0;
    EXPECT_EQ(textInterface->textBeforeOffset(11, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("two"));
    EXPECT_EQ(start, 5);
    EXPECT_EQ(end, 8);
    EXPECT_EQ(textInterface->textBeforeOffset(6, QAccessible::WordBoundary, &start, &end),
              QStringLiteral(","));
    EXPECT_EQ(textInterface->textAfterOffset(6, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("three"));
    EXPECT_EQ(start, 10);

    QFont font = view.font();
    font.setPointSize(13);
    view.setFont(font);
    QPalette colours = view.palette();
    colours.setColor(QPalette::Text, QColor(10, 20, 30));
    colours.setColor(QPalette::Base, QColor(200, 210, 220));
    view.setPalette(colours);
    const QString attributes = textInterface->attributes(3, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 15);
    EXPECT_TRUE(attributes.contains(QStringLiteral("font-family:\"%1\";").arg(font.family())))
        << attributes.toStdString();
    EXPECT_TRUE(attributes.contains(QStringLiteral("font-size:13pt;"))) << attributes.toStdString();
    EXPECT_TRUE(attributes.contains(QStringLiteral(";color:rgb(10,20,30);")))
        << attributes.toStdString();
    EXPECT_TRUE(attributes.contains(QStringLiteral("background-color:rgb(200,210,220);")))
        << attributes.toStdString();
}

// Shift+Tab, like Tab, keeps the focus in the text.
TEST_F(TextViewTest, ShiftTabKeepsTheFocus)
{
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* inWindow = new TextView(&window);
    auto* after = new QLineEdit(&window);
    after->move(0, 300);
    inWindow->move(0, 30);
    window.show();
    QApplication::setActiveWindow(&window);
    inWindow->setFocus();
    ASSERT_TRUE(inWindow->hasFocus());
    QTest::keyClick(inWindow, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(inWindow->hasFocus());
    QTest::keyClick(inWindow, Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(inWindow->hasFocus());
    EXPECT_FALSE(before->hasFocus());
    EXPECT_TRUE(inWindow->buffer()->isEmpty());
}

// The selection's colour shows on screen only while the view has the focus, unless
// HideSelection is off.
TEST_F(TextViewTest, HideSelectionHidesTheSelectionWithoutFocus)
{
    QPalette colours = view.palette();
    const QColor highlight(200, 0, 0);
    colours.setColor(QPalette::Highlight, highlight);
    view.setPalette(colours);
    load(QStringLiteral("selected text here"), 0);
    view.setSelection(0, 12);
    const auto showsHighlight = [&] {
        const QImage image = view.viewport()->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == highlight)
                    return true;
        return false;
    };
    ASSERT_TRUE(view.hasFocus());
    EXPECT_TRUE(showsHighlight());
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    other.setFocus();
    EXPECT_FALSE(view.hasFocus());
    EXPECT_FALSE(showsHighlight());
    view.setHideSelection(false);
    EXPECT_TRUE(showsHighlight());
}

TEST_F(TextViewTest, DropOfTextInsertsItButDroppedFilesAreLeftToTheWindow)
{
    load(QStringLiteral("ab"), 0);
    QMimeData text;
    text.setText(QStringLiteral("X\nY"));
    QDropEvent drop(QPointF(pointOf(1)) - QPointF(view.characterRect(1).width() / 2.0, 0),
                    Qt::CopyAction, &text, Qt::LeftButton, {});
    QDragEnterEvent enter(pointOf(1), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(view.viewport(), &drop);
    EXPECT_EQ(text.text(), QStringLiteral("X\nY"));
    EXPECT_EQ(this->text(), QStringLiteral("aX\nYb"));
    // Only the caret, after the dropped text, marks it.
    EXPECT_FALSE(view.hasSelection());
    EXPECT_EQ(view.cursorPosition(), 4);

    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/page.html"))});
    file.setText(QStringLiteral("/tmp/page.html"));
    QDragEnterEvent fileEnter(pointOf(1), Qt::CopyAction, &file, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &fileEnter);
    EXPECT_FALSE(fileEnter.isAccepted());
}

TEST_F(TextViewTest, TypingOnALongLineScrollsSidewaysAndKeepsTheCaretInView)
{
    load(QString(20000, u'w'), 20000);
    QTest::keyClicks(&view, QStringLiteral("end"));
    EXPECT_EQ(view.buffer()->length(), 20003);
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);
    const QRect caret = view.cursorRect();
    EXPECT_TRUE(view.viewport()->rect().contains(caret.center()));
    // The caret's x agrees with the width of the text before it.
    EXPECT_NEAR(view.lineX(view.cursorPosition()),
                TextMeasure(view.font()).width(view.buffer()->text()), 1.0);
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.horizontalScrollBar()->maximum() > 0, true);
}

TEST_F(TextViewTest, WheelScrollsDownAndShiftWheelSideways)
{
    QString lines;
    for (int i = 0; i < 200; ++i)
        lines += QString(300, u'a') + u'\n';
    load(lines, 0);
    const QPoint at = view.viewport()->rect().center();
    QWheelEvent down(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &down);
    EXPECT_EQ(view.verticalScrollBar()->value(), QApplication::wheelScrollLines());
    QWheelEvent sideways(at, view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &sideways);
    EXPECT_GT(view.horizontalScrollBar()->value(), 0);
    EXPECT_EQ(view.verticalScrollBar()->value(), QApplication::wheelScrollLines());
}

} // namespace
