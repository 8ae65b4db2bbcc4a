// Recovery as the document session runs it: the journal of the open document, the question about
// journals that ended programs left (on opening a file and at start-up), what each answer does,
// the lock of a running owner, and when a journal goes.
#include "document/DiskChangeWatch.h"
#include "document/DocumentJournal.h"
#include "document/DocumentSession.h"
#include "document/RecoveryStore.h"
#include "support/FakeDialogs.h"
#include "support/FakeDocumentEditor.h"
#include "support/TestFiles.h"
#include "templates/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Answer = Dialogs::Answer;

QStringList journalFiles()
{
    return QDir(RecoveryStore::folder()).entryList({QStringLiteral("*.journal")}, QDir::Files);
}

class RecoveryFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        editor.changed = [this] { session.editorChanged(); };
        QObject::connect(&session, &DocumentSession::titleChanged,
                         [this](const QString& t) { title = t; });
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // A journal as a program that ended would leave it: no lock held. `fileName` empty: an
    // untitled document. Returns its path.
    QString leaveJournal(const QString& fileName, const QString& text, FileSignature base = {})
    {
        const QString journal = RecoveryStore::newJournalPath();
        QByteArray bytes = RecoveryJournal::encodeStart({fileName, newDocumentFormat(), base});
        bytes += RecoveryJournal::encodeText(text.left(1));
        RecoveryJournal::appendEdit(bytes, 1, 0, QStringView(text).sliced(1));
        writeFile(journal, bytes);
        return journal;
    }

    // Types as the editor does, reporting the change to the journal, and waits for the write.
    void typeAndJournal(const QString& typed)
    {
        const qsizetype at = editor.text.size();
        editor.type(typed);
        session.journal().recordChange(at, 0, typed.size());
        session.journal().waitUntilWritten();
    }

    QTemporaryDir dir;
    QTemporaryDir state;
    ScopedEnv stateHome{"XDG_STATE_HOME", QFile::encodeName(state.path())};
    FakeDialogs dialogs;
    FakeDocumentEditor editor;
    DocumentSession session{dialogs, editor};
    QString title;
};

QString questionAbout(const QString& name)
{
    return QStringLiteral("question Найдены несохранённые изменения документа «%1» от ").arg(name);
}

} // namespace

// Opening a file whose journal an ended program left asks about it; each answer does its part.
struct AnswerCase
{
    const char* name;
    Answer answer;
    QString expectedText;
    bool modified;
    bool journalKept;
};

void PrintTo(const AnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

class RecoveryAnswer : public RecoveryFlowTest, public ::testing::WithParamInterface<AnswerCase>
{};

TEST_P(RecoveryAnswer, OpeningTheFileAsksAboutItsJournal)
{
    const QString file = path("page.html");
    writeFile(file, "on disk");
    const QString journal =
        leaveJournal(file, QStringLiteral("typed before the crash"), FileSignature::of(file));
    dialogs.questionAnswers = {GetParam().answer};
    session.openDocumentFile(file);

    ASSERT_EQ(dialogs.log.size(), 1);
    EXPECT_TRUE(dialogs.log.at(0).startsWith(questionAbout(file)))
        << dialogs.log.at(0).toStdString();
    EXPECT_TRUE(dialogs.log.at(0).endsWith(QStringLiteral(". Восстановить их?")));
    EXPECT_EQ(editor.text, GetParam().expectedText);
    EXPECT_EQ(editor.modified, GetParam().modified);
    EXPECT_EQ(session.fileName(), file);
    EXPECT_EQ(QFile::exists(journal), GetParam().journalKept);
    EXPECT_EQ(readFile(file), "on disk"); // nothing is written before a save
}

INSTANTIATE_TEST_SUITE_P(Recovery, RecoveryAnswer,
                         ::testing::Values(AnswerCase{"YesRestoresModified", Answer::Yes,
                                                      QStringLiteral("typed before the crash"),
                                                      true, true},
                                           AnswerCase{"NoDeletesTheJournal", Answer::No,
                                                      QStringLiteral("on disk"), false, false},
                                           AnswerCase{"UnansweredKeepsIt", Answer::Cancel,
                                                      QStringLiteral("on disk"), false, true}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// The restored document's journal goes on: a crash after more typing restores all of it, and a
// save ends it.
TEST_F(RecoveryFlowTest, ARestoredDocumentKeepsItsJournalUntilSaved)
{
    const QString file = path("page.html");
    writeFile(file, "on disk");
    const QString journal = leaveJournal(file, QStringLiteral("restored"), FileSignature::of(file));
    dialogs.questionAnswers = {Answer::Yes};
    session.openDocumentFile(file);
    typeAndJournal(QStringLiteral(" and more"));
    EXPECT_EQ(RecoveryJournal::replay(readFile(journal)).text, QStringLiteral("restored and more"));
    // Its own program holds it: another look finds nothing to offer.
    EXPECT_TRUE(RecoveryStore::leftJournals(file).empty());

    session.saveDocument();
    EXPECT_EQ(readFile(file), "restored and more");
    EXPECT_FALSE(editor.modified);
    session.journal().waitUntilWritten();
    EXPECT_TRUE(journalFiles().isEmpty());
}

// A journal that stands on its file (the program ended before it copied the file) is offered only
// while the file holds the bytes it names: kept, unasked, while the file is gone (a disk not
// mounted), offered once it is back; dropped once the file holds other bytes.
TEST_F(RecoveryFlowTest, AJournalOnAFileThatIsGoneWaitsForTheFile)
{
    const QString file = path("page.html");
    const QByteArray bytes = "<p>on disk</p>";
    writeFile(file, bytes);
    const QString journal = RecoveryStore::newJournalPath();
    QByteArray left = RecoveryJournal::encodeStart({file, {}, FileSignature::of(file)});
    left += RecoveryJournal::encodeFileBase(contentHash(bytes), bytes.size());
    RecoveryJournal::appendEdit(left, 3, 0, u"typed ");
    writeFile(journal, left);
    QFile::remove(file);

    session.offerRecoveryAtStartUp();
    EXPECT_TRUE(dialogs.log.isEmpty());
    EXPECT_TRUE(QFile::exists(journal));

    writeFile(file, bytes);
    dialogs.questionAnswers = {Answer::Yes};
    session.openDocumentFile(file);
    EXPECT_EQ(dialogs.log.size(), 1);
    EXPECT_EQ(editor.text, QStringLiteral("<p>typed on disk</p>"));

    session.journal().discard();
    session.journal().waitUntilWritten();
    writeFile(journal, left);
    writeFile(file, "<p>other bytes</p>");
    session.offerRecoveryAtStartUp();
    EXPECT_FALSE(QFile::exists(journal));
}

// A journal whose owner still runs is not offered; the question says when the file changed.
TEST_F(RecoveryFlowTest, ALiveOwnersJournalIsNotOffered)
{
    const QString file = path("page.html");
    writeFile(file, "on disk");
    const QString journal = leaveJournal(file, QStringLiteral("other program's"));
    RecoveryLock owner;
    ASSERT_TRUE(owner.acquire(RecoveryStore::lockPathOf(journal)));
    session.openDocumentFile(file);
    EXPECT_TRUE(dialogs.log.isEmpty()) << dialogs.log.join('\n').toStdString();
    EXPECT_EQ(editor.text, QStringLiteral("on disk"));
    EXPECT_TRUE(QFile::exists(journal));

    owner.release();
    dialogs.questionAnswers = {Answer::Cancel};
    session.openDocumentFile(file);
    ASSERT_EQ(dialogs.log.size(), 1);
    // The journal began with no file signature: the file changed since, and the question says so.
    EXPECT_TRUE(dialogs.log.at(0).contains(QStringLiteral("Файл на диске изменён")));
}

// At a start with no file named, journals of untitled documents are offered into a new one.
TEST_F(RecoveryFlowTest, AtStartUpAnUntitledJournalBecomesAnUntitledDocument)
{
    leaveJournal(QString(), QStringLiteral("never saved"));
    dialogs.questionAnswers = {Answer::Yes};
    session.offerRecoveryAtStartUp();
    ASSERT_EQ(dialogs.log.size(), 1);
    EXPECT_TRUE(dialogs.log.at(0).startsWith(questionAbout(QStringLiteral("НовыйHTML"))));
    EXPECT_FALSE(dialogs.log.at(0).contains(QStringLiteral("Файл на диске изменён")));
    EXPECT_EQ(session.fileName(), DocumentSession::UntitledName);
    EXPECT_EQ(editor.text, QStringLiteral("never saved"));
    EXPECT_TRUE(editor.modified);
}

// The journal of the open document: written once typed, gone after a save, after No to the
// save-changes question, and when the session ends.
TEST_F(RecoveryFlowTest, TheJournalGoesWhenTheUserSavesOrDropsTheChanges)
{
    const QString file = path("page.html");
    writeFile(file, "text");
    session.openDocumentFile(file);
    EXPECT_TRUE(journalFiles().isEmpty()); // a load writes nothing

    typeAndJournal(QStringLiteral(" typed"));
    ASSERT_EQ(journalFiles().size(), 1);
    const QString journal = session.journal().journalPath();
    const RecoveryJournal::Replay replay = RecoveryJournal::replay(readFile(journal));
    EXPECT_EQ(replay.text, QStringLiteral("text typed"));
    EXPECT_EQ(replay.header.fileName, file);
    typeAndJournal(QStringLiteral("!"));
    EXPECT_EQ(RecoveryJournal::replay(readFile(journal)).text, QStringLiteral("text typed!"));

    session.saveDocument();
    session.journal().waitUntilWritten();
    EXPECT_TRUE(journalFiles().isEmpty());

    typeAndJournal(QStringLiteral(" again"));
    EXPECT_EQ(journalFiles().size(), 1);
    dialogs.questionAnswers = {Answer::No};
    EXPECT_TRUE(session.mayClose());
    session.journal().waitUntilWritten();
    EXPECT_TRUE(journalFiles().isEmpty());
}

// After an open the journal starts from the file's bytes, copied by the writer, rather than the
// editor's text; once the file changes on disk or goes, the journal takes the whole text. Either
// way it replays to the typed text, and it no longer needs the file.
struct FileAfterTyping
{
    const char* name;
    std::function<void(const QString& file)> change;
};

class JournalAfterOpen : public RecoveryFlowTest,
                         public ::testing::WithParamInterface<FileAfterTyping>
{};

TEST_P(JournalAfterOpen, ReplaysToTheTypedTextWhateverBecomesOfTheFile)
{
    const QString file = path("page.html");
    const QByteArray onDisk = "<p>" + QByteArray(4000, 'w') + "</p>\r\n<p>\xd0\xb6</p>\r\n";
    writeFile(file, onDisk);
    session.openDocumentFile(file);
    typeAndJournal(QStringLiteral("typed"));
    const QString typed = editor.text;

    GetParam().change(file);
    session.diskWatch().checkNow();
    session.journal().waitUntilWritten();
    EXPECT_EQ(RecoveryJournal::replay(readFile(session.journal().journalPath())).text, typed);
    // As after a crash: the file changes again, and nobody is watching.
    writeFile(file, "<p>changed while the editor was gone</p>");
    EXPECT_EQ(RecoveryJournal::replay(readFile(session.journal().journalPath())).text, typed);
}

INSTANTIATE_TEST_SUITE_P(
    Files, JournalAfterOpen,
    ::testing::Values(FileAfterTyping{"Unchanged", [](const QString&) {}},
                      FileAfterTyping{"ReplacedByAnotherProgram",
                                      [](const QString& file) {
                                          writeFile(file + "~", "<p>theirs</p>");
                                          QFile::remove(file);
                                          QFile::rename(file + "~", file);
                                      }},
                      FileAfterTyping{"Removed", [](const QString& file) { QFile::remove(file); }}),
    [](const auto& c) { return std::string(c.param.name); });

// An edit too big to record as one, and the first change, write the whole text.
TEST_F(RecoveryFlowTest, ABigEditWritesTheWholeText)
{
    session.newDocument();
    typeAndJournal(QStringLiteral("start"));
    const QString big(DocumentJournal::LargestRecordedEdit + 1, QLatin1Char('x'));
    typeAndJournal(big);
    EXPECT_EQ(RecoveryJournal::replay(readFile(session.journal().journalPath())).text,
              QStringLiteral("start") + big);
}
