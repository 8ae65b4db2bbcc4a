// Local files as the previews' URLs, and back.
#include "platform/LocalPageSchemeHandler.h"

#include <QUrl>
#include <gtest/gtest.h>

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
