// The main window's layouts, on its real widgets.
#include "support/MainWindowFixture.h"

#include <QScrollBar>
#include <QStatusBar>

namespace {

struct Expected
{
    QSize client;
    int previewTop, previewHeight;
    int editorTop, editorHeight, editorWidth;
    int statusTop, statusWidth;
    int splitterLeft, splitterTop, splitterWidth, splitterMax, position;
};

class Layout : public MainWindowFixture
{
protected:
    void start(int screenWidth)
    {
        platform.fakeScreen.size = QSize(screenWidth, 768);
        form = std::make_unique<TForm1>(platform);
    }
    QWidget* widget(const char* name) const { return form->findChild<QWidget*>(name); }
    QScrollBar* splitter() const { return form->findChild<QScrollBar*>("ScrollBar1"); }
    QRect previewRect() const { return widget("WebBrowser1")->geometry(); }
    QRect editorRect() const { return widget("RichEdit1")->geometry(); }
    void moveSplitter(int position) { splitter()->setValue(position); }

    void expectLayout(const Expected& e)
    {
        EXPECT_EQ(widget("ClientArea")->size(), e.client);
        EXPECT_EQ(previewRect(), QRect(0, e.previewTop, e.client.width(), e.previewHeight));
        EXPECT_EQ(editorRect(), QRect(8, e.editorTop, e.editorWidth, e.editorHeight));
        EXPECT_EQ(widget("StatusBar1")->geometry(), QRect(0, e.statusTop, e.statusWidth, 19));
        EXPECT_EQ(splitter()->geometry(),
                  QRect(e.splitterLeft, e.splitterTop, e.splitterWidth, 14));
        EXPECT_EQ(splitter()->minimum(), 51);
        EXPECT_EQ(splitter()->maximum(), e.splitterMax);
        EXPECT_EQ(splitter()->value(), e.position);
    }
};

const Expected Compact{{800, 524}, 24, 257, 288, 216, 785, 505, 601, 608, 508, 177, 423, 257};
const Expected Tall{{800, 698}, 24, 257, 288, 383, 785, 678, 601, 608, 681, 177, 591, 257};
const Expected Wide{{1024, 698}, 24, 400, 431, 240, 1008, 678, 708, 715, 681, 302, 591, 400};

TEST_F(Layout, StartUpByScreenWidth)
{
    for (int width : {640, 800, 1023}) {
        SCOPED_TRACE(width);
        start(width);
        expectLayout(Compact);
        EXPECT_EQ(form->ScreenMode(), 800);
    }
    for (int width : {1024, 1280, 1920}) {
        SCOPED_TRACE(width);
        start(width);
        expectLayout(Tall);
    }
    EXPECT_EQ(action("N1024x7681")->text(), "1024x768");
    EXPECT_TRUE(action("N18")->isChecked());
    EXPECT_EQ(widget("Panel1")->geometry(), QRect(0, 0, 801, 25));
}

TEST_F(Layout, SwitchToWideAndBack)
{
    const struct
    {
        int startWidth, switchBackWidth;
        Expected back;
    } cases[] = {
        // Back on a narrow screen: the compact values, editor 775 wide.
        {800, 800, {{800, 524}, 24, 257, 288, 216, 775, 505, 601, 608, 508, 177, 423, 257}},
        // Back on a screen of 1000 or more: tall, with the splitter at 400 (the rule does not run
        // because the position stays 400, so preview and editor keep the explicit values).
        {800, 1000, {{800, 698}, 24, 257, 432, 240, 775, 678, 601, 608, 681, 177, 591, 400}},
        {1280, 999, {{800, 524}, 24, 257, 288, 216, 775, 505, 601, 608, 508, 177, 423, 257}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startWidth * 10000 + c.switchBackWidth);
        start(c.startWidth);
        form->N1024x7681Click();
        expectLayout(Wide);
        EXPECT_EQ(form->ScreenMode(), 1024);
        EXPECT_EQ(action("N1024x7681")->text(), "800x600");
        EXPECT_EQ(widget("Panel1")->width(), 1024);

        platform.fakeScreen.size.setWidth(c.switchBackWidth);
        form->N1024x7681Click();
        expectLayout(c.back);
        EXPECT_EQ(form->ScreenMode(), 800);
        EXPECT_EQ(action("N1024x7681")->text(), "1024x768");
        EXPECT_EQ(widget("Panel1")->width(), 800);
    }
}

TEST_F(Layout, SplitterRuleKeepsTheEditorBottom)
{
    start(800);
    const struct
    {
        int position, editorTop, editorHeight;
    } compact[] = {{51, 82, 422}, {423, 454, 50}, {300, 331, 173}, {10, 82, 422}, {999, 454, 50}};
    for (const auto& c : compact) {
        moveSplitter(c.position);
        EXPECT_EQ(previewRect(), QRect(0, 24, 800, std::clamp(c.position, 51, 423)));
        EXPECT_EQ(editorRect(), QRect(8, c.editorTop, 785, c.editorHeight));
    }
    // In the wide layout the base is 640, whatever the compact base was.
    form->N1024x7681Click();
    moveSplitter(591);
    EXPECT_EQ(editorRect(), QRect(8, 622, 1008, 49));
    // Tall: bottom edge 671.
    start(1280);
    moveSplitter(100);
    EXPECT_EQ(editorRect(), QRect(8, 131, 785, 540));
}

TEST_F(Layout, ToolbarToggle)
{
    start(800);
    // Shown, so that the tool bar's visibility means something.
    form->show();
    ASSERT_TRUE(widget("Panel1")->isVisible());
    form->N18Click();
    EXPECT_FALSE(action("N18")->isChecked());
    EXPECT_FALSE(widget("Panel1")->isVisible());
    EXPECT_TRUE(widget("Panel1")->isHidden());
    EXPECT_EQ(previewRect(), QRect(0, 0, 800, 281));
    EXPECT_EQ(editorRect(), QRect(8, 288, 785, 216)); // untouched until the rule runs

    // The default split stands already: nothing runs, the preview stays out of step.
    form->findChild<QAction*>("N19")->trigger();
    EXPECT_EQ(previewRect(), QRect(0, 0, 800, 281));
    EXPECT_EQ(editorRect(), QRect(8, 288, 785, 216));

    moveSplitter(258);
    EXPECT_EQ(previewRect(), QRect(0, 0, 800, 258));
    EXPECT_EQ(editorRect(), QRect(8, 265, 785, 239));

    form->N18Click();
    EXPECT_TRUE(action("N18")->isChecked());
    EXPECT_TRUE(widget("Panel1")->isVisible());
    EXPECT_EQ(previewRect(), QRect(0, 24, 800, 234));
    EXPECT_EQ(editorRect(), QRect(8, 265, 785, 239));
    moveSplitter(257);
    EXPECT_EQ(previewRect(), QRect(0, 24, 800, 257));
    EXPECT_EQ(editorRect(), QRect(8, 288, 785, 216));
}

TEST_F(Layout, DefaultSplitAndDefaultPosition)
{
    for (int width : {800, 1280}) {
        start(width);
        moveSplitter(100);
        form->findChild<QAction*>("N19")->trigger();
        EXPECT_EQ(splitter()->value(), 257);
        form->N1024x7681Click();
        moveSplitter(100);
        form->N19Click();
        EXPECT_EQ(splitter()->value(), 400);
        EXPECT_EQ(editorRect(), QRect(8, 431, 1008, 240));

        const QSize sizeBefore = form->size();
        form->move(200, 150);
        form->N33Click();
        EXPECT_EQ(form->pos(), QPoint(-3, 0));
        EXPECT_EQ(form->size(), sizeBefore);
    }
}

TEST_F(Layout, SwitchBackToTallRunsTheRuleOnlyWhenThePositionMoves)
{
    start(1280);
    form->N1024x7681Click();
    moveSplitter(300);
    form->N1024x7681Click();
    // The position went from 300 to 400: the rule ran with base 640.
    EXPECT_EQ(previewRect(), QRect(0, 24, 800, 400));
    EXPECT_EQ(editorRect(), QRect(8, 431, 775, 240));
}

TEST_F(Layout, SwitchBackToCompactKeepsTheBaseHeight)
{
    start(800);
    form->N1024x7681Click();
    platform.fakeScreen.size.setWidth(640);
    form->N1024x7681Click();
    moveSplitter(300);
    EXPECT_EQ(editorRect(), QRect(8, 331, 775, 173)); // base still 473
}

} // namespace
