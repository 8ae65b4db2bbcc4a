#include "utilities/ColourHelper.h"
#include "support/FakePlatform.h"
#include "utilities/ColorCodes.h"
#include "utilities/ToolWindowToggle.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class ColorHelperTest : public ::testing::Test
{
protected:
    FakePlatform platform;
    TForm5 form{platform};

    QScrollBar* bar(int n) { return form.findChild<QScrollBar*>(QString("ScrollBar%1").arg(n)); }
    QLineEdit* edit(int n) { return form.findChild<QLineEdit*>(QString("Edit%1").arg(n)); }
    QLabel* label(int n) { return form.findChild<QLabel*>(QString("Label%1").arg(n)); }
    QColor panelColor()
    {
        return form.findChild<QFrame*>("Panel1")->palette().color(QPalette::Window);
    }
    QColor sampleColor(int n = 19) { return label(n)->palette().color(QPalette::WindowText); }

    // The user's own editing: select all, then type or delete or paste.
    void selectAll(QLineEdit* e) { QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier); }
    void empty(QLineEdit* e)
    {
        selectAll(e);
        QTest::keyClick(e, Qt::Key_Backspace);
    }
    void paste(QLineEdit* e, const QString& text)
    {
        QApplication::clipboard()->setText(text);
        selectAll(e);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    }
    void type(QLineEdit* e, const QString& text) { QTest::keyClicks(e, text); }

    void SetUp() override
    {
        form.show();
        ASSERT_NE(bar(1), nullptr);
    }
};

TEST_F(ColorHelperTest, StartsWhiteOnWhiteWithTheWindowTextColour)
{
    for (int n : {1, 2, 3}) {
        EXPECT_EQ(bar(n)->value(), 255);
        EXPECT_EQ(edit(n)->text(), "255");
    }
    for (int n : {4, 5, 6})
        EXPECT_EQ(bar(n)->value(), 0);
    for (int n : {5, 6, 7})
        EXPECT_EQ(edit(n)->text(), "0");
    EXPECT_EQ(edit(4)->text(), "FFFFFF");
    EXPECT_EQ(edit(8)->text(), "000000");
    EXPECT_EQ(panelColor(), QColor(Qt::white));
    for (int n = 19; n <= 22; ++n)
        EXPECT_EQ(sampleColor(n), form.palette().color(QPalette::WindowText));
}

TEST_F(ColorHelperTest, CaptionsHintsAndControlKinds)
{
    EXPECT_EQ(form.windowTitle(), "Цветной помощник");
    EXPECT_EQ(label(1)->text(), "Цвет фона");
    EXPECT_EQ(label(10)->text(), "Цвет текста");
    const char* hints[] = {"Яркость красного", "Яркость зеленого", "Яркость синего"};
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(bar(n)->toolTip(), QString::fromUtf8(hints[(n - 1) % 3])) << n;
        EXPECT_EQ(bar(n)->minimum(), 0);
        EXPECT_EQ(bar(n)->maximum(), 255);
        EXPECT_EQ(bar(n)->singleStep(), 1);
        EXPECT_EQ(bar(n)->pageStep(), 10);
        EXPECT_EQ(bar(n)->orientation(), Qt::Horizontal);
    }
    EXPECT_EQ(form.findChild<QFrame*>("Panel1")->toolTip(), "Результат");
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(edit(n)->isReadOnly(), n == 4 || n == 8) << n;
    for (int n = 19; n <= 22; ++n) {
        EXPECT_EQ(label(n)->text(), "Текст");
        EXPECT_EQ(label(n)->parentWidget()->objectName(), "Panel1");
        EXPECT_EQ(label(n)->font().italic(), n == 20 || n == 22) << n;
        EXPECT_EQ(label(n)->font().bold(), n >= 21) << n;
        EXPECT_EQ(label(n)->font().pixelSize(), n >= 21 ? 16 : 11) << n;
    }
    int decimalCaptions = 0, hexCaptions = 0;
    for (const QLabel* l : form.findChildren<QLabel*>()) {
        decimalCaptions += l->text() == "В десятичной системе счисления";
        hexCaptions += l->text() == "В шестнадцатиричной системе счисления";
    }
    EXPECT_EQ(decimalCaptions, 2);
    EXPECT_EQ(hexCaptions, 2);
}

TEST_F(ColorHelperTest, LayoutAndTheTextGroup152PixelsLower)
{
    EXPECT_EQ(form.size(), QSize(242, 347));
    EXPECT_EQ(form.pos(), QPoint(550, 26));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(bar(2)->geometry(), QRect(32, 32, 201, 9));
    EXPECT_EQ(edit(3)->geometry(), QRect(192, 80, 33, 21));
    EXPECT_EQ(edit(4)->geometry(), QRect(64, 120, 121, 21));
    EXPECT_EQ(form.findChild<QFrame*>("Panel1")->geometry(), QRect(8, 304, 225, 41));
    EXPECT_EQ(label(21)->pos(), QPoint(104, 11));
    const struct
    {
        const char* background;
        const char* text;
    } pairs[] = {{"ScrollBar1", "ScrollBar4"},
                 {"ScrollBar2", "ScrollBar5"},
                 {"ScrollBar3", "ScrollBar6"},
                 {"Edit1", "Edit5"},
                 {"Edit2", "Edit6"},
                 {"Edit3", "Edit7"},
                 {"Edit4", "Edit8"}};
    for (const auto& p : pairs) {
        const QRect b = form.findChild<QWidget*>(p.background)->geometry();
        EXPECT_EQ(form.findChild<QWidget*>(p.text)->geometry(), b.translated(0, 152)) << p.text;
    }
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(label(n + 9)->pos(), label(n)->pos() + QPoint(0, 152)) << n;
}

TEST_F(ColorHelperTest, TabOrderRunsThroughBothGroups)
{
    QStringList order;
    QWidget* w = bar(1);
    do {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != bar(1));
    EXPECT_EQ(order, QStringList({"ScrollBar1", "ScrollBar2", "ScrollBar3", "Edit1", "Edit2",
                                  "Edit3", "Edit4", "ScrollBar4", "ScrollBar5", "ScrollBar6",
                                  "Edit5", "Edit6", "Edit7", "Edit8"}));
}

TEST_F(ColorHelperTest, MovingABarRewritesItsEditTheHexTextAndTheColour)
{
    bar(1)->setValue(10);
    EXPECT_EQ(edit(1)->text(), "10");
    EXPECT_EQ(edit(4)->text(), "0AFFFF");
    EXPECT_EQ(panelColor(), QColor(10, 255, 255));

    // Keys on a bar, as on a native one: Right and Down up by 1, Left and Up down by 1, PageDown
    // up by 10, PageUp down by 10, Home and End to the ends.
    const struct
    {
        Qt::Key key;
        int value;
    } keys[] = {{Qt::Key_Right, 1},  {Qt::Key_Down, 2},  {Qt::Key_PageDown, 12},
                {Qt::Key_Left, 11},  {Qt::Key_Up, 10},   {Qt::Key_PageUp, 0},
                {Qt::Key_PageUp, 0}, {Qt::Key_End, 255}, {Qt::Key_Right, 255},
                {Qt::Key_Home, 0}};
    for (const auto& k : keys) {
        QTest::keyClick(bar(5), k.key);
        EXPECT_EQ(bar(5)->value(), k.value) << k.key;
        EXPECT_EQ(edit(6)->text(), QString::number(k.value));
        EXPECT_EQ(edit(8)->text(), "00" + HexByte(k.value) + "00");
        EXPECT_EQ(sampleColor(22), QColor(0, k.value, 0));
    }
}

TEST_F(ColorHelperTest, Typing300DigitByDigitIntoAnEmptiedEdit)
{
    empty(edit(5));
    EXPECT_EQ(edit(5)->text(), "");
    EXPECT_EQ(bar(4)->value(), 0);
    EXPECT_EQ(sampleColor(), form.palette().color(QPalette::WindowText)); // nothing recomputed

    type(edit(5), "3");
    EXPECT_EQ(bar(4)->value(), 3);
    EXPECT_EQ(edit(8)->text(), "030000");
    type(edit(5), "0");
    EXPECT_EQ(bar(4)->value(), 30);
    EXPECT_EQ(edit(5)->text(), "30");
    type(edit(5), "0");
    EXPECT_EQ(bar(4)->value(), 255);
    EXPECT_EQ(edit(5)->text(), "255");
    EXPECT_EQ(edit(8)->text(), "FF0000");
    for (int n = 19; n <= 22; ++n)
        EXPECT_EQ(sampleColor(n), QColor(255, 0, 0)) << n;
}

TEST_F(ColorHelperTest, AKeptOutOfRangeTextNeverColoursThePanel)
{
    paste(edit(1), "300");
    EXPECT_EQ(edit(1)->text(), "300"); // the bar already stands at 255
    EXPECT_EQ(bar(1)->value(), 255);
    EXPECT_EQ(edit(4)->text(), "FFFFFF");

    // The colour follows the bars, as the hex text does: red stays 255, not 44.
    bar(2)->setValue(128);
    EXPECT_EQ(edit(4)->text(), "FF80FF");
    EXPECT_EQ(panelColor(), QColor(255, 128, 255));
    EXPECT_EQ(edit(1)->text(), "300");

    // Likewise a kept "-5" at 0 gives red 0, not 251.
    paste(edit(5), "-5");
    EXPECT_EQ(edit(5)->text(), "-5");
    bar(5)->setValue(100);
    EXPECT_EQ(sampleColor(), QColor(0, 100, 0));
    EXPECT_EQ(edit(8)->text(), "006400");
}

TEST_F(ColorHelperTest, TextThatIsNoNumberStaysAndCountsAsZero)
{
    empty(edit(6));
    type(edit(6), "abc");
    EXPECT_EQ(edit(6)->text(), "abc");
    EXPECT_EQ(bar(5)->value(), 0);
    bar(6)->setValue(17);
    EXPECT_EQ(edit(8)->text(), "000011");
    EXPECT_EQ(sampleColor(), QColor(0, 0, 17));
    EXPECT_EQ(edit(6)->text(), "abc");
}

TEST_F(ColorHelperTest, ClearingAnEditAboveZeroPutsZero)
{
    empty(edit(2));
    EXPECT_EQ(bar(2)->value(), 0);
    EXPECT_EQ(edit(2)->text(), "0");
    EXPECT_EQ(edit(4)->text(), "FF00FF");
    EXPECT_EQ(panelColor(), QColor(255, 0, 255));
}

TEST_F(ColorHelperTest, PrefixesSignsAndTrailingLetters)
{
    paste(edit(7), "$ff");
    EXPECT_EQ(bar(6)->value(), 255);
    EXPECT_EQ(edit(7)->text(), "255");

    // Key by key, "$f" already moves the bar and is rewritten as "15"; the last "f" is then
    // typed after it and refused.
    paste(edit(6), "$");
    type(edit(6), "ff");
    EXPECT_EQ(bar(5)->value(), 15);
    EXPECT_EQ(edit(6)->text(), "15f");

    // "-7" clamps to 0: at 0 it is kept, above 0 it moves the bar and reads "0".
    empty(edit(5));
    type(edit(5), "-7");
    EXPECT_EQ(edit(5)->text(), "-7");
    EXPECT_EQ(bar(4)->value(), 0);
    paste(edit(3), "-7");
    EXPECT_EQ(bar(3)->value(), 0);
    EXPECT_EQ(edit(3)->text(), "0");

    // "-7x" fails after the 7 and gives 7 without the sign.
    type(edit(5), "x");
    EXPECT_EQ(bar(4)->value(), 7);
    EXPECT_EQ(edit(5)->text(), "7");
    EXPECT_EQ(edit(8)->text(), "070FFF");
}

TEST_F(ColorHelperTest, ClosingByItsOwnButtonUnchecksTheMenuItemAndTheValuesStay)
{
    form.hide();
    QAction item;
    item.setCheckable(true);
    QObject::connect(&item, &QAction::triggered, [&] { toggleToolWindow(item, form); });
    int closedCount = 0;
    QObject::connect(&form, &TForm5::closed, [&] {
        ++closedCount;
        item.setChecked(false);
    });

    item.trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(item.isChecked());
    bar(1)->setValue(10);

    QCloseEvent closeButton; // what the window manager sends for the title bar's button
    QApplication::sendEvent(form.windowHandle(), &closeButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(item.isChecked());
    EXPECT_EQ(closedCount, 1);

    item.trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(item.isChecked());
    EXPECT_EQ(edit(1)->text(), "10");
    EXPECT_EQ(edit(4)->text(), "0AFFFF");

    item.trigger(); // the menu command closes it again
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(item.isChecked());
    EXPECT_EQ(closedCount, 2);
}

} // namespace
