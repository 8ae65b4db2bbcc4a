// The main window's notice about the document's file on disk: one bar over the editor, updated
// in place, that moves none of the window's controls; a document read again keeps its caret and
// scroll position; the two choices of a modified document.
#include "editor/NoticeBar.h"
#include "support/MainWindowFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <cstdio>

namespace {

class DiskNotice : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        file = path("page.html");
        writeFile(file, lines(200, "line"));
        openThroughDialog(file);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        controlsBefore = controlGeometries();
    }

    static QByteArray lines(int count, const char* word)
    {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += QByteArray(word) + QByteArray::number(i) + "\r\n";
        return text;
    }
    void replaceByRename(const QByteArray& bytes)
    {
        writeFile(file + "~", bytes);
        ASSERT_EQ(std::rename(QFile::encodeName(file + "~"), QFile::encodeName(file)), 0);
    }
    void look() { form->session().diskWatch().checkNow(); }
    NoticeBar* bar() const { return form->findChild<NoticeBar*>("NoticeBar"); }
    QString noticeText() const { return bar() ? bar()->text() : QString(); }
    QPushButton* choice(const QString& text) const
    {
        for (auto* button : form->findChildren<QPushButton*>())
            if (button->text() == text && button->isVisible())
                return button;
        return nullptr;
    }
    // Every widget of the window but the notice's own, with its geometry.
    QMap<QString, QRect> controlGeometries() const
    {
        QMap<QString, QRect> geometries;
        for (auto* widget : form->findChildren<QWidget*>())
            if (!widget->objectName().isEmpty() && widget != bar() && !bar()->isAncestorOf(widget))
                geometries[widget->objectName()] = widget->geometry();
        return geometries;
    }

    QString file;
    QMap<QString, QRect> controlsBefore;
};

TEST_F(DiskNotice, ReadAgainKeepsCaretAndScroll)
{
    SourceEditor* source = editor();
    source->setCursorPosition(source->buffer()->lineStart(120) + 3);
    source->verticalScrollBar()->setValue(100);
    replaceByRename(lines(200, "LINE"));
    look();
    const TextBuffer& buffer = *source->buffer();
    EXPECT_EQ(buffer.lineText(0), "LINE0");
    EXPECT_EQ(buffer.lineAt(source->cursorPosition()), 120);
    EXPECT_EQ(source->cursorPosition() - buffer.lineStart(120), 3);
    EXPECT_EQ(source->verticalScrollBar()->value(), 100);
    EXPECT_FALSE(source->Modified());
    EXPECT_EQ(noticeText(), "Файл изменён другой программой и перечитан.");
    EXPECT_EQ(controlGeometries(), controlsBefore);

    // A shorter text: the caret goes to the nearest place there is.
    source->setCursorPosition(buffer.lineStart(150) + 5);
    replaceByRename("ab\r\nc");
    look();
    EXPECT_EQ(source->cursorPosition(), buffer.length()) << "end of the last line";
}

TEST_F(DiskNotice, BurstOfChangesKeepsOneNotice)
{
    for (int i = 0; i < 5; ++i) {
        replaceByRename(lines(3, QByteArray::number(i).constData()));
        look();
    }
    EXPECT_EQ(form->findChildren<NoticeBar*>().size(), 1);
    type("x");
    replaceByRename("other");
    look();
    EXPECT_EQ(form->findChildren<NoticeBar*>().size(), 1);
    EXPECT_EQ(noticeText(), "Файл изменён другой программой.");
    EXPECT_EQ(controlGeometries(), controlsBefore);
    // It lies over the top of the editor, inside the window.
    EXPECT_EQ(bar()->geometry().topLeft(), editor()->geometry().topLeft());
    EXPECT_EQ(bar()->width(), editor()->width());
}

TEST_F(DiskNotice, KeepMyTextThenReread)
{
    type("x");
    replaceByRename("<p>theirs</p>");
    look();
    ASSERT_NE(choice("Оставить мой текст"), nullptr);
    QTest::mouseClick(choice("Оставить мой текст"), Qt::LeftButton);
    EXPECT_TRUE(noticeText().isEmpty());
    EXPECT_TRUE(editor()->PlainText().startsWith("x"));

    replaceByRename("<p>theirs again</p>");
    look();
    ASSERT_NE(choice("Перечитать"), nullptr);
    dialogs().questionAnswers = {Dialogs::Answer::No};
    QTest::mouseClick(choice("Перечитать"), Qt::LeftButton);
    EXPECT_TRUE(editor()->PlainText().startsWith("x"));
    EXPECT_EQ(noticeText(), "Файл изменён другой программой.");

    dialogs().questionAnswers = {Dialogs::Answer::Yes};
    QTest::mouseClick(choice("Перечитать"), Qt::LeftButton);
    EXPECT_EQ(editor()->PlainText(), "<p>theirs again</p>");
    EXPECT_TRUE(noticeText().isEmpty());
    EXPECT_EQ(form->statusPanelText(0), "");
}

TEST_F(DiskNotice, DeletedFileIsToldAndNewDocumentTakesTheNoticeAway)
{
    ASSERT_TRUE(QFile::remove(file));
    look();
    EXPECT_TRUE(noticeText().startsWith("Файл удалён или переименован другой программой."));
    EXPECT_EQ(form->statusPanelText(0), DocumentSession::ModifiedMark);
    dialogs().questionAnswers = {Dialogs::Answer::No};
    form->HTML1Click();
    EXPECT_TRUE(noticeText().isEmpty());
}

} // namespace
