// The live preview on the real web engine: updates keep the scroll position and show no white
// between two versions; a Ctrl+click puts the caret at the element's tag while a plain click
// follows a link; the caret's element is scrolled into view.
#include "app/ProgramWindows.h"
#include "e2e/EndToEndPlatform.h"
#include "editor/MainWindow.h"
#include "platform/WebEngineBrowser.h"
#include "text/SourceEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace {

class LivePreviewEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Shows the main window with `page` open and the live preview on, its first live load done.
    void openLive(const QByteArray& page)
    {
        const QString file = dir.filePath("page.html");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(page);
        out.close();
        windows = std::make_unique<ProgramWindows>(platform, dir.path());
        form = windows->mainWindow.get();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        browser = form->findChild<WebEngineBrowser*>();
        ASSERT_NE(browser, nullptr);
        editor = form->findChild<SourceEditor*>("RichEdit1");
        QSignalSpy listed(browser, &Browser::elementsListed);
        platform.fakeDialogs.openAnswers.push_back({file, 1});
        form->N3Click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return browser->view() && !js("1").isNull(); }, 30000));
        form->setLivePreview(true);
        ASSERT_TRUE(listed.wait(30000)) << "the live page is not listed";
    }
    // The value of `script` in the page.
    QVariant js(const QString& script)
    {
        QVariant result;
        bool done = false;
        browser->view()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? result : QVariant();
    }
    QTemporaryDir dir;
    EndToEndPlatform platform;
    std::unique_ptr<ProgramWindows> windows;
    TForm1* form = nullptr;
    WebEngineBrowser* browser = nullptr;
    SourceEditor* editor = nullptr;
};

TEST_F(LivePreviewEndToEnd, UpdatesKeepTheScrollPositionAndShowNoWhite)
{
    openLive("<html><body style=\"margin:0;background:#3060c0\"><div style=\"height:5000px\">"
             "</div><p>end</p></body></html>");
    js("window.scrollTo(0, 3000)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return js("window.scrollY").toInt() == 3000; }, 10000));

    QSignalSpy listed(browser, &Browser::elementsListed);
    // Into the tall element in view: the caret's move leaves the preview where it is.
    editor->setCursorPosition(editor->PlainText().indexOf("</div>"));
    editor->insertPlainText("more");
    // The screen is read again and again until the new version is listed.
    double whitest = 0;
    QElapsedTimer waited;
    waited.start();
    while (listed.isEmpty() && waited.elapsed() < 30000) {
        whitest = std::max(whitest, shareOfColor(screenPixels(browser), Qt::white));
        listed.wait(10);
    }
    ASSERT_FALSE(listed.isEmpty()) << "no live update";
    EXPECT_TRUE(js("document.body.innerText").toString().startsWith("more"));
    EXPECT_EQ(js("window.scrollY").toInt(), 3000);
    EXPECT_LT(whitest, 0.5) << "the preview flashed white";
}

TEST_F(LivePreviewEndToEnd, CtrlClickGoesToTheTagAndAPlainClickFollowsTheLink)
{
    QFile other(dir.filePath("other.html"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("<p>other</p>");
    other.close();
    openLive("<body style=\"margin:0\"><div style=\"height:100px\">top</div>"
             "<table cellspacing=0 cellpadding=0><tr><td><span style=\"display:block;"
             "height:100px;width:300px\">cell</span></td></tr></table>"
             "<a href=\"other.html\" style=\"display:block;height:100px\">link</a></body>");
    QWidget* page = browser->view()->focusProxy();
    ASSERT_NE(page, nullptr);

    QTest::mouseClick(page, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 150));
    const int span = int(editor->PlainText().indexOf("<span"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->cursorPosition() == span; }, 10000))
        << "the caret is at " << editor->cursorPosition() << ", not at the span's tag " << span;

    QTest::mouseClick(page, Qt::LeftButton, Qt::NoModifier, QPoint(20, 250));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser->view()->url().path().endsWith("other.html"); }, 10000))
        << "a plain click does not follow the link";
}

TEST_F(LivePreviewEndToEnd, CaretMovesScrollTheElementIntoView)
{
    openLive("<body style=\"margin:0\"><div style=\"height:4000px\">top</div>"
             "<p id=last>last</p></body>");
    ASSERT_EQ(js("window.scrollY").toInt(), 0);
    editor->setCursorPosition(editor->PlainText().indexOf("last</p>"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("window.scrollY").toInt() > 3000; }, 10000))
        << "the preview did not scroll to the caret's element";
    // Moving within the element, already in view, leaves the preview where it is.
    const int shown = js("window.scrollY").toInt();
    js("window.scrollTo(0, window.scrollY - 5)");
    editor->setCursorPosition(editor->cursorPosition() + 1);
    QTest::qWait(300);
    EXPECT_EQ(js("window.scrollY").toInt(), shown - 5);
}

// The preview follows what is typed: text typed in an element out of view brings it into view
// once the update has loaded.
TEST_F(LivePreviewEndToEnd, TypingBringsTheElementIntoView)
{
    openLive("<body style=\"margin:0\"><div style=\"height:4000px\">top</div>"
             "<p id=last>last</p></body>");
    editor->setCursorPosition(editor->PlainText().indexOf("last</p>"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return js("window.scrollY").toInt() > 3000; }, 10000));
    js("window.scrollTo(0, 0)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return js("window.scrollY").toInt() == 0; }, 10000));

    QSignalSpy listed(browser, &Browser::elementsListed);
    editor->insertPlainText("more ");
    ASSERT_TRUE(listed.wait(30000)) << "no live update";
    EXPECT_TRUE(QTest::qWaitFor([&] { return js("window.scrollY").toInt() > 3000; }, 10000))
        << "the typed element stays out of view";
    EXPECT_EQ(js("document.getElementById('last').textContent").toString(), "more last");
}

// A page that greets its reader is not answered at every pause in typing: the live update keeps
// the dialog quiet and says so once.
TEST_F(LivePreviewEndToEnd, LiveUpdatesKeepThePagesDialogsQuiet)
{
    openLive("<p>page</p>");
    QSignalSpy quiet(browser, &Browser::pageDialogSuppressed);
    QSignalSpy listed(browser, &Browser::elementsListed);
    // A dialog that shows is closed again, and counted.
    int shown = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++shown;
            modal->close();
        }
    });
    watch.start(50);
    editor->setCursorPosition(editor->TextLength());
    editor->insertPlainText("<script>alert('hello')</script>");
    ASSERT_TRUE(listed.wait(30000)) << "no live update";
    EXPECT_TRUE(quiet.count() == 1 || quiet.wait(5000)) << "the dialog was not kept quiet";
    EXPECT_EQ(shown, 0);
}

} // namespace
