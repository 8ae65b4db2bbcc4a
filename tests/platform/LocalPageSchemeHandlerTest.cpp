// Local files as the previews' URLs, and back; what the previews serve, under which origin.
#include "platform/LocalPageSchemeHandler.h"
#include "platform/LocalFileSource.h"
#include "platform/LocalPageRequestGuard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The test main registers the scheme, as the program does.
TEST(LocalPageScheme, PathsRoundTripThroughPageUrls)
{
    ASSERT_TRUE(LocalPageSchemeHandler::isRegistered());
    for (const QString& path :
         {QStringLiteral("/tmp/x/ok.html"), QStringLiteral("/home/я/Мои сайты/главная.htm"),
          QStringLiteral("/tmp/a#b?c%20d.html"), QStringLiteral("/tmp/100%.html"),
          QStringLiteral("/strange;name,with=marks&.html")}) {
        const QUrl url = LocalPageSchemeHandler::pageUrl(path);
        EXPECT_EQ(url.scheme().toLatin1(), LocalPageSchemeHandler::schemeName)
            << path.toStdString();
        EXPECT_EQ(LocalPageSchemeHandler::filePath(url), path) << url.toString().toStdString();
        // As the engine hands it back: encoded text parsed anew.
        EXPECT_EQ(LocalPageSchemeHandler::filePath(QUrl(url.toString(QUrl::FullyEncoded))), path)
            << url.toString().toStdString();
    }
}

TEST(LocalPageScheme, RelativeLinksResolveBesideThePage)
{
    const QUrl page = LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/pages/index.html"));
    const struct
    {
        const char* link;
        const char* file;
    } rows[] = {{"style.css", "/site/pages/style.css"},
                {"../pictures/red.png", "/site/pictures/red.png"},
                {"/other/page.html", "/other/page.html"},
                {"next.html?x=1#top", "/site/pages/next.html"},
                {"%D0%9E%D0%BA.html", "/site/pages/Ок.html"}};
    for (const auto& row : rows)
        EXPECT_EQ(LocalPageSchemeHandler::filePath(page.resolved(QUrl(row.link))),
                  QString::fromUtf8(row.file))
            << row.link;
}

TEST(LocalPageScheme, OtherUrlsNameNoFile)
{
    for (const char* url : {"file:///tmp/x/ok.html", "http://local/tmp/x/ok.html",
                            "pagewright-file://elsewhere/tmp/x/ok.html", "about:blank"})
        EXPECT_EQ(LocalPageSchemeHandler::filePath(QUrl(url)), QString()) << url;
}

TEST(LocalPageScheme, ContentTypeCarriesTheCharsetWhenGiven)
{
    EXPECT_EQ(LocalPageSchemeHandler::contentType(QStringLiteral("text/html"), "windows-1251"),
              QByteArray("text/html; charset=windows-1251"));
    EXPECT_EQ(LocalPageSchemeHandler::contentType(QStringLiteral("image/png"), {}),
              QByteArray("image/png"));
}

} // namespace

// A page's charset is told from its first bytes when it is big; a UTF-8 character that the cut
// split would make them look invalid as UTF-8, so it is left out.
TEST(LocalPageScheme, TheCharsetSampleEndsOnAWholeCharacter)
{
    const struct
    {
        QByteArray head;
        qsizetype kept;
    } cases[] = {{"abc", 3},
                 {"ab\xD0", 2},
                 {"ab\xD0\xBF", 4},
                 {"a\xF0\x9F\x98", 1},
                 {"a\xF0\x9F\x98\x80", 5},
                 {"\xE2\x82", 0},
                 {"", 0},
                 {"\x80\x80\x80\x80\x80", 5}};
    for (const auto& c : cases)
        EXPECT_EQ(LocalPageSchemeHandler::wholeCharactersLength(c.head), c.kept)
            << c.head.toHex().toStdString();
}

namespace {

// What the previews serve: any readable regular file, however it is reached; nothing of the
// system's trees and nothing but regular files, however the path is spelled.
class LocalFileRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(write(path("page.html"), "<p>page</p>"));
        ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
        listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path("socket"));
        ASSERT_LT(name.size(), qsizetype(sizeof address.sun_path));
        std::copy(name.begin(), name.end(), address.sun_path);
        ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        // A regular file in a tree that is never served, whatever its kind.
        ASSERT_TRUE(write(shmFile, "shared"));
        const struct
        {
            const char* name;
            QString target;
        } links[] = {{"to-page", path("page.html")},
                     {"to-hostname", QStringLiteral("/etc/hostname")},
                     {"to-environ", QStringLiteral("/proc/self/environ")},
                     {"to-proc", QStringLiteral("/proc")},
                     {"to-shm-file", shmFile},
                     {"to-null", QStringLiteral("/dev/null")},
                     {"to-pipe", path("pipe")}};
        for (const auto& link : links)
            ASSERT_TRUE(QFile::link(link.target, path(link.name))) << link.name;
    }

    void TearDown() override
    {
        ::close(listening);
        QFile::remove(shmFile);
    }

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    static bool write(const QString& file, const QByteArray& bytes)
    {
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    }

    QTemporaryDir dir;
    const QString shmFile = QStringLiteral("/dev/shm/pagewright-test-%1").arg(::getpid());
    int listening = -1;
};

TEST_F(LocalFileRules, ReadableRegularFilesAreServedWhereverTheyAre)
{
    for (const QString& file : {path("page.html"), path("to-page"), path("folder/../page.html"),
                                path("to-hostname"), QStringLiteral("/etc/hostname")}) {
        const std::unique_ptr<QFile> served = LocalFileSource::open(file);
        ASSERT_NE(served, nullptr) << file.toStdString();
        QFile direct(file);
        ASSERT_TRUE(direct.open(QIODevice::ReadOnly));
        EXPECT_EQ(served->readAll(), direct.readAll()) << file.toStdString();
    }
}

TEST_F(LocalFileRules, SystemTreesAndOtherKindsOfFileAreRefused)
{
    const QString refused[] = {
        QStringLiteral("/proc/self/environ"), QStringLiteral("/proc/self/status"),
        QStringLiteral("/proc//self/status"), QStringLiteral("/proc/self/fd/0"),
        QStringLiteral("/sys/devices/system/cpu/online"), QStringLiteral("/dev/null"),
        QStringLiteral("/dev/zero"), shmFile, QStringLiteral("/tmp/../proc/self/status"),
        path("../../../../../../proc/self/status"), path("to-environ"), path("to-proc/self/status"),
        path("to-shm-file"), path("to-null"), path("to-pipe"), path("pipe"), path("socket"),
        path("folder"), dir.path(), QStringLiteral("/"), path("missing.html"),
        // Relative: the engine always names an absolute path.
        QStringLiteral("etc/hostname"), QString()};
    for (const QString& file : refused)
        EXPECT_EQ(LocalFileSource::open(file), nullptr) << file.toStdString();
}

TEST_F(LocalFileRules, UrlSpellingsReachTheSameRules)
{
    const QString host = LocalPageSchemeHandler::originHost(path("page.html"));
    const QString base = QStringLiteral("pagewright-file://") + host;
    const char* const spellings[] = {"/proc%2Fself%2Fenviron",
                                     "/etc%2F..%2Fproc%2Fself%2Fstatus",
                                     "/etc/../proc/self/status",
                                     "/%2E%2E/proc/self/status",
                                     "/dev%2Fnull",
                                     "//sys//devices/system/cpu/online"};
    for (const char* spelling : spellings) {
        const QString file = LocalPageSchemeHandler::filePath(QUrl(base + QLatin1String(spelling)));
        EXPECT_FALSE(file.isEmpty()) << spelling;
        EXPECT_EQ(LocalFileSource::open(file), nullptr) << spelling << " as " << file.toStdString();
    }
    // The same spellings of a readable file are served.
    const QString hostname = LocalPageSchemeHandler::filePath(QUrl(base + "/etc%2Fhostname"));
    EXPECT_NE(LocalFileSource::open(hostname), nullptr) << hostname.toStdString();
}

TEST(LocalFileTrees, OnlyTheTreesThemselvesAreSystemPaths)
{
    const struct
    {
        const char* path;
        bool system;
    } rows[] = {{"/proc", true},         {"/proc/1/environ", true}, {"/sys/kernel", true},
                {"/dev", true},          {"/dev/shm/x", true},      {"/process/x", false},
                {"/system.html", false}, {"/devices", false},       {"/home/dev/x", false},
                {"/tmp/proc", false}};
    for (const auto& row : rows)
        EXPECT_EQ(LocalFileSource::isSystemPath(QString::fromLatin1(row.path)), row.system)
            << row.path;
}

// Each local file has an origin of its own; a request under another file's origin is moved to
// the file's own, and a script's read of it is refused.
TEST(LocalPageOrigins, EachFileHasItsOwnOrigin)
{
    const QString page = QStringLiteral("/site/index.html");
    const QUrl url = LocalPageSchemeHandler::pageUrl(page);
    EXPECT_EQ(url.host(), LocalPageSchemeHandler::originHost(page));
    EXPECT_TRUE(LocalPageSchemeHandler::isUnderOwnOrigin(url));
    EXPECT_NE(LocalPageSchemeHandler::originHost(QStringLiteral("/site/other.html")), url.host());
    EXPECT_EQ(LocalPageSchemeHandler::originHost(QStringLiteral("/site/./pages/../index.html")),
              url.host());
    EXPECT_FALSE(LocalPageSchemeHandler::isUnderOwnOrigin(url.resolved(QUrl("other.html"))));
    EXPECT_FALSE(LocalPageSchemeHandler::isUnderOwnOrigin(QUrl("file:///site/index.html")));
}

TEST(LocalPageOrigins, RequestsAreMovedToTheirFilesOwnOrigin)
{
    using Info = QWebEngineUrlRequestInfo;
    using Action = LocalPageRequestGuard::Action;
    const QUrl page = LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/index.html"));
    const QUrl pageOrigin = page.adjusted(QUrl::RemovePath);
    const QUrl beside = page.resolved(QUrl("secret.txt?x=1#top"));
    const QUrl secretsOwn = LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/secret.txt"));
    const QUrl preview; // the preview's own navigations have no initiator
    const struct
    {
        const char* what;
        QUrl url;
        Info::ResourceType type;
        QUrl initiator;
        Action action;
    } rows[] = {
        {"the page itself", page, Info::ResourceTypeMainFrame, preview, Action::Allow},
        {"a script's read of the page itself", page, Info::ResourceTypeXhr, pageOrigin,
         Action::Allow},
        {"a script's read of a file under that file's origin", secretsOwn, Info::ResourceTypeXhr,
         pageOrigin, Action::Block},
        {"a script's read with no origin", secretsOwn, Info::ResourceTypeXhr, preview,
         Action::Block},
        {"a script's read of a file beside", beside, Info::ResourceTypeXhr, pageOrigin,
         Action::Block},
        {"a picture beside", beside, Info::ResourceTypeImage, pageOrigin, Action::MoveToLoopback},
        {"a picture under its own origin", secretsOwn, Info::ResourceTypeImage, pageOrigin,
         Action::MoveToLoopback},
        {"the page shown as a picture by itself", page, Info::ResourceTypeImage, pageOrigin,
         Action::Allow},
        {"a stylesheet beside", beside, Info::ResourceTypeStylesheet, pageOrigin,
         Action::MoveToLoopback},
        {"a stylesheet under its own origin", secretsOwn, Info::ResourceTypeStylesheet, pageOrigin,
         Action::MoveToLoopback},
        {"a script beside", beside, Info::ResourceTypeScript, pageOrigin, Action::MoveToOwnOrigin},
        {"a frame beside", beside, Info::ResourceTypeSubFrame, pageOrigin, Action::MoveToOwnOrigin},
        {"a page beside", beside, Info::ResourceTypeMainFrame, pageOrigin, Action::MoveToOwnOrigin},
        {"an object beside", beside, Info::ResourceTypeObject, pageOrigin, Action::MoveToOwnOrigin},
        {"media beside", beside, Info::ResourceTypeMedia, pageOrigin, Action::MoveToLoopback},
        {"a worker beside", beside, Info::ResourceTypeWorker, pageOrigin, Action::MoveToOwnOrigin},
        {"a font beside", beside, Info::ResourceTypeFontResource, pageOrigin, Action::Allow},
        {"a file: picture", QUrl("file:///etc/x.png"), Info::ResourceTypeImage, pageOrigin,
         Action::MoveToLoopback},
        {"a file: script", QUrl("file:///etc/x.js"), Info::ResourceTypeScript, pageOrigin,
         Action::MoveToOwnOrigin},
        {"a file: page", QUrl("file:///etc/x.html"), Info::ResourceTypeMainFrame, preview,
         Action::MoveToOwnOrigin},
        {"a script's read of a file: URL", QUrl("file:///etc/hostname"), Info::ResourceTypeXhr,
         pageOrigin, Action::Block},
        {"a host that is no origin of ours", QUrl("pagewright-file://local/etc/passwd"),
         Info::ResourceTypeImage, pageOrigin, Action::Block},
        {"a web stylesheet", QUrl("http://127.0.0.1/x.css"), Info::ResourceTypeStylesheet,
         pageOrigin, Action::Allow},
        {"a web page", QUrl("https://example.org/"), Info::ResourceTypeMainFrame, pageOrigin,
         Action::Allow}};
    for (const auto& row : rows)
        EXPECT_EQ(LocalPageRequestGuard::action(row.url, row.type, row.initiator), row.action)
            << row.what;

    const QUrl moved = LocalPageRequestGuard::target(beside);
    EXPECT_EQ(moved.host(), secretsOwn.host());
    EXPECT_EQ(moved.path(), QStringLiteral("/site/secret.txt"));
    EXPECT_EQ(moved.query(), QStringLiteral("x=1"));
    EXPECT_EQ(moved.fragment(), QStringLiteral("top"));
    EXPECT_EQ(LocalPageRequestGuard::target(QUrl("file:///etc/x.png")),
              LocalPageSchemeHandler::pageUrl(QStringLiteral("/etc/x.png")));
}

// What names a file of the loopback server (another file's picture, or what a stylesheet served
// there names beside it) is held to the same rules: a document never runs under its origins, the
// page's scripts never read from it, and every file is loaded under its own label.
TEST(LocalPageOrigins, LoopbackFilesAreLoadedUnderTheirOwnLabel)
{
    using Info = QWebEngineUrlRequestInfo;
    using Action = LocalPageRequestGuard::Action;
    const LoopbackFileAddress loopback(QByteArrayLiteral("secret"), 4711);
    const QUrl pageOrigin = LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/index.html"))
                                .adjusted(QUrl::RemovePath);
    const QUrl style = loopback.urlOf(QStringLiteral("/site/style.css"));
    const QUrl besideStyle = style.resolved(QUrl("back.png"));
    const QUrl font = loopback.urlOf(QStringLiteral("/site/font.ttf"));
    const struct
    {
        const char* what;
        QUrl url;
        Info::ResourceType type;
        Action action;
    } rows[] = {
        {"a stylesheet under its own label", style, Info::ResourceTypeStylesheet, Action::Allow},
        {"a picture the stylesheet names", besideStyle, Info::ResourceTypeImage,
         Action::MoveToLoopback},
        {"a stylesheet the stylesheet imports", style.resolved(QUrl("more.css")),
         Info::ResourceTypeStylesheet, Action::MoveToLoopback},
        {"a font the stylesheet names", style.resolved(QUrl("font.ttf")),
         Info::ResourceTypeFontResource, Action::MoveToLoopback},
        {"a font under its own label", font, Info::ResourceTypeFontResource, Action::Allow},
        {"a script's read under its own label", style, Info::ResourceTypeXhr, Action::Block},
        {"a script's read under another label", besideStyle, Info::ResourceTypeXhr, Action::Block},
        {"a frame", style, Info::ResourceTypeSubFrame, Action::MoveToOwnOrigin},
        {"a page", style, Info::ResourceTypeMainFrame, Action::MoveToOwnOrigin},
        {"a script", besideStyle, Info::ResourceTypeScript, Action::MoveToOwnOrigin},
        {"another port: a web picture", QUrl(besideStyle.toString().replace(":4711/", ":4712/")),
         Info::ResourceTypeImage, Action::Allow}};
    for (const auto& row : rows)
        EXPECT_EQ(LocalPageRequestGuard::action(row.url, row.type, pageOrigin, loopback),
                  row.action)
            << row.what;

    const QUrl picture = LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/back.png"));
    EXPECT_EQ(LocalPageRequestGuard::target(besideStyle, loopback, loopback),
              loopback.urlOf(QStringLiteral("/site/back.png")));
    EXPECT_EQ(LocalPageRequestGuard::target(picture.resolved(QUrl("?v=2")), {}, loopback),
              loopback.urlOf(QStringLiteral("/site/back.png")).resolved(QUrl("?v=2")));
    EXPECT_EQ(LocalPageRequestGuard::target(style, loopback),
              LocalPageSchemeHandler::pageUrl(QStringLiteral("/site/style.css")));
}

} // namespace

namespace {

// The live preview's text takes the place of the file under any spelling of its path, an empty
// text included, until it is withdrawn.
TEST(LocalPageServedText, TakesThePlaceOfTheFileUntilWithdrawn)
{
    const QString page = QStringLiteral("/tmp/pages/page.html");
    EXPECT_TRUE(LocalPageSchemeHandler::servedText(page).isNull());
    LocalPageSchemeHandler::serveText(QStringLiteral("/tmp/other/../pages//page.html"), "<p>");
    EXPECT_EQ(LocalPageSchemeHandler::servedText(page), "<p>");
    EXPECT_EQ(LocalPageSchemeHandler::servedCharset(page), "") << "told from the bytes";
    LocalPageSchemeHandler::serveText(page, "<p>", "windows-1251");
    EXPECT_EQ(LocalPageSchemeHandler::servedCharset(page), "windows-1251");
    EXPECT_TRUE(
        LocalPageSchemeHandler::servedText(QStringLiteral("/tmp/pages/other.html")).isNull());
    LocalPageSchemeHandler::serveText(page, QByteArray());
    EXPECT_FALSE(LocalPageSchemeHandler::servedText(page).isNull()) << "an empty page is a page";
    LocalPageSchemeHandler::stopServingText(QStringLiteral("/tmp/pages/./page.html"));
    EXPECT_TRUE(LocalPageSchemeHandler::servedText(page).isNull());
}

} // namespace
