// Dropping one local file on the main window (editor, preview, anywhere else) opens it as Open
// does; text dropped into the editor is still inserted.
#include "editor/FileDropTarget.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QMimeData>
#include <QUrl>

namespace {

class FileDrop : public MainWindowFixture
{
protected:
    // Drags `data` onto `target` and drops it there, as the window system delivers a drop;
    // returns whether the drop was accepted. What a drop starts runs once the events are handled.
    static bool drop(QWidget* target, QMimeData* data)
    {
        const QPointF at(5, 5);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return dropped.isAccepted();
    }
    static QMimeData* files(const QStringList& paths)
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << (p.contains(':') ? QUrl(p) : QUrl::fromLocalFile(p));
        data->setUrls(urls);
        // File managers also offer the names as text.
        data->setText(paths.join('\n'));
        return data;
    }

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        writeFile(path("a.html"), "<p>a</p>");
        writeFile(path("b.html"), "<p>b</p>");
        form->show();
    }
};

TEST_F(FileDrop, OneLocalFileOpensWhereverItIsDropped)
{
    QWidget* webView = new QWidget(preview()); // the engine builds its view after start-up
    webView->setAcceptDrops(true);
    const struct
    {
        const char* where;
        QWidget* target;
    } targets[] = {
        {"editor", editor()->viewport()},
        {"preview", preview()},
        {"web view", webView},
        {"window", form.get()},
    };
    for (const auto& t : targets) {
        SCOPED_TRACE(t.where);
        for (const char* file : {"a.html", "b.html"}) {
            std::unique_ptr<QMimeData> data(files({path(file)}));
            EXPECT_TRUE(drop(t.target, data.get()));
            EXPECT_EQ(form->CurrentFileName(), path(file));
            EXPECT_EQ(editor()->PlainText(), "<p>" + QString(file).left(1) + "</p>");
            EXPECT_EQ(preview()->calls.last(), "navigate " + path(file));
        }
    }
    EXPECT_TRUE(dialogs().log.isEmpty());

    // While a template window keeps the main window disabled, nothing is taken.
    form->setEnabled(false);
    for (const auto& t : targets) {
        SCOPED_TRACE(t.where);
        std::unique_ptr<QMimeData> data(files({path("a.html")}));
        EXPECT_FALSE(drop(t.target, data.get()));
        EXPECT_EQ(form->CurrentFileName(), path("b.html"));
    }
}

TEST_F(FileDrop, TheSaveChangesQuestionComesFirst)
{
    writeFile(path("doc.html"), "old");
    openThroughDialog(path("doc.html"));
    type("new ");
    for (Dialogs::Answer answer : {Dialogs::Answer::Cancel, Dialogs::Answer::Yes}) {
        dialogs().log.clear();
        dialogs().questionAnswers = {answer};
        std::unique_ptr<QMimeData> data(files({path("a.html")}));
        drop(editor()->viewport(), data.get());
        ASSERT_EQ(dialogs().logOf("question").size(), 1);
        EXPECT_EQ(form->CurrentFileName(),
                  answer == Dialogs::Answer::Yes ? path("a.html") : path("doc.html"));
    }
    EXPECT_EQ(readFile(path("doc.html")), "new old");
}

TEST_F(FileDrop, OtherDropsAreLeftToTheEditor)
{
    form->HTML1Click();
    const struct
    {
        const char* what;
        QStringList urls;
    } cases[] = {
        {"two files", {path("a.html"), path("b.html")}},
        {"a web address", {"https://example.org/page.html"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QMimeData> data(files(c.urls));
        EXPECT_EQ(FileDropTarget::droppedFile(data.get()), QString());
        drop(form.get(), data.get());
        EXPECT_EQ(form->CurrentFileName(), TForm1::UntitledName);
    }

    // Plain text goes into the editor.
    QMimeData text;
    text.setText(QStringLiteral("<b>dropped</b>"));
    EXPECT_TRUE(drop(editor()->viewport(), &text));
    EXPECT_EQ(editor()->PlainText(), QStringLiteral("<b>dropped</b>"));
    EXPECT_EQ(form->CurrentFileName(), TForm1::UntitledName);
    EXPECT_TRUE(dialogs().log.isEmpty());
}

} // namespace
