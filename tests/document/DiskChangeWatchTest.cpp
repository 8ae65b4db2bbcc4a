// The watch on the open document's file: the rule that decides what a look at the file means,
// the looks themselves on real files changed in every way other programs change them, and the
// watch living through those changes as the file system reports them.
#include "document/DiskChangeWatch.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// --- The rule -------------------------------------------------------------------------------

struct RuleRow
{
    const char* name;
    const char* known;
    const char* lastSeen;
    const char* now; // "" stands for no file
    DiskChange expected;
};

const RuleRow ruleRows[] = {
    {"NothingNew", "A", "A", "A", DiskChange::None},
    {"OtherContent", "A", "A", "B", DiskChange::Changed},
    {"SameOtherContentAgain", "A", "B", "B", DiskChange::None},
    {"YetAnotherContent", "A", "B", "C", DiskChange::Changed},
    {"Deleted", "A", "A", "", DiskChange::Removed},
    {"StillDeleted", "A", "", "", DiskChange::None},
    {"RecreatedOther", "A", "", "B", DiskChange::Changed},
    {"RecreatedAsKnown", "A", "", "A", DiskChange::BackToKnown},
    {"ChangedBack", "A", "B", "A", DiskChange::BackToKnown},
    {"DeletedAfterChange", "A", "B", "", DiskChange::Removed},
};

class DiskChangeRule : public ::testing::TestWithParam<RuleRow>
{};

TEST_P(DiskChangeRule, TellsWhatALookMeans)
{
    const RuleRow& row = GetParam();
    const auto hashOf = [](const char* content) {
        return *content ? contentHash(QByteArray(content)) : QByteArray();
    };
    EXPECT_EQ(nextDiskChange(hashOf(row.known), hashOf(row.lastSeen), hashOf(row.now)),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(Looks, DiskChangeRule, ::testing::ValuesIn(ruleRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ContentHashTest, EmptyFileIsNotNoFile)
{
    EXPECT_FALSE(contentHash(QByteArray()).isEmpty());
    EXPECT_NE(contentHash("a"), contentHash("b"));
}

// --- Looks at real files ----------------------------------------------------------------------

class DiskChangeWatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath("page.html");
        writeFile(file, "<p>ours</p>");
        watch.watch(file, contentHash("<p>ours</p>"));
    }

    // As most editors and tools save: a new file renamed over the old one.
    void replaceByRename(const QByteArray& bytes)
    {
        ::replaceByRename(file, dir.filePath(QStringLiteral(".page.html.new")), bytes);
    }
    void touch()
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::ReadWrite));
        ASSERT_TRUE(out.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
    }
    // What the looks reported in turn, one letter each: Changed, Removed, Back to known.
    QString reports;
    QTemporaryDir dir;
    QString file;
    DiskChangeWatch watch;
    QMetaObject::Connection reported[3] = {
        QObject::connect(&watch, &DiskChangeWatch::changedOnDisk, [this] { reports += 'C'; }),
        QObject::connect(&watch, &DiskChangeWatch::removedFromDisk, [this] { reports += 'R'; }),
        QObject::connect(&watch, &DiskChangeWatch::matchesKnownAgain, [this] { reports += 'B'; }),
    };
};

TEST_F(DiskChangeWatchTest, SameBytesAreNoChange)
{
    watch.checkNow();
    touch();
    watch.checkNow();
    writeFile(file, "<p>ours</p>");
    watch.checkNow();
    replaceByRename("<p>ours</p>");
    watch.checkNow();
    EXPECT_EQ(reports, "");
    EXPECT_FALSE(watch.differsFromKnown());
}

TEST_F(DiskChangeWatchTest, EachChangeIsReportedOnce)
{
    replaceByRename("<p>theirs</p>");
    watch.checkNow();
    watch.checkNow();
    EXPECT_EQ(reports, "C");
    EXPECT_TRUE(watch.differsFromKnown());
    writeFile(file, " appended", QIODevice::Append);
    watch.checkNow();
    EXPECT_EQ(reports, "CC");
}

TEST_F(DiskChangeWatchTest, RewriteInPlaceOfSameSizeCounts)
{
    // Same size, same inode: the file's times and its content tell the change.
    watch.checkNow();
    writeFile(file, "<p>OURS</p>", QIODevice::ReadWrite);
    watch.checkNow();
    EXPECT_EQ(reports, "C");
}

TEST_F(DiskChangeWatchTest, DeleteAndRecreate)
{
    ASSERT_TRUE(QFile::remove(file));
    watch.checkNow();
    watch.checkNow();
    EXPECT_EQ(reports, "R");
    EXPECT_FALSE(watch.differsFromKnown()) << "writing a missing file loses nothing";
    writeFile(file, "<p>new</p>");
    watch.checkNow();
    EXPECT_EQ(reports, "RC");
}

TEST_F(DiskChangeWatchTest, RecreatedAsItWasIsBackToKnown)
{
    ASSERT_TRUE(QFile::remove(file));
    watch.checkNow();
    writeFile(file, "<p>ours</p>");
    watch.checkNow();
    EXPECT_EQ(reports, "RB");
}

TEST_F(DiskChangeWatchTest, OwnSaveSetsWhatIsKnown)
{
    replaceByRename("<p>saved by us</p>");
    watch.watch(file, contentHash("<p>saved by us</p>"));
    watch.checkNow();
    EXPECT_EQ(reports, "");
    EXPECT_FALSE(watch.differsFromKnown());
}

TEST_F(DiskChangeWatchTest, StoppedWatchReportsNothing)
{
    watch.stop();
    replaceByRename("<p>theirs</p>");
    watch.checkNow();
    EXPECT_EQ(reports, "");
    EXPECT_FALSE(watch.differsFromKnown());
}

// --- The watch as the file system reports changes ---------------------------------------------

class DiskChangeEvents : public DiskChangeWatchTest
{
protected:
    // Waits for the look that follows the file system's events (generous: a busy machine).
    void waitForLook()
    {
        const int before = looks.count();
        ASSERT_TRUE(looks.wait(20000) || looks.count() > before) << "no look at the file";
    }

    QSignalSpy looks{&watch, &DiskChangeWatch::checked};
};

TEST_F(DiskChangeEvents, SeesRenameOverDeleteAndRecreateInTurn)
{
    replaceByRename("<p>first</p>");
    waitForLook();
    EXPECT_EQ(reports, "C");
    // A second rename over the file: the watch was not lost with the first file.
    replaceByRename("<p>second</p>");
    waitForLook();
    EXPECT_EQ(reports, "CC");
    writeFile(file, " appended", QIODevice::Append);
    waitForLook();
    EXPECT_EQ(reports, "CCC");
    ASSERT_TRUE(QFile::remove(file));
    waitForLook();
    EXPECT_EQ(reports, "CCCR");
    writeFile(file, "<p>again</p>");
    waitForLook();
    EXPECT_EQ(reports, "CCCRC");
}

TEST_F(DiskChangeEvents, OwnSaveIsNotReported)
{
    // As the session saves: the file is written, then the watch learns what it holds.
    replaceByRename("<p>saved by us</p>");
    watch.watch(file, contentHash("<p>saved by us</p>"));
    waitForLook();
    EXPECT_EQ(reports, "");
}

} // namespace
