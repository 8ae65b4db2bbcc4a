#include "templates/TemplateStore.h"
#include "document/DocumentFile.h"
#include "templates/ScopedEnv.h"
#include "templates/TemplateCases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QStringList entriesOf(const QString& directory)
{
    return QDir(directory).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(TemplateStoreTest, WritesEveryCaseByteForByte)
{
    QTemporaryDir dir;
    for (const TemplateCase& c : templateCases()) {
        SCOPED_TRACE(c.name);
        TemplateSettings settings = settingsFor(c);
        settings.name = QString::fromLatin1(c.name);
        WriteTemplate(dir.path(), settings);
        EXPECT_EQ(fileBytes(dir.filePath(settings.name + ".sbl")), c.expected);
    }
}

TEST(TemplateStoreTest, TextIsWindows1251WithReferencesForWhatItCannotHold)
{
    QTemporaryDir dir;
    TemplateSettings settings;
    settings.body = true;
    settings.bodyText = QStringLiteral("Тело 中");
    settings.name = QStringLiteral("Шаблон1");
    WriteTemplate(dir.path(), settings);
    EXPECT_EQ(fileBytes(dir.filePath(QStringLiteral("Шаблон1.sbl"))),
              QByteArray("<BODY>\r\n\xD2\xE5\xEB\xEE &#20013;\r\n</BODY>\r\n"));
}

TEST(TemplateStoreTest, ReplacesAnEarlierTemplateOfTheSameName)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("same.sbl"), "a much longer earlier template text");
    TemplateSettings settings;
    settings.comment = true;
    settings.commentText = "x";
    settings.name = "same";
    WriteTemplate(dir.path(), settings);
    EXPECT_EQ(fileBytes(dir.filePath("same.sbl")), QByteArray("<!--x-->\r\n"));
}

TEST(TemplateStoreTest, RefusesNamesThatLeaveTheDirectoryOrHideTheFile)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("templates/sub"));
    const QString directory = root.filePath("templates");
    for (const char* name : {"", "sub/x", "..\\x", "../x", "a\\b", ".", "..", ".hidden", "/abs"}) {
        SCOPED_TRACE(name);
        TemplateSettings settings;
        settings.name = QString::fromUtf8(name);
        EXPECT_FALSE(templateNameProblem(settings.name).isEmpty());
        EXPECT_THROW(WriteTemplate(directory, settings), FileError);
    }
    EXPECT_EQ(entriesOf(directory), QStringList{"sub"});
    EXPECT_TRUE(entriesOf(directory + "/sub").isEmpty());
    EXPECT_EQ(entriesOf(root.path()), QStringList{"templates"});
}

TEST(TemplateStoreTest, AcceptsOtherNamesUnchanged)
{
    QTemporaryDir dir;
    const QStringList names = {" ", "a.b", "x..y", "Шаблон 2 ", "trailing."};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(templateNameProblem(name).isEmpty());
        TemplateSettings settings;
        settings.name = name;
        WriteTemplate(dir.path(), settings);
        EXPECT_TRUE(QFileInfo(dir.filePath(name + ".sbl")).isFile());
    }
    EXPECT_EQ(listTemplates(dir.path()).size(), names.size());
}

TEST(TemplateStoreTest, WritesThatTheFileSystemRefusesFail)
{
    QTemporaryDir dir;
    EXPECT_THROW(WriteTemplate(dir.filePath("missing"), TemplateSettings()), FileError);
    // The builder takes 200 characters, but 200 Cyrillic letters are 400 bytes of file name.
    TemplateSettings longName;
    longName.name = QString(200, QChar(0x0416));
    EXPECT_THROW(WriteTemplate(dir.path(), longName), FileError);
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

// A file-size limit makes the write fail after the file was opened: the earlier template of that
// name must stay whole and no partial or temporary file may be left.
TEST(TemplateStoreTest, FailedWriteKeepsTheEarlierTemplate)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("kept.sbl"), "earlier");
    TemplateSettings settings;
    settings.body = true;
    settings.bodyText = QString(4096, QLatin1Char('x'));
    settings.name = "kept";

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        WriteTemplate(dir.path(), settings);
    } catch (const FileError&) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(threw);
    EXPECT_EQ(fileBytes(dir.filePath("kept.sbl")), QByteArray("earlier"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"kept.sbl"});
}

TEST(TemplateStoreTest, ListsOrdinarySblFilesByNameIgnoringCase)
{
    QTemporaryDir dir;
    for (const char* name : {"b.sbl", "A.SBL", "c.Sbl", "Шаблон.sbl", "шаблон2.sbl", "ro.sbl",
                             ".hidden.sbl", ".sbl", "d.sbl.bak", "e.txt", "sbl"})
        writeBytes(dir.filePath(QString::fromUtf8(name)), "x");
    QFile::setPermissions(dir.filePath("ro.sbl"), QFile::ReadOwner | QFile::ReadGroup);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.sbl"));
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), dir.filePath("broken.sbl")));

    EXPECT_EQ(listTemplates(dir.path()),
              (QStringList{"A.SBL", "b.sbl", "c.Sbl", "ro.sbl", "Шаблон.sbl", "шаблон2.sbl"}));
}

TEST(TemplateStoreTest, MissingDirectoryListsNothing)
{
    QTemporaryDir dir;
    EXPECT_TRUE(listTemplates(dir.filePath("missing")).isEmpty());
}

TEST(TemplateStoreTest, DeleteMovesTheFileToTheTrash)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath("home/share");
    QDir(root.path()).mkpath("templates");
    const ScopedEnv home("HOME", root.filePath("home").toLocal8Bit());
    const ScopedEnv data("XDG_DATA_HOME", root.filePath("home/share").toLocal8Bit());
    const QString path = root.filePath("templates/old.sbl");
    writeBytes(path, "old");

    deleteTemplate(path);

    EXPECT_FALSE(QFileInfo::exists(path));
    const QStringList trashed = entriesOf(root.filePath("home/share/Trash/files"));
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_EQ(fileBytes(root.filePath("home/share/Trash/files/") + trashed.first()), "old");
}

// The working directory is the template directory: nothing may be moved into it instead.
TEST(TemplateStoreTest, DeleteRemovesTheFileWhereThereIsNoTrash)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath("home");
    QDir(root.path()).mkpath("templates");
    const ScopedEnv home("HOME", root.filePath("home").toLocal8Bit());
    const ScopedEnv data("XDG_DATA_HOME", root.filePath("home/missing").toLocal8Bit());
    const QString oldCurrent = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.filePath("templates")));
    const QString path = root.filePath("templates/old.sbl");
    writeBytes(path, "old");

    deleteTemplate(path);
    QDir::setCurrent(oldCurrent);

    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_TRUE(entriesOf(root.filePath("templates")).isEmpty());
    EXPECT_TRUE(entriesOf(root.filePath("home")).isEmpty());
}

TEST(TemplateStoreTest, DeletingAMissingFileFails)
{
    QTemporaryDir dir;
    const ScopedEnv data("XDG_DATA_HOME", dir.filePath("missing").toLocal8Bit());
    EXPECT_THROW(deleteTemplate(dir.filePath("gone.sbl")), FileError);
}
