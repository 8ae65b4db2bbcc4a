// The preview on the real web engine: open, refresh and full screen show the saved page.
#include "e2e/EndToEndPlatform.h"
#include "editor/Unit1.h"
#include "editor/Unit2.h"
#include "platform/SourceEditor.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray page(const char* color)
{
    return QByteArray("<html><body style=\"margin:0;background:") + color +
           "\"><p>preview</p></body></html>";
}

// Waits until `widget` shows mostly `color` on the screen.
bool showsColor(const QWidget* widget, const QColor& color, int timeoutMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (shareOfColor(screenPixels(widget), color) > 0.5)
            return true;
        QTest::qWait(100);
    }
    return false;
}

TEST(PreviewEndToEnd, OpenRefreshAndFullScreenShowTheSavedPage)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("solid.html");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(page("#00c000"));
    }
    EndToEndPlatform platform;
    TForm1 form(platform);
    TForm2 fullScreen(platform);
    form.setSecondaryWindows({&fullScreen});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    platform.fakeDialogs.openAnswers.push_back({file, 1});
    form.N3Click();
    QWidget* preview = form.findChild<QWidget*>("WebBrowser1");
    ASSERT_TRUE(showsColor(preview, QColor(0, 0xc0, 0))) << "the opened page is not shown";

    // Change the colour in the editor; F5 saves and reloads.
    auto* editor = form.findChild<SourceEditor*>("RichEdit1");
    editor->selectAll();
    editor->insertPlainText(QString::fromLatin1(page("#c00000")));
    // Without a window manager the engine's window can take the input focus; give it back.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(editor, Qt::Key_F5);
    EXPECT_TRUE(showsColor(preview, QColor(0xc0, 0, 0))) << "the refreshed page is not shown";

    QTest::keyClick(editor, Qt::Key_F6);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fullScreen));
    EXPECT_TRUE(showsColor(fullScreen.browser(), QColor(0xc0, 0, 0)))
        << "the full-screen window does not show the page";
}

} // namespace
