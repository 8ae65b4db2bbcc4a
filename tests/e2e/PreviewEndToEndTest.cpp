// The preview on the real web engine: open, refresh and full screen show the saved page.
#include "app/ProgramWindows.h"
#include "e2e/EndToEndPlatform.h"
#include "editor/FullScreenPreview.h"
#include "editor/MainWindow.h"
#include "platform/WebEngineBrowser.h"
#include "text/SourceEditor.h"

#include <QWebEngineHistory>
#include <QWebEngineView>

#include <QApplication>
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
    ProgramWindows windows(platform, dir.path());
    TForm1& form = *windows.mainWindow;
    TForm2& fullScreen = *windows.fullScreenPreview;
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

namespace {

// Keys that the page leaves unused move in the preview's history, as its hint says.
TEST(PreviewEndToEnd, HistoryKeysInThePreview)
{
    QTemporaryDir dir;
    const QByteArray pages[] = {"<p>one</p>", "<p>two</p>",
                                "<input id=field value=text autofocus>"};
    const char* names[] = {"one.html", "two.html", "form.html"};
    for (int i = 0; i < 3; ++i) {
        QFile out(dir.filePath(names[i]));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pages[i]);
    }
    EndToEndPlatform platform;
    std::unique_ptr<Browser> browser(platform.createBrowser(nullptr));
    auto* engine = static_cast<WebEngineBrowser*>(browser.get());
    browser->resize(400, 300);
    browser->show();
    browser->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(browser.get()));
    QSignalSpy loaded(browser.get(), &Browser::documentComplete);
    QSignalSpy history(browser.get(), &Browser::commandStateChange);
    const auto showing = [&](const char* name) {
        return QTest::qWaitFor([&] { return engine->view()->url().path().endsWith(name); }, 10000);
    };
    for (const char* name : {"one.html", "two.html"}) {
        browser->navigate(dir.filePath(name));
        ASSERT_TRUE(loaded.wait(30000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return engine->view()->history()->canGoBack(); }, 10000));
    EXPECT_TRUE(history.contains(QVariantList{Browser::BackCommand, true}));

    // Keys go to the page first. Pages of other files come in new widgets of the engine, which
    // keep the focus: the keys go to whatever has it.
    QWidget* page = engine->view()->focusProxy();
    ASSERT_NE(page, nullptr);
    page->setFocus();
    const auto focused = [] { return QApplication::focusWidget(); };
    QTest::keyClick(focused(), Qt::Key_Left, Qt::AltModifier | Qt::ControlModifier);
    QTest::qWait(500);
    EXPECT_TRUE(showing("two.html")) << "Ctrl+Alt+Left must not go back";

    QTest::keyClick(focused(), Qt::Key_Backspace);
    ASSERT_TRUE(showing("one.html")) << "Backspace";
    ASSERT_TRUE(QTest::qWaitFor([&] { return focused() == engine->view()->focusProxy(); }, 10000))
        << "the page shown has no focus";
    QTest::keyClick(focused(), Qt::Key_Right, Qt::AltModifier);
    ASSERT_TRUE(showing("two.html")) << "Alt+Right";
    ASSERT_TRUE(QTest::qWaitFor([&] { return focused() == engine->view()->focusProxy(); }, 10000))
        << "the page shown has no focus";
    QTest::keyClick(focused(), Qt::Key_Left, Qt::AltModifier);
    ASSERT_TRUE(showing("one.html")) << "Alt+Left";

    // In a text field Backspace deletes and stays on the page.
    browser->navigate(dir.filePath("form.html"));
    ASSERT_TRUE(loaded.wait(30000));
    page = engine->view()->focusProxy();
    page->setFocus();
    QTest::qWait(500);
    QTest::keyClick(page, Qt::Key_Backspace);
    QTest::qWait(1000);
    EXPECT_TRUE(showing("form.html"));
}

} // namespace
