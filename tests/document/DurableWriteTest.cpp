// Saves are flushed to the disk before they count: a flush that fails (injected here) is a failed
// save with the system's reason, and the old file stays whole wherever that is still possible. A
// save in place first leaves a flushed copy of the new text in the recovery folder.
#include "document/DiskFlush.h"
#include "document/DocumentFile.h"
#include "document/DocumentSession.h"
#include "document/RecoveryStore.h"
#include "document/SystemReason.h"
#include "support/FakeDialogs.h"
#include "support/FakeDocumentEditor.h"
#include "support/TestFiles.h"
#include "templates/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Lets `succeeding` flushes through, then fails every later one with EIO, for its lifetime.
class FailingFlush
{
public:
    explicit FailingFlush(int succeeding)
    {
        left_ = succeeding;
        previous_ = DiskFlush::setFlushFunction(&flush);
    }
    ~FailingFlush() { DiskFlush::setFlushFunction(previous_); }
    FailingFlush(const FailingFlush&) = delete;
    FailingFlush& operator=(const FailingFlush&) = delete;

private:
    static int flush(int)
    {
        if (left_-- > 0)
            return 0;
        errno = EIO;
        return -1;
    }
    static inline int left_ = 0;
    DiskFlush::FlushFunction previous_;
};

class DurableWriteTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid() && state.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    void hardLink(const QString& file)
    {
        ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                         QFile::encodeName(path("link.html")).constData()),
                  0);
    }
    // The texts that the recovery folder offers for `file`.
    QStringList offered(const QString& file)
    {
        QStringList texts;
        for (const RecoveryStore::LeftJournal& left : RecoveryStore::leftJournals(file))
            texts << RecoveryJournal::replay(readFile(left.journalPath)).text;
        return texts;
    }

    QTemporaryDir dir;
    QTemporaryDir state;
    ScopedEnv stateHome{"XDG_STATE_HOME", QFile::encodeName(state.path())};
};

} // namespace

struct FlushCase
{
    const char* name;
    bool inPlace;
    int succeedingFlushes;
    QByteArray fileAfter;
    QStringList offeredAfter;
};

void PrintTo(const FlushCase& c, std::ostream* os)
{
    *os << c.name;
}

class FlushFailure : public DurableWriteTest, public ::testing::WithParamInterface<FlushCase>
{};

TEST_P(FlushFailure, IsAFailedWriteWithTheSystemsReason)
{
    const QString file = path("page.html");
    writeFile(file, "old text");
    if (GetParam().inPlace)
        hardLink(file);
    QString message;
    {
        FailingFlush failing(GetParam().succeedingFlushes);
        try {
            writeFileAtomically(file, "new text");
        } catch (const FileError& error) {
            message = error.message();
        }
    }
    EXPECT_TRUE(message.startsWith(QStringLiteral("Не удалось сохранить файл\n") + file))
        << message.toStdString();
    EXPECT_TRUE(message.contains(systemReason(EIO))) << message.toStdString();
    EXPECT_EQ(readFile(file), GetParam().fileAfter);
    EXPECT_EQ(offered(file), GetParam().offeredAfter);
    // No temporary file is left beside it.
    const QStringList expected =
        GetParam().inPlace ? QStringList{"link.html", "page.html"} : QStringList{"page.html"};
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Durable, FlushFailure,
    ::testing::Values(
        // The replacement's data: the old file is still in place.
        FlushCase{"ReplacementData", false, 0, "old text", {}},
        // The folder after the rename: the new file is in, but the save did not count.
        FlushCase{"FolderAfterRename", false, 1, "new text", {}},
        // The copy in the recovery folder: nothing of the file is touched.
        FlushCase{"InPlaceCopy", true, 0, "old text", {}},
        // The file written in place: its copy stays for the next open to offer.
        FlushCase{"InPlaceFile", true, 2, "new text", {QStringLiteral("new text")}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(DurableWriteTest, ASaveInPlaceLeavesNoCopyOnceItSucceeded)
{
    const QString file = path("page.html");
    writeFile(file, "old text");
    hardLink(file);
    writeFileAtomically(file, "\xef\xbb\xbfnew text");
    EXPECT_EQ(readFile(path("link.html")), "\xef\xbb\xbfnew text");
    EXPECT_TRUE(QDir(RecoveryStore::folder()).entryList(QDir::Files).isEmpty());
}

// Without a recovery folder the copy cannot be made, and the file is left alone.
TEST_F(DurableWriteTest, ASaveInPlaceWithoutItsCopyKeepsTheOldFile)
{
    const QString file = path("page.html");
    writeFile(file, "old text");
    hardLink(file);
    writeFile(path("not-a-folder"), "");
    ScopedEnv noFolder("XDG_STATE_HOME", QFile::encodeName(path("not-a-folder")));
    EXPECT_THROW(writeFileAtomically(file, "new text"), FileError);
    EXPECT_EQ(readFile(file), "old text");
}

// In the session: the error report names the reason, and the document stays modified.
TEST_F(DurableWriteTest, TheDocumentStaysModifiedWhenTheFlushFails)
{
    const QString file = path("page.html");
    writeFile(file, "old text");
    FakeDialogs dialogs;
    FakeDocumentEditor editor;
    DocumentSession session(dialogs, editor);
    session.openDocumentFile(file);
    editor.type(QStringLiteral(" typed"));
    {
        FailingFlush failing(0);
        session.saveDocument();
    }
    ASSERT_EQ(dialogs.logOf(QStringLiteral("error")).size(), 1);
    EXPECT_TRUE(dialogs.log.last().contains(systemReason(EIO)));
    EXPECT_TRUE(editor.modified);
    EXPECT_EQ(readFile(file), "old text");
    session.saveDocument();
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(readFile(file), "old text typed");
}
