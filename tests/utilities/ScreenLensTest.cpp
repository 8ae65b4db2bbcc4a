#include "utilities/ScreenLens.h"
#include "support/FakePlatform.h"
#include "utilities/LensGeometry.h"
#include "utilities/ToolWindowToggle.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Every pixel of the fake screen differs from its neighbours, so a shifted or smoothed copy shows.
QImage patternScreen(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 40 + (y / 256) * 7));
    return image;
}

class LensTest : public ::testing::Test
{
protected:
    FakePlatform platform;
    std::unique_ptr<TForm7> lens;

    void SetUp() override
    {
        platform.fakeScreen.screenImage = patternScreen(platform.fakeScreen.size);
        platform.fakeScreen.pointer = {640, 512};
        lens = std::make_unique<TForm7>(platform);
    }

    QAction* item(const char* name) { return lens->findChild<QAction*>(name); }
    QTimer* timer() { return lens->findChild<QTimer*>("Timer1"); }
    QImage picture() { return lens->centralWidget()->grab(QRect(7, 10, 160, 160)).toImage(); }

    // Whether the picture is the source square enlarged by `factor`, each screen pixel an exact
    // factor x factor block.
    ::testing::AssertionResult showsEnlarged(const QRect& source, int factor)
    {
        const QImage shown = picture();
        const QImage& screen = platform.fakeScreen.screenImage;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 160; ++x) {
                const QRgb expected =
                    screen.pixel(source.x() + x / factor, source.y() + y / factor);
                if (shown.pixel(x, y) != expected)
                    return ::testing::AssertionFailure()
                           << "picture pixel " << x << "," << y << " is " << std::hex
                           << shown.pixel(x, y) << ", screen pixel is " << expected;
            }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(LensTest, MenuWindowAndPictureSquare)
{
    EXPECT_EQ(lens->windowTitle(), "Линза");
    const QMenu* menu = lens->findChild<QMenu*>("N1");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "Увеличение");
    QStringList captions;
    for (const QAction* a : menu->actions())
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions, QStringList({"в 2 раза", "в 4 раза", "в 8 раз", "-", "Закрыть"}));
    EXPECT_EQ(timer()->interval(), 50);
    EXPECT_TRUE(lens->windowFlags() & Qt::WindowStaysOnTopHint);
    lens->show();
    EXPECT_EQ(lens->centralWidget()->size(), QSize(174, 177));
    EXPECT_EQ(lens->pos(), QPoint(593, 42));
    EXPECT_EQ(lens->findChild<QLabel*>("LensPicture")->geometry(), QRect(7, 10, 160, 160));
}

TEST_F(LensTest, EachEnlargementChecksOnlyItselfAndReplicatesPixels)
{
    lens->show();
    const struct
    {
        const char* item;
        int halfSize;
        int factor;
    } cases[] = {{"N21", 20, 4}, {"N31", 10, 8}, {"N11", 40, 2}, {"N31", 10, 8}};
    for (const auto& c : cases) {
        item(c.item)->trigger();
        for (const char* other : {"N11", "N21", "N31"})
            EXPECT_EQ(item(other)->isChecked(), qstrcmp(other, c.item) == 0) << c.item;
        lens->Timer1Timer();
        const QRect source = LensSourceRect(640, 512, 1280, 1024, c.halfSize);
        EXPECT_EQ(platform.fakeScreen.lastGrabRect, source) << c.item;
        EXPECT_TRUE(showsEnlarged(source, c.factor)) << c.item;
    }
}

TEST_F(LensTest, StartsTwofoldAndClampsAtTheScreenEdge)
{
    EXPECT_TRUE(item("N11")->isChecked());
    EXPECT_FALSE(item("N21")->isChecked());
    EXPECT_FALSE(item("N31")->isChecked());
    platform.fakeScreen.pointer = {1279, -30};
    lens->show();
    EXPECT_EQ(platform.fakeScreen.lastGrabRect, QRect(1200, 0, 80, 80));
    EXPECT_TRUE(showsEnlarged(QRect(1200, 0, 80, 80), 2));
}

TEST_F(LensTest, AFailedGrabLeavesThePictureAsItWas)
{
    lens->show();
    const QImage before = picture();
    platform.fakeScreen.failGrabs = true;
    platform.fakeScreen.pointer = {100, 100};
    lens->Timer1Timer();
    EXPECT_EQ(picture(), before);
    EXPECT_TRUE(showsEnlarged(LensSourceRect(640, 512, 1280, 1024, 40), 2));
}

TEST_F(LensTest, GrabsNothingWhileHiddenAndDrawsAtOnceWhenShown)
{
    QTest::qWait(150); // three periods of the timer
    EXPECT_EQ(platform.fakeScreen.grabCount, 0);
    EXPECT_FALSE(timer()->isActive());

    lens->show();
    EXPECT_EQ(platform.fakeScreen.grabCount, 1); // before any tick
    EXPECT_TRUE(timer()->isActive());
    EXPECT_TRUE(showsEnlarged(LensSourceRect(640, 512, 1280, 1024, 40), 2));

    lens->hide();
    EXPECT_FALSE(timer()->isActive());
    const int grabsWhenHidden = platform.fakeScreen.grabCount;
    QTest::qWait(150);
    EXPECT_EQ(platform.fakeScreen.grabCount, grabsWhenHidden);
}

TEST_F(LensTest, ClosingUnchecksTheMenuItemAndTheEnlargementStays)
{
    QAction lensItem; // stands in for the main window's "Линза"
    lensItem.setCheckable(true);
    QObject::connect(&lensItem, &QAction::triggered, [&] { toggleToolWindow(lensItem, *lens); });
    QObject::connect(lens.get(), &TForm7::closed, [&] { lensItem.setChecked(false); });

    lensItem.trigger();
    EXPECT_TRUE(lens->isVisible());
    EXPECT_TRUE(lensItem.isChecked());
    item("N21")->trigger();

    item("N3")->trigger(); // "Закрыть"
    EXPECT_FALSE(lens->isVisible());
    EXPECT_FALSE(lensItem.isChecked());
    EXPECT_FALSE(timer()->isActive());

    lensItem.trigger();
    EXPECT_TRUE(lens->isVisible());
    EXPECT_TRUE(item("N21")->isChecked());
    EXPECT_EQ(platform.fakeScreen.lastGrabRect.size(), QSize(40, 40));

    QCloseEvent closeButton; // what the window manager sends for the title bar's button
    QApplication::sendEvent(lens->windowHandle(), &closeButton);
    EXPECT_FALSE(lens->isVisible());
    EXPECT_FALSE(lensItem.isChecked());

    lensItem.trigger();
    lensItem.trigger(); // shown, then closed by the main menu command
    EXPECT_FALSE(lens->isVisible());
    EXPECT_FALSE(lensItem.isChecked());
}

} // namespace
