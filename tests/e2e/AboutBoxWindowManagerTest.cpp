// The about window under a real window manager: a drag with the mouse moves the frame, which Qt
// learns of only through the native window, and the window reopens there.
#include "e2e/EndToEndPlatform.h"
#include "utilities/AboutBox.h"

#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// A left-button drag from `from` by `offset`, in steps, as a hand would do it.
bool drag(QPoint from, QPoint offset)
{
    const auto text = [](int v) { return QString::number(v); };
    if (!xdotool({"mousemove", text(from.x()), text(from.y())}) || !xdotool({"mousedown", "1"}))
        return false;
    constexpr int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        QTest::qWait(30);
        const QPoint at = from + offset * i / steps;
        xdotool({"mousemove", text(at.x()), text(at.y())});
    }
    QTest::qWait(30);
    return xdotool({"mouseup", "1"});
}

// Runs only where the test command started a window manager (and xdotool is there).
TEST(AboutBoxUnderWindowManager, ReopensWhereTheUserDraggedIt)
{
    if (qEnvironmentVariableIsEmpty("PAGEWRIGHT_WINDOW_MANAGER"))
        GTEST_SKIP() << "needs a window manager: run by the e2e_window_manager test";
    EndToEndPlatform platform;
    TAboutBox box(platform);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    // The frame is the window manager's: the title bar lies between its top and the client's.
    QTRY_VERIFY_WITH_TIMEOUT(box.geometry().top() > box.frameGeometry().top(), 10000);
    const QPoint before = box.frameGeometry().topLeft();
    const QPoint titleBar(box.geometry().center().x(),
                          (box.frameGeometry().top() + box.geometry().top()) / 2);

    ASSERT_TRUE(drag(titleBar, QPoint(-200, -150)));
    QTRY_COMPARE_WITH_TIMEOUT(box.frameGeometry().topLeft(), before + QPoint(-200, -150), 10000);
    const QPoint dragged = box.frameGeometry().topLeft();

    box.findChild<QPushButton*>("OKButton")->click();
    ASSERT_FALSE(box.isVisible());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QTest::qWait(300); // a window manager may place a mapped window late
    EXPECT_EQ(box.frameGeometry().topLeft(), dragged);
}

} // namespace
