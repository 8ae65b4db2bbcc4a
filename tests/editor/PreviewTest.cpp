// When the preview loads, reloads or keeps its page; its history buttons; the full-screen view.
#include "editor/FullScreenPreview.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

class Preview : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        form2 = program->fullScreenPreview.get();
        writeFile(path("a.html"), "<p>a</p>");
        writeFile(path("b.html"), "<p>b</p>");
    }
    FakeBrowser* fullScreenBrowser() const { return platform.browsers.value(1); }
    QStringList takeCalls()
    {
        const QStringList calls = preview()->calls;
        preview()->calls.clear();
        return calls;
    }

    TForm2* form2 = nullptr;
};

TEST_F(Preview, WhatEachCommandDoesToThePreview)
{
    const QString navigateA = "navigate " + path("a.html");
    // Refresh without changes does nothing, in every state.
    form->N21Click();
    form->HTML1Click();
    form->N21Click();
    EXPECT_EQ(takeCalls(), QStringList());

    // Refresh of an untitled document: Save As, then the saved file is loaded.
    type("x");
    dialogs().saveAnswers = {{path("new"), 1}};
    form->N21Click();
    EXPECT_EQ(takeCalls(), QStringList{"navigate " + path("new.html")});
    EXPECT_EQ(readFile(path("new.html")), "x");

    // A cancelled Save As leaves the preview alone and the document untitled and modified.
    form->HTML1Click();
    type("y");
    form->SpeedButton10Click();
    EXPECT_EQ(takeCalls(), QStringList());
    EXPECT_EQ(form->CurrentFileName(), TForm1::UntitledName);
    EXPECT_TRUE(editor()->Modified());

    // Open loads; a named, modified document is written and reloaded.
    dialogs().questionAnswers = {Dialogs::Answer::No};
    openThroughDialog(path("a.html"));
    EXPECT_EQ(takeCalls(), QStringList{navigateA});
    type("1");
    form->N21Click();
    EXPECT_EQ(takeCalls(), QStringList{"refresh"});
    EXPECT_EQ(form->statusPanelText(0), QString());
    EXPECT_EQ(readFile(path("a.html")), "1<p>a</p>");

    // Save and Save As leave the preview as it is.
    type("2");
    form->N7Click();
    dialogs().saveAnswers = {{path("b.html"), 1}};
    dialogs().questionAnswers = {Dialogs::Answer::Yes};
    form->N4Click();
    EXPECT_EQ(takeCalls(), QStringList());
    EXPECT_EQ(form->CurrentFileName(), path("b.html"));

    // After Save As gave the document another file, Refresh loads that file rather than
    // reloading the old one; afterwards it reloads.
    type("3");
    form->N21Click();
    EXPECT_EQ(takeCalls(), QStringList{"navigate " + path("b.html")});
    type("4");
    form->N21Click();
    EXPECT_EQ(takeCalls(), QStringList{"refresh"});

    // The question's save writes without touching the preview.
    type("5");
    dialogs().questionAnswers = {Dialogs::Answer::Yes};
    form->HTML1Click();
    EXPECT_EQ(takeCalls(), QStringList());
    EXPECT_EQ(readFile(path("b.html")), "12345<p>a</p>");
}

TEST_F(Preview, HistoryButtonsMirrorTheBrowser)
{
    QToolButton* back = button("SpeedButton11");
    QToolButton* forward = button("SpeedButton12");
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    openThroughDialog(path("a.html"));
    EXPECT_FALSE(back->isEnabled());

    emit preview()->commandStateChange(2, true);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    emit preview()->commandStateChange(1, true);
    EXPECT_TRUE(forward->isEnabled());
    emit preview()->commandStateChange(-1, false); // other commands are ignored
    emit preview()->commandStateChange(3, false);
    EXPECT_TRUE(back->isEnabled());
    EXPECT_TRUE(forward->isEnabled());

    preview()->calls.clear();
    back->click();
    forward->click();
    EXPECT_EQ(preview()->calls, (QStringList{"back", "forward"}));
    emit preview()->commandStateChange(2, false);
    EXPECT_FALSE(back->isEnabled());
}

TEST_F(Preview, LoadedPageGivesTheEditorTheFocusWhenItCanTakeIt)
{
    form->show();
    QApplication::setActiveWindow(form.get());
    openThroughDialog(path("a.html"));
    QWidget* other = form->findChild<QWidget*>("ScrollBar1");
    other->setFocus();
    emit preview()->documentComplete();
    EXPECT_TRUE(editor()->hasFocus());

    other->setFocus();
    form->setEnabled(false); // a template window is shown
    emit preview()->documentComplete();
    EXPECT_FALSE(editor()->hasFocus());
    form->setEnabled(true);
}

TEST_F(Preview, FullScreenSizesAndLoading)
{
    form->Action1Execute(); // before any document: shown, nothing loaded
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(form2->size(), QSize(800, 570));
    EXPECT_EQ(form2->browser()->geometry(), QRect(0, 25, 800, 545));
    EXPECT_EQ(form2->pos(), QPoint(0, 1));
    EXPECT_TRUE(form2->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form2->windowFlags() & Qt::WindowStaysOnTopHint);
    form2->findChild<QPushButton*>("BitBtn1")->click();
    EXPECT_FALSE(form2->isVisible());

    form->HTML1Click();
    form->Action1Execute();
    EXPECT_EQ(fullScreenBrowser()->calls, QStringList());
    form2->findChild<QAction*>("Action1")->trigger();
    EXPECT_FALSE(form2->isVisible());

    openThroughDialog(path("a.html"));
    form->N1024x7681Click();
    form->Action1Execute();
    EXPECT_EQ(form2->size(), QSize(1024, 738));
    EXPECT_EQ(form2->browser()->geometry(), QRect(0, 25, 1024, 713));
    EXPECT_EQ(fullScreenBrowser()->calls, QStringList{"navigate " + path("a.html")});

    // A click on the window's own surface closes it.
    QTest::mouseClick(form2, Qt::LeftButton, {}, QPoint(400, 10));
    EXPECT_FALSE(form2->isVisible());
    // Showing it again reloads the saved file, at the size of the layout now in force.
    form->N1024x7681Click();
    form->Action1Execute();
    EXPECT_EQ(form2->size(), QSize(800, 570));
    EXPECT_EQ(fullScreenBrowser()->calls.size(), 2);
}

// Only the strip beside the button closes the window; a click on the browser area, loaded or
// not, belongs to the page.
TEST_F(Preview, AClickOnTheBrowserAreaKeepsTheFullScreenOpen)
{
    form->Action1Execute(); // nothing loaded yet
    ASSERT_TRUE(form2->isVisible());
    for (const QPoint at : {QPoint(10, 10), QPoint(400, 300), QPoint(0, 0)}) {
        QTest::mouseClick(form2->browser(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(form2->isVisible()) << at.x() << "," << at.y();
    }
    openThroughDialog(path("a.html"));
    form->Action1Execute();
    QTest::mouseClick(form2->browser(), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_TRUE(form2->isVisible());
    QTest::mouseClick(form2, Qt::LeftButton, {}, QPoint(400, 24));
    EXPECT_FALSE(form2->isVisible());
}

// The previews are told the document's charset, for pages that do not declare it.
TEST_F(Preview, PreviewsAreGivenTheDocumentsCharset)
{
    writeFile(path("cp1251.html"), "<p>\xce\xea</p>");
    writeFile(path("koi8.html"), "<meta charset=koi8-r><p>\xef\xcb</p>");
    writeFile(path("utf16.html"), QByteArray("\xff\xfe<\0p\0>\0", 8));
    const struct
    {
        const char* file;
        QByteArray charset;
    } cases[] = {
        {"cp1251.html", "windows-1251"}, {"koi8.html", "koi8-r"}, {"utf16.html", "utf-16le"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        openThroughDialog(path(c.file));
        EXPECT_EQ(preview()->defaultTextEncoding, c.charset);
        form->Action1Execute();
        EXPECT_EQ(fullScreenBrowser()->defaultTextEncoding, c.charset);
        form2->Action1Execute();
    }
    // A declaration typed in and saved changes the charset of the reload.
    editor()->moveCursor(QTextCursor::Start);
    editor()->insertPlainText("<meta charset=utf-8>");
    form->N21Click();
    EXPECT_EQ(preview()->defaultTextEncoding, "utf-8");
}

} // namespace
