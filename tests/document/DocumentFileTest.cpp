#include "document/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray everyByteCrLf()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
        if (b % 32 == 31)
            bytes.append("\r\n");
    }
    return bytes;
}

void writePlainFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Runs `action`, expecting a FileError whose message starts with `what` and names `path`;
// returns the reason that follows.
template <typename Action>
QString expectFileError(Action action, const QString& what, const QString& path)
{
    try {
        action();
        ADD_FAILURE() << "no FileError for " << path.toStdString();
        return {};
    } catch (const FileError& error) {
        const QString head = what + "\n" + path + "\n\n";
        EXPECT_TRUE(error.message().startsWith(head)) << error.message().toStdString();
        const QString reason = error.message().mid(head.size());
        EXPECT_FALSE(reason.trimmed().isEmpty());
        return reason;
    }
}

const QString cannotOpen = QStringLiteral("Не удалось открыть файл");
const QString cannotSave = QStringLiteral("Не удалось сохранить файл");

class DocumentFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList entries() const
    {
        return QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

struct FileCase
{
    const char* name;
    QByteArray bytes;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.name;
}

class DocumentFileRoundTrip : public DocumentFileTest,
                              public ::testing::WithParamInterface<FileCase>
{};

TEST_P(DocumentFileRoundTrip, OpenAndSaveGivesTheSameBytes)
{
    const QString file = path("page.html");
    writePlainFile(file, GetParam().bytes);
    const DecodedDocument document = readDocument(file);
    writeDocument(file, document.text, document.format);
    EXPECT_EQ(contentsOf(file), GetParam().bytes);
    EXPECT_EQ(entries(), QStringList{"page.html"}); // no temporary file left behind
}

INSTANTIATE_TEST_SUITE_P(
    Document, DocumentFileRoundTrip,
    ::testing::Values(FileCase{"EveryByteCrLf", everyByteCrLf()},
                      FileCase{"Utf8WithBom", "\xef\xbb\xbf\xd0\xaf\r\n"},
                      FileCase{"Utf8LfNoFinalLineEnd", "\xd0\xaf\n\xe4\xb8\xad"},
                      FileCase{"Empty", QByteArray()}, FileCase{"LoneCr", "a\rb\r\n\r"}),
    [](const ::testing::TestParamInfo<FileCase>& row) { return row.param.name; });

TEST_F(DocumentFileTest, ReadingWhatCannotBeReadThrows)
{
    const QString missing = path("missing.html");
    expectFileError([&] { readFileBytes(missing); }, cannotOpen, missing);
    const QString directory = path("folder.html");
    ASSERT_TRUE(QDir().mkdir(directory));
    expectFileError([&] { readFileBytes(directory); }, cannotOpen, directory);
}

TEST_F(DocumentFileTest, ReadingAFileOverTheLimitThrows)
{
    const QString huge = path("huge.html");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(maxDocumentBytes + 1)); // sparse: costs no disk space
    }
    const QString reason = expectFileError([&] { readFileBytes(huge); }, cannotOpen, huge);
    EXPECT_TRUE(reason.contains("слишком велик")) << reason.toStdString();
}

TEST_F(DocumentFileTest, WritingWhereNoFileCanBeThrows)
{
    const QString inMissingDirectory = path("missing/page.html");
    expectFileError([&] { writeFileAtomically(inMissingDirectory, "x"); }, cannotSave,
                    inMissingDirectory);

    const QString directory = path("folder.html");
    ASSERT_TRUE(QDir().mkdir(directory));
    expectFileError([&] { writeFileAtomically(directory, "x"); }, cannotSave, directory);
    EXPECT_TRUE(QFileInfo(directory).isDir());

    // QSaveFile would rename a regular file over a pipe (or over /dev/full); it must stay.
    const QString pipe = path("pipe.html");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    expectFileError([&] { writeFileAtomically(pipe, "x"); }, cannotSave, pipe);
    struct stat status
    {};
    ASSERT_EQ(stat(QFile::encodeName(pipe).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Lowers the file-size limit with SIGXFSZ ignored, as the program runs, and restores both.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

struct LimitCase
{
    const char* name;
    rlim_t limit;
    qsizetype documentSize;
};

void PrintTo(const LimitCase& c, std::ostream* os)
{
    *os << c.name;
}

class DocumentFileSizeLimit : public DocumentFileTest,
                              public ::testing::WithParamInterface<LimitCase>
{};

TEST_P(DocumentFileSizeLimit, ACutOffWriteThrowsAndKeepsTheOldFile)
{
    const QString file = path("page.html");
    const QByteArray old = everyByteCrLf();
    writePlainFile(file, old);
    const QString text(GetParam().documentSize, QChar(u'ж'));
    {
        FileSizeLimit limit(GetParam().limit);
        ASSERT_TRUE(limit.active());
        const QString reason = expectFileError(
            [&] { writeDocument(file, text, newDocumentFormat()); }, cannotSave, file);
        EXPECT_TRUE(reason.startsWith("Записаны не все данные")) << reason.toStdString();
    }
    EXPECT_EQ(contentsOf(file), old);
    EXPECT_EQ(entries(), QStringList{"page.html"});
}

INSTANTIATE_TEST_SUITE_P(Document, DocumentFileSizeLimit,
                         ::testing::Values(LimitCase{"SmallerThanAWriteBuffer", 4096, 10000},
                                           LimitCase{"Large", 64 * 1024, 1024 * 1024},
                                           LimitCase{"NothingFits", 0, 100}),
                         [](const ::testing::TestParamInfo<LimitCase>& row) {
                             return row.param.name;
                         });

TEST_F(DocumentFileTest, ASymlinkedDocumentStaysASymlink)
{
    const QString target = path("target.html");
    const QString link = path("link.html");
    writePlainFile(target, "old");
    ASSERT_TRUE(
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link("target.html", link));

    writeFileAtomically(link, "new");

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
    EXPECT_EQ(contentsOf(target), "new");
    struct stat status
    {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

} // namespace
