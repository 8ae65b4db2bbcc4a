// The document session when other programs change the document's file: an unmodified document
// follows the file, a modified one keeps its text until the user chooses, a save asks before
// writing over another program's change, and our own saves never count as such a change.
#include "document/DocumentSession.h"
#include "support/FakeDialogs.h"
#include "support/FakeDocumentEditor.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Answer = Dialogs::Answer;
using Notice = DocumentSession::DiskNotice;

const QString WriteOver =
    QStringLiteral("question Файл изменён другой программой после открытия. Записать поверх?");
const QString Reload =
    QStringLiteral("question Ваши изменения документа будут потеряны. Перечитать файл?");

class SessionDiskChangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath("page.html");
        editor.changed = [this] { session.editorChanged(); };
        QObject::connect(&session, &DocumentSession::diskNoticeChanged,
                         [this](Notice notice) { notices << int(notice); });
        QObject::connect(&session, &DocumentSession::statusPanelChanged,
                         [this](int panel, const QString& text) { panels[panel] = text; });
        QObject::connect(&session, &DocumentSession::previewNavigationRequested,
                         [this](const QString& p) { preview << p; });
        writeFile(file, "<p>ours</p>\r\n");
        dialogs.openAnswers = {{file, 1}};
        session.openDocument();
        ASSERT_EQ(editor.text, "<p>ours</p>\n");
        notices.clear();
        preview.clear();
        dialogs.log.clear();
    }

    void replaceByRename(const QByteArray& bytes)
    {
        ::replaceByRename(file, dir.filePath(QStringLiteral("page.html~")), bytes);
    }
    void look() { session.diskWatch().checkNow(); }

    QTemporaryDir dir;
    QString file;
    FakeDialogs dialogs;
    FakeDocumentEditor editor;
    DocumentSession session{dialogs, editor};
    QList<int> notices;
    QString panels[2];
    QStringList preview;
};

TEST_F(SessionDiskChangeTest, UnmodifiedDocumentIsReadAgainAsOpenReadsIt)
{
    // Another charset and other line ends than the first reading: both are found afresh.
    replaceByRename("\xEF\xBB\xBF<p>\xD1\x82\xD0\xB2\xD0\xBE\xD0\xB9</p>\n");
    look();
    EXPECT_EQ(editor.text, QStringLiteral("<p>твой</p>\n"));
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(session.format().encoding, TextEncoding::Utf8);
    EXPECT_TRUE(session.format().byteOrderMark);
    EXPECT_EQ(session.format().lineEnding, LineEnding::Lf);
    EXPECT_EQ(notices, QList<int>{int(Notice::Reloaded)});
    EXPECT_EQ(preview, QStringList{file}) << "the preview loads the file again";
    EXPECT_TRUE(dialogs.log.isEmpty());

    // A save after that writes the other program's text with our key, asking nothing.
    editor.type("x");
    session.saveDocument();
    EXPECT_EQ(readFile(file), "\xEF\xBB\xBF<p>\xD1\x82\xD0\xB2\xD0\xBE\xD0\xB9</p>\nx");
    EXPECT_TRUE(dialogs.log.isEmpty());
}

TEST_F(SessionDiskChangeTest, ModifiedDocumentKeepsItsTextAndSaveAsksFirst)
{
    editor.type("mine");
    writeFile(file, "theirs", QIODevice::Append);
    look();
    EXPECT_EQ(editor.text, "<p>ours</p>\nmine");
    EXPECT_EQ(notices, QList<int>{int(Notice::ChangedOnDisk)});

    // No leaves the file and the document as they are.
    dialogs.questionAnswers = {Answer::No};
    session.saveDocument();
    EXPECT_EQ(dialogs.log, QStringList{WriteOver});
    EXPECT_EQ(readFile(file), "<p>ours</p>\r\ntheirs");
    EXPECT_TRUE(editor.modified);

    // Closing asks to save; the write-over question's No keeps the window open.
    dialogs.log.clear();
    dialogs.questionAnswers = {Answer::Yes, Answer::No};
    EXPECT_FALSE(session.mayClose());
    EXPECT_EQ(readFile(file), "<p>ours</p>\r\ntheirs");

    dialogs.log.clear();
    dialogs.questionAnswers = {Answer::Yes};
    session.saveDocument();
    EXPECT_EQ(dialogs.log, QStringList{WriteOver});
    EXPECT_EQ(readFile(file), "<p>ours</p>\r\nmine");
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(notices.last(), int(Notice::None));

    // Written over: the next save has nothing to ask.
    dialogs.log.clear();
    editor.type("!");
    session.saveDocument();
    EXPECT_TRUE(dialogs.log.isEmpty());
}

TEST_F(SessionDiskChangeTest, ReadAgainOnlyAfterYes)
{
    editor.type("mine");
    replaceByRename("<p>theirs</p>");
    look();
    dialogs.questionAnswers = {Answer::No};
    session.reloadFromDisk();
    EXPECT_EQ(dialogs.log, QStringList{Reload});
    EXPECT_EQ(editor.text, "<p>ours</p>\nmine");
    EXPECT_TRUE(editor.modified);

    dialogs.questionAnswers = {Answer::Yes};
    session.reloadFromDisk();
    EXPECT_EQ(editor.text, "<p>theirs</p>");
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(notices, (QList<int>{int(Notice::ChangedOnDisk), int(Notice::None)}));
    EXPECT_TRUE(panels[0].isEmpty());
    // What was read is now what the file is compared with.
    editor.type("x");
    dialogs.log.clear();
    session.saveDocument();
    EXPECT_TRUE(dialogs.log.isEmpty());
    EXPECT_EQ(readFile(file), "<p>theirs</p>x");
}

TEST_F(SessionDiskChangeTest, DeletedFileMakesTheDocumentModifiedAndSaveWritesItAgain)
{
    ASSERT_TRUE(QFile::remove(file));
    look();
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ(panels[0], DocumentSession::ModifiedMark);
    EXPECT_EQ(notices, QList<int>{int(Notice::RemovedFromDisk)});
    session.saveDocument();
    EXPECT_TRUE(dialogs.log.isEmpty());
    EXPECT_EQ(readFile(file), "<p>ours</p>\r\n");
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(notices.last(), int(Notice::None));
}

TEST_F(SessionDiskChangeTest, RenamedAwayThenAnotherFileUnderTheName)
{
    ASSERT_EQ(std::rename(QFile::encodeName(file), QFile::encodeName(file + ".bak")), 0);
    look();
    writeFile(file, "<p>other</p>");
    look();
    // The document counts as modified since the file went: its text stays, the user chooses.
    EXPECT_EQ(editor.text, "<p>ours</p>\n");
    EXPECT_EQ(notices, (QList<int>{int(Notice::RemovedFromDisk), int(Notice::ChangedOnDisk)}));
}

TEST_F(SessionDiskChangeTest, FileUnreadableWhenReadAgainKeepsTheDocument)
{
    editor.type("mine");
    replaceByRename("<p>theirs</p>");
    look();
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir(dir.path()).mkdir("page.html"));
    dialogs.questionAnswers = {Answer::Yes};
    session.reloadFromDisk();
    EXPECT_EQ(dialogs.logOf("error").size(), 1);
    EXPECT_EQ(editor.text, "<p>ours</p>\nmine");
    EXPECT_TRUE(editor.modified);
}

// Our own saves, through a new file renamed over the old one or in place (a file with a second
// hard link), never come back as a change by another program.
class OwnSave : public SessionDiskChangeTest, public ::testing::WithParamInterface<bool>
{};

TEST_P(OwnSave, IsNeverReported)
{
    if (GetParam()) {
        ASSERT_EQ(::link(QFile::encodeName(file), QFile::encodeName(file + ".link")), 0);
    }
    QSignalSpy looks(&session.diskWatch(), &DiskChangeWatch::checked);
    for (const char* typed : {"one", "two"}) {
        editor.type(typed);
        session.saveDocument();
        // A look now, and the one the file system's events bring (a write in place renews the
        // file's watch, so its events may not come).
        session.diskWatch().checkNow();
        looks.wait(1000);
    }
    EXPECT_EQ(readFile(file), "<p>ours</p>\r\nonetwo");
    EXPECT_EQ(editor.text, "<p>ours</p>\nonetwo");
    EXPECT_TRUE(notices.isEmpty() || notices == QList<int>(notices.size(), int(Notice::None)));
    EXPECT_TRUE(dialogs.log.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Saves, OwnSave, ::testing::Bool(), [](const auto& saveKind) {
    return std::string(saveKind.param ? "InPlace" : "ByRename");
});

TEST_F(SessionDiskChangeTest, NewDocumentAndSaveAsMoveTheWatch)
{
    const QString other = dir.filePath("other.html");
    dialogs.saveAnswers = {{other, 1}};
    session.saveDocumentAs();
    replaceByRename("<p>old name changed</p>");
    look();
    EXPECT_EQ(editor.text, "<p>ours</p>\n") << "the old name is no longer the document's file";

    session.newDocument();
    writeFile(other, "<p>changed</p>");
    look();
    EXPECT_TRUE(editor.text.isEmpty());
    EXPECT_FALSE(editor.modified);
    EXPECT_FALSE(notices.contains(int(Notice::Reloaded)));
}

} // namespace
