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
#include <sys/stat.h>

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

// Control characters and lone surrogates would put the file under another name than the typed
// one (NUL cuts it short); they are refused with the same message, and nothing is written.
TEST(TemplateStoreTest, RefusesControlCharactersAndLoneSurrogates)
{
    QTemporaryDir dir;
    const QString names[] = {QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"),
                             QStringLiteral("a\nb"),
                             QStringLiteral("a\rb"),
                             QStringLiteral("a\tb"),
                             QStringLiteral("a\x1b"),
                             QStringLiteral("a") + QChar(0x7F),
                             QStringLiteral("a") + QChar(0x85),
                             QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b"),
                             QString(QChar(0xDC00))};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString problem = templateNameProblem(name);
        EXPECT_TRUE(problem.startsWith(QStringLiteral("Недопустимое название шаблона")))
            << problem.toStdString();
        TemplateSettings settings;
        settings.name = name;
        EXPECT_THROW(WriteTemplate(dir.path(), settings), FileError);
    }
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
    // A surrogate pair is a character like any other.
    EXPECT_TRUE(templateNameProblem(QStringLiteral("шаблон 😀")).isEmpty());
}

// Names that Qt would take for resource paths are plain files in the template directory:
// written, listed, read and deleted there.
TEST(TemplateStoreTest, NamesWithQtPrefixesArePlainFiles)
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    const QStringList names = {":colon", "::two", ":/slash-less", "qrc:x", "assets:y"};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        if (!templateNameProblem(name).isEmpty())
            continue; // ":/slash-less" holds a "/" and is refused as before
        TemplateSettings settings;
        settings.comment = true;
        settings.commentText = name;
        settings.name = name;
        WriteTemplate(dir.path(), settings);
        const QString entry = name + ".sbl";
        ASSERT_TRUE(listTemplates(dir.path()).contains(entry));
        const QString path = templateEntryPath(dir.path(), entry);
        EXPECT_EQ(readFileBytes(path), ("<!--" + name + "-->\r\n").toUtf8());
        deleteTemplate(path);
        EXPECT_FALSE(listTemplates(dir.path()).contains(entry));
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(entriesOf(elsewhere.path()).isEmpty());
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

    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.sbl")));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.sbl")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.filePath("pipe.sbl"), dir.filePath("pipe-link.sbl")));

    // Russian order puts Cyrillic before Latin.
    EXPECT_EQ(listTemplates(dir.path()),
              (QStringList{"Шаблон.sbl", "шаблон2.sbl", "A.SBL", "b.sbl", "c.Sbl", "ro.sbl"}));
}

// Russian alphabetical order: Ё and ё stand with Е, not after Я as their codes would put them;
// Cyrillic comes before Latin.
TEST(TemplateStoreTest, SortsInRussianAlphabeticalOrder)
{
    QTemporaryDir dir;
    for (const char* name : {"Яблоко.sbl", "ёж.sbl", "Ёлка.sbl", "ель.sbl", "Жук.sbl", "абв.sbl",
                             "Zeta.sbl", "alpha.sbl"})
        writeBytes(dir.filePath(QString::fromUtf8(name)), "x");
    EXPECT_EQ(listTemplates(dir.path()),
              (QStringList{"абв.sbl", "ёж.sbl", "Ёлка.sbl", "ель.sbl", "Жук.sbl", "Яблоко.sbl",
                           "alpha.sbl", "Zeta.sbl"}));
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
