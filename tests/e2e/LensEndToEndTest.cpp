// The lens on a real X screen: a window of a known colour is painted, the pointer is moved over
// it, and the lens picture must show that colour.
#include "platform/QtScreenCapture.h"
#include "support/FakePlatform.h"
#include "utilities/ScreenLens.h"

#include <QAction>
#include <QCursor>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Fakes for everything but the screen, which is the real one.
class RealScreenPlatform : public FakePlatform
{
public:
    QtScreenCapture realScreen;
    ScreenCapture& screen() override { return realScreen; }
};

// A frameless window that fills its rectangle with one colour.
std::unique_ptr<QWidget> colourPatch(const QRect& rect, const QColor& colour)
{
    auto patch = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    QPalette palette = patch->palette();
    palette.setColor(QPalette::Window, colour);
    patch->setPalette(palette);
    patch->setAutoFillBackground(true);
    patch->setGeometry(rect);
    return patch;
}

// How many of the picture's pixels are `colour`.
int pixelsOf(TForm7& lens, const QColor& colour)
{
    const QImage picture = lens.centralWidget()->grab(QRect(7, 10, 160, 160)).toImage();
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour.rgb();
    return count;
}

// Lets the event loop run (the lens ticks by its own timer) until the whole picture is `colour`.
bool waitForPicture(TForm7& lens, const QColor& colour)
{
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (pixelsOf(lens, colour) == 160 * 160)
            return true;
        QTest::qWait(20);
    }
    return false;
}

TEST(LensEndToEnd, ShowsTheColourUnderThePointer)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "needs a real X display";
    RealScreenPlatform platform;

    const QColor colour(23, 201, 99);
    auto patch = colourPatch(QRect(100, 100, 300, 300), colour);
    patch->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(patch.get()));

    TForm7 lens(platform);
    lens.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&lens));
    QCursor::setPos(250, 250);

    const char* enlargements[] = {"N11", "N21", "N31"};
    for (const char* item : enlargements) {
        lens.findChild<QAction*>(item)->trigger();
        EXPECT_TRUE(waitForPicture(lens, colour))
            << item << ": " << pixelsOf(lens, colour) << " of 25600 pixels have the colour";
    }

    // Moved to a second colour, the picture follows.
    const QColor second(240, 30, 10);
    auto secondPatch = colourPatch(QRect(500, 500, 200, 200), second);
    secondPatch->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(secondPatch.get()));
    QCursor::setPos(600, 600);
    EXPECT_TRUE(waitForPicture(lens, second));
}

} // namespace
