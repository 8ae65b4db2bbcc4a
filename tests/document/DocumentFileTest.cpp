#include "document/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A pipe would block open() until a writer came, a device may never end: both are refused at
// once, before they are opened, also behind a symlink.
TEST_F(DocumentFileTest, ReadingWhatIsNoRegularFileIsRefusedUnopened)
{
    const QString pipe = path("pipe.html");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zeroLink = path("zero.html");
    ASSERT_TRUE(QFile::link("/dev/zero", zeroLink));
    const QString pipeLink = path("pipe-link.html");
    ASSERT_TRUE(QFile::link(pipe, pipeLink));
    const QString socketPath = path("socket.html");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(socketName.size()), sizeof address.sun_path);
    std::copy(socketName.begin(), socketName.end(), address.sun_path);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    for (const QString& name :
         {pipe, zeroLink, pipeLink, socketPath, QStringLiteral("/dev/null")}) {
        SCOPED_TRACE(name.toStdString());
        const QString reason = expectFileError([&] { readFileBytes(name); }, cannotOpen, name);
        EXPECT_TRUE(reason.contains("не обычный файл")) << reason.toStdString();
    }
    close(sock);
}

// Messages carry the system's reason in Russian, not the C library's English.
TEST_F(DocumentFileTest, SystemReasonsAreInRussian)
{
    const QString missing = path("missing.html");
    const QString reason = expectFileError([&] { readFileBytes(missing); }, cannotOpen, missing);
    EXPECT_FALSE(reason.contains("No such file")) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("Нет такого файла"))) << reason.toStdString();
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

TEST_F(DocumentFileTest, ReplacingAFileKeepsItsOwnerGroupAndMode)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const QString file = path("theirs.html");
    writePlainFile(file, "old");
    const QByteArray name = QFile::encodeName(file);
    ASSERT_EQ(chown(name.constData(), 65534, 65534), 0);
    ASSERT_EQ(chmod(name.constData(), 0604), 0);

    writeFileAtomically(file, "new");

    struct stat status
    {};
    ASSERT_EQ(stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    EXPECT_EQ(contentsOf(file), "new");
}

// Every name of a hard-linked file sees the new text, shorter or longer than the old.
TEST_F(DocumentFileTest, AHardLinkedFileIsWrittenInPlace)
{
    const QString file = path("page.html");
    const QString other = path("other-name.html");
    writePlainFile(file, "the old text");
    ASSERT_EQ(link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    for (const QByteArray& text : {QByteArray("short"), QByteArray(5000, 'x')}) {
        writeFileAtomically(file, text);
        EXPECT_EQ(contentsOf(file), text);
        EXPECT_EQ(contentsOf(other), text);
    }
    EXPECT_EQ(entries(), (QStringList{"other-name.html", "page.html"}));
}

// In place, the new size is reserved first: when it cannot be, no old byte is overwritten.
TEST_F(DocumentFileTest, InPlaceWritingThatCannotReserveKeepsTheOldText)
{
    const QString file = path("page.html");
    const QString other = path("other-name.html");
    const QByteArray old = everyByteCrLf();
    writePlainFile(file, old);
    ASSERT_EQ(link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        const QString reason = expectFileError(
            [&] { writeFileAtomically(file, QByteArray(10000, 'x')); }, cannotSave, file);
        EXPECT_TRUE(reason.contains(QStringLiteral("файл не изменён"))) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QStringLiteral("Файл слишком велик"))) << reason.toStdString();
    }
    EXPECT_EQ(contentsOf(file), old);
    EXPECT_EQ(contentsOf(other), old);
}

// Runs `action` in a child process under the "nobody" user; its exit code is the result.
template <typename Action> int runAsNobody(Action action)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(90);
        _exit(action());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 91;
}

// A writable file in a folder the user may not write: no replacement can be made beside it, so
// it is written in place.
TEST_F(DocumentFileTest, AWritableFileInAReadOnlyFolderIsWrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    const QString folder = path("folder");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + "/page.html";
    writePlainFile(file, "old text");
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(file).constData(), 0666), 0);
    // The copy of the new text that precedes a save in place goes to a recovery folder the other
    // user may write.
    const QString state = path("state");
    ASSERT_TRUE(QDir().mkdir(state));
    ASSERT_EQ(chmod(QFile::encodeName(state).constData(), 0777), 0);

    const int result = runAsNobody([&] {
        qputenv("XDG_STATE_HOME", QFile::encodeName(state)); // in the child only
        try {
            writeFileAtomically(file, "new, longer text");
            return 0;
        } catch (const FileError&) {
            return 1;
        }
    });

    EXPECT_EQ(result, 0);
    EXPECT_EQ(contentsOf(file), "new, longer text");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"page.html"});
}

} // namespace
