// The live preview as the main window drives it: off by default; on, the preview is served the
// editor's text after a pause in typing, the file untouched; the panes follow each other.
#include "editor/FullScreenPreview.h"
#include "editor/LiveUpdatePacing.h"
#include "editor/NoticeBar.h"
#include "support/ProgramFixture.h"
#include "support/TestNames.h"

#include <QMenu>
#include <QTest>

namespace {

struct PacingCase
{
    qint64 lastCostMs;
    int pauseMs;
};

void PrintTo(const PacingCase& c, std::ostream* os)
{
    *os << c.lastCostMs << " ms";
}

class LiveUpdatePacingAfter : public ::testing::TestWithParam<PacingCase>
{};

TEST_P(LiveUpdatePacingAfter, PauseGrowsWithTheLastUpdatesCost)
{
    LiveUpdatePacing pacing;
    EXPECT_EQ(pacing.pauseMs(), LiveUpdatePacing::shortestPauseMs) << "before any update";
    pacing.updateTook(GetParam().lastCostMs);
    EXPECT_EQ(pacing.pauseMs(), GetParam().pauseMs);
}

const PacingCase pacingCases[] = {
    {-5, 250},    {0, 250},     {499, 250},    {503, 251},
    {2500, 1250}, {9998, 4999}, {10002, 5000}, {60000, 5000},
};

INSTANTIATE_TEST_SUITE_P(Costs, LiveUpdatePacingAfter, ::testing::ValuesIn(pacingCases),
                         [](const auto& costCase) {
                             return testNameOf(costCase.param.lastCostMs);
                         });

class LivePreviewInWindow : public ProgramFixture
{
protected:
    static QStringList implied() { return {"html", "head", "body"}; }
    QStringList liveCalls() const { return preview()->calls.filter(QRegularExpression("^live ")); }
    // Waits for the next live page past the `seen` ones.
    bool liveUpdateArrives(qsizetype seen)
    {
        return QTest::qWaitFor([&] { return liveCalls().size() > seen; }, 5000);
    }
    void openPage(const QByteArray& bytes)
    {
        writeFile(path("page.html"), bytes);
        openThroughDialog(path("page.html"));
        preview()->calls.clear();
    }
    // The page has loaded: the engine lists its elements and reports the load.
    void pageLoads(const QStringList& elements)
    {
        emit preview()->elementsListed(elements.join(' '));
        emit preview()->documentComplete();
    }
};

TEST_F(LivePreviewInWindow, OffByDefaultTheSavedFileStaysInThePreview)
{
    QAction* item = action("LivePreview1");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
    auto* view = form->findChild<QMenu*>("N8");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), QStringLiteral("&Вид"));
    EXPECT_EQ(view->actions().last(), item) << "the last item of the view menu";

    openPage("<p>saved</p>");
    type("x");
    QTest::qWait(3 * LiveUpdatePacing::shortestPauseMs);
    EXPECT_EQ(preview()->calls, QStringList());
}

TEST_F(LivePreviewInWindow, ServesTheTextInTheSavedCharsetWithoutWritingTheFile)
{
    const QByteArray saved = "<p>\xcf\xf0\xe8</p>"; // "При" in Windows-1251
    openPage(saved);
    action("LivePreview1")->trigger();
    ASSERT_TRUE(liveUpdateArrives(0)) << "turning it on shows the text at once";
    EXPECT_EQ(liveCalls().last(), "live " + path("page.html"));
    EXPECT_EQ(preview()->liveBytes, saved);
    EXPECT_EQ(preview()->liveCharset, "windows-1251") << "told on the worker, not by the engine";
    pageLoads(implied() + QStringList{"p"});

    editor()->setCursorPosition(editor()->TextLength());
    editor()->insertPlainText(QStringLiteral("<div>Ж</div>"));
    ASSERT_TRUE(liveUpdateArrives(1));
    EXPECT_EQ(preview()->liveBytes, saved + "<div>\xc6</div>");
    EXPECT_EQ(readFile(path("page.html")), saved);
    EXPECT_TRUE(editor()->Modified());

    // Off: the file itself is shown again.
    preview()->calls.clear();
    action("LivePreview1")->trigger();
    EXPECT_EQ(preview()->calls, (QStringList{"end live", "navigate " + path("page.html")}));
}

TEST_F(LivePreviewInWindow, UpdatesWaitForThePageBeforeAndTheTypingAfter)
{
    openPage("<p>a</p>");
    form->setLivePreview(true);
    ASSERT_TRUE(liveUpdateArrives(0));
    // Typing while the first update loads: the next waits for the load.
    editor()->setCursorPosition(editor()->TextLength());
    type("b");
    QTest::qWait(3 * LiveUpdatePacing::shortestPauseMs);
    EXPECT_EQ(liveCalls().size(), 1) << "an update started before the last one loaded";
    pageLoads(implied() + QStringList{"p"});
    ASSERT_TRUE(liveUpdateArrives(1));
    EXPECT_EQ(preview()->liveBytes, "<p>a</p>b");
}

TEST_F(LivePreviewInWindow, UntitledPageLiesInTheWorkingDirectory)
{
    form->HTML1Click();
    form->setLivePreview(true);
    ASSERT_TRUE(liveUpdateArrives(0));
    EXPECT_EQ(liveCalls().last(),
              "live " + QDir(QDir::currentPath()).filePath(TForm1::UntitledName + ".html"));
}

TEST_F(LivePreviewInWindow, CaretAndCtrlClickFollowEachOther)
{
    //                          0         1         2         3
    //                          0123456789012345678901234567890123456
    const QByteArray page = "<table><tr><td>a</td></tr></table>\n<p>b</p>";
    openPage(page);
    form->setLivePreview(true);
    ASSERT_TRUE(liveUpdateArrives(0));
    pageLoads(implied() + QStringList{"table", "tbody", "tr", "td", "p"});

    // A Ctrl+click on the cell (or on the tbody the parser made around it) puts the caret at
    // its tag.
    // The elements are paired with the tags on the worker: a click lands once they are.
    const auto pickLands = [&](const QList<int>& indexes, qsizetype position) {
        return QTest::qWaitFor(
            [&] {
                emit preview()->elementPicked(indexes);
                return editor()->cursorPosition() == position;
            },
            5000);
    };
    EXPECT_TRUE(pickLands({6, 5, 4, 2, 0}, page.indexOf("<td>")));
    EXPECT_TRUE(pickLands({4, 3, 2, 0}, 0)) << "tbody has no tag: its table has";

    // Caret moves into another element scroll the preview to it, once.
    preview()->calls.clear();
    editor()->setCursorPosition(page.indexOf("b</p>"));
    editor()->setCursorPosition(page.indexOf("b</p>") + 1);
    editor()->setCursorPosition(page.indexOf("a</td>"));
    EXPECT_EQ(preview()->calls, (QStringList{"reveal 7", "reveal 6"}));

    // Not while the preview shows an older text.
    preview()->calls.clear();
    type("x");
    editor()->setCursorPosition(page.indexOf("b</p>"));
    EXPECT_EQ(preview()->calls.filter("reveal"), QStringList());
}

TEST_F(LivePreviewInWindow, FullScreenShowsTheLiveText)
{
    form->HTML1Click();
    form->setLivePreview(true);
    type("<p>live</p>");
    form->Action1Execute();
    const QString untitled = QDir(QDir::currentPath()).filePath(TForm1::UntitledName + ".html");
    EXPECT_EQ(platform.browsers.value(1)->calls, QStringList{"navigate " + untitled});
    EXPECT_EQ(preview()->liveBytes, "<p>live</p>");
}

// The preview follows what is typed: after each update the caret's element is scrolled to (the
// browser leaves it where it is when it is in view).
TEST_F(LivePreviewInWindow, EachUpdateScrollsToTheCaretsElement)
{
    const QByteArray page = "<div>a</div>\n<p>b</p>";
    openPage(page);
    form->setLivePreview(true);
    ASSERT_TRUE(liveUpdateArrives(0));
    editor()->setCursorPosition(page.indexOf("b</p>"));
    const QStringList elements = implied() + QStringList{"div", "p"};
    pageLoads(elements);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview()->calls.contains("reveal 4"); }, 5000))
        << preview()->calls.join(", ").toStdString();

    for (const char* typed : {"x", "y"}) {
        preview()->calls.clear();
        type(typed);
        ASSERT_TRUE(liveUpdateArrives(0));
        EXPECT_EQ(preview()->calls.filter("reveal"), QStringList()) << "not before the load";
        pageLoads(elements);
        EXPECT_TRUE(QTest::qWaitFor([&] { return preview()->calls.contains("reveal 4"); }, 5000))
            << "after typing " << typed;
    }
    // Moves within the element do not scroll again.
    preview()->calls.clear();
    editor()->setCursorPosition(page.indexOf("b</p>"));
    EXPECT_EQ(preview()->calls, QStringList());
}

// A big text is copied a slice per turn of the event loop; typing during the copy drops it, and
// the update shows the text as typed, never a copy made of two texts.
TEST_F(LivePreviewInWindow, TypingDuringTheCopyOfABigTextStartsItAgain)
{
    const QByteArray page = "<p>" + QByteArray(3 * 1024 * 1024 / 2, 'a') + "</p>";
    openPage(page);
    // Turning it on copies the first slice at once, the rest as the events come.
    form->setLivePreview(true);
    editor()->setCursorPosition(0);
    editor()->insertPlainText(QStringLiteral("<b>x</b>"));
    ASSERT_TRUE(liveUpdateArrives(0));
    EXPECT_EQ(liveCalls().size(), 1);
    EXPECT_TRUE(preview()->liveBytes == "<b>x</b>" + page) << "a copy of two texts was shown";
}

// The full-screen preview takes the live text: at once when the preview is behind the typing,
// its tags found away from the typing, and without a reload when the preview is up to date.
TEST_F(LivePreviewInWindow, FullScreenServesTheTextOnlyWhenBehind)
{
    const QByteArray page = "<p>a</p>";
    openPage(page);
    form->setLivePreview(true);
    ASSERT_TRUE(liveUpdateArrives(0));
    pageLoads(implied() + QStringList{"p"});
    form->Action1Execute();
    EXPECT_EQ(liveCalls().size(), 1) << "the preview already shows the text";

    editor()->setCursorPosition(editor()->TextLength());
    editor()->insertPlainText(QStringLiteral("<b>new</b>"));
    form->Action1Execute();
    ASSERT_EQ(liveCalls().size(), 2) << "served at once";
    EXPECT_EQ(preview()->liveBytes, page + "<b>new</b>");
    // The page may list its elements before its tags are back from the worker: they are paired
    // once they are, and a Ctrl+click on the new element lands on its tag.
    pageLoads(implied() + QStringList{"p", "b"});
    const qsizetype bold = page.size();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            emit preview()->elementPicked({4});
            return editor()->cursorPosition() == bold;
        },
        5000));
}

TEST_F(LivePreviewInWindow, QuietDialogsAreNotedOnce)
{
    openPage("<script>alert(1)</script>");
    form->setLivePreview(true);
    emit preview()->pageDialogSuppressed();
    NoticeBar* notice = nullptr;
    for (NoticeBar* bar : form->findChildren<NoticeBar*>()) {
        if (bar->text().contains("alert"))
            notice = bar;
    }
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->isHidden());
    notice->dismiss();
    emit preview()->pageDialogSuppressed();
    EXPECT_TRUE(notice->isHidden());
}

} // namespace
