// With a page in the preview, the main window stays the same raster window, and typing in the
// editor does not repaint the page.
#include "e2e/EndToEndPlatform.h"
#include "editor/MainWindow.h"
#include "platform/WebEngineBrowser.h"
#include "text/SourceEditor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

TEST(PreviewRepaintEndToEnd, FirstPageKeepsTheWindowAndTypingLeavesThePageAlone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("page.html");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("<html><body style=\"margin:0;background:#0000c0\"><p>page</p></body></html>");
    }
    EndToEndPlatform platform;
    TForm1 form(platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const WId windowBefore = form.winId();

    platform.fakeDialogs.openAnswers.push_back({file, 1});
    form.N3Click();
    auto* preview = form.findChild<WebEngineBrowser*>("WebBrowser1");
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shareOfColor(screenPixels(preview), QColor(0, 0, 0xc0)) > 0.5; }, 30000))
        << "the page is not shown";

    // The engine's start neither re-creates the window nor turns it into an OpenGL-composed one
    // (which would compose the whole window, page included, on every repaint).
    EXPECT_EQ(form.winId(), windowBefore);
    EXPECT_EQ(form.windowHandle()->surfaceType(), QSurface::RasterSurface);

    // Typing repaints the editor, not the page.
    QWidget* page = preview->view()->focusProxy();
    ASSERT_NE(page, nullptr);
    auto* editor = form.findChild<SourceEditor*>("RichEdit1");
    form.activateWindow();
    editor->setFocus();
    // The activation repaints the whole window once, and the first edit enables the undo button,
    // whose tool bar overlaps the page by a row.
    QTest::keyClick(editor, Qt::Key_Space);
    QTest::qWait(1000);
    PaintCounter counter;
    page->installEventFilter(&counter);
    QTest::keyClicks(editor, QStringLiteral("typed"));
    QTest::qWait(1500); // caret blinks included
    EXPECT_TRUE(editor->Text().contains(QLatin1String("typed")));
    EXPECT_EQ(counter.paints, 0);
}

} // namespace
