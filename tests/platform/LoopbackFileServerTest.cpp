// The loopback file server: which addresses name which files, what it answers, and a whole
// exchange over a real socket.
#include "platform/LoopbackFileServer.h"
#include "platform/LoopbackFileAddress.h"
#include "platform/LoopbackFileReply.h"

#include <QBuffer>
#include <QHash>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QByteArray secret = QByteArrayLiteral("a secret of this run");
constexpr quint16 port = 4711;

TEST(LoopbackFileAddresses, PathsRoundTripThroughTheirUrls)
{
    const LoopbackFileAddress address(secret, port);
    for (const QString& path :
         {QStringLiteral("/tmp/x/red.png"), QStringLiteral("/home/я/Мои сайты/фон.png"),
          QStringLiteral("/tmp/a#b?c%20d.css"), QStringLiteral("/tmp/100%.png"),
          QStringLiteral("/strange;name,with=marks&.png")}) {
        const QUrl url = address.urlOf(path);
        EXPECT_EQ(url.port(), port);
        EXPECT_TRUE(url.host().endsWith(QLatin1String(".localhost")))
            << url.toString().toStdString();
        EXPECT_EQ(address.filePath(url), path) << url.toString().toStdString();
        // As the engine asks for it: encoded text parsed anew.
        const QUrl asAsked(url.toString(QUrl::FullyEncoded));
        EXPECT_EQ(address.filePath(asAsked), path) << url.toString().toStdString();
        EXPECT_TRUE(address.isUnderOwnOrigin(asAsked)) << url.toString().toStdString();
    }
}

TEST(LoopbackFileAddresses, EachFileHasALabelOfItsOwnThatOnlyTheSecretMakes)
{
    const LoopbackFileAddress address(secret, port);
    const QString page = QStringLiteral("/site/red.png");
    EXPECT_NE(address.hostOf(page), address.hostOf(QStringLiteral("/site/blue.png")));
    EXPECT_EQ(address.hostOf(page), address.hostOf(QStringLiteral("/site/./x/../red.png")));
    EXPECT_NE(address.hostOf(page), LoopbackFileAddress("another run", port).hostOf(page));
    EXPECT_NE(LoopbackFileAddress::newSecret(), LoopbackFileAddress::newSecret());

    const QUrl url = address.urlOf(page);
    const QUrl besideIt = url.resolved(QUrl("blue.png"));
    EXPECT_EQ(address.filePath(besideIt), QStringLiteral("/site/blue.png"));
    EXPECT_FALSE(address.isUnderOwnOrigin(besideIt));
    const struct
    {
        const char* what;
        QUrl url;
    } others[] = {{"another port", QUrl(url.toString().replace(":4711/", ":4712/"))},
                  {"https", QUrl(url.toString().replace("http:", "https:"))},
                  {"the loopback address itself", QUrl("http://127.0.0.1:4711/site/red.png")},
                  {"a short label", QUrl("http://abc.localhost:4711/site/red.png")},
                  {"a label that is no hex",
                   QUrl("http://zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz.localhost:4711/site/red.png")},
                  {"another domain", QUrl(url.toString().replace(".localhost", ".example"))}};
    for (const auto& other : others) {
        EXPECT_EQ(address.filePath(other.url), QString()) << other.what;
        EXPECT_FALSE(address.isUnderOwnOrigin(other.url)) << other.what;
    }
    EXPECT_EQ(LoopbackFileAddress().filePath(url), QString()) << "no server, no files";
}

// Files as a source gives them: a buffer per known path.
LoopbackFileReply::Source sourceOf(const QHash<QString, QByteArray>& files)
{
    return [files](const QString& path) -> std::unique_ptr<QIODevice> {
        if (!files.contains(path))
            return nullptr;
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(files.value(path));
        buffer->open(QIODevice::ReadOnly);
        return buffer;
    };
}

QByteArray requestHead(const QByteArray& method, const QUrl& url, const QByteArray& fields = {})
{
    return method + ' ' + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) +
           " HTTP/1.1\r\nHost: " + url.host().toLatin1() + ':' + QByteArray::number(url.port()) +
           "\r\n" + fields + "\r\n";
}

QByteArray bodyOf(LoopbackFileReply& reply)
{
    return reply.body ? reply.body->read(reply.bodyLength) : QByteArray();
}

TEST(LoopbackFileReplies, AFileIsAnsweredOnlyUnderItsOwnLabel)
{
    const LoopbackFileAddress address(secret, port);
    const QByteArray digits = "0123456789";
    const auto source = sourceOf(
        {{QStringLiteral("/site/red.png"), digits}, {QStringLiteral("/site/font.ttf"), "font"}});
    const QUrl picture = address.urlOf(QStringLiteral("/site/red.png"));
    const QByteArray ownHost = "Host: " + picture.host().toLatin1() + ":4711\r\n";
    const struct
    {
        const char* what;
        QByteArray head;
        int status;
        QByteArray body;
        const char* field; // a header field the answer carries
    } rows[] = {
        {"the picture", requestHead("GET", picture), 200, digits, "Content-Type: image/png"},
        {"its length", requestHead("GET", picture), 200, digits, "Content-Length: 10"},
        {"never kept", requestHead("GET", picture), 200, digits, "Cache-Control: no-store"},
        {"a query is no other file", requestHead("GET", picture.resolved(QUrl("red.png?v=2"))), 200,
         digits, ""},
        {"HEAD", requestHead("HEAD", picture), 200, {}, "Content-Length: 10"},
        {"a range", requestHead("GET", picture, "Range: bytes=2-4\r\n"), 206, "234",
         "Content-Range: bytes 2-4/10"},
        {"a range to the end", requestHead("GET", picture, "range:bytes=7-\r\n"), 206, "789",
         "Content-Range: bytes 7-9/10"},
        {"a range past the end", requestHead("GET", picture, "Range: bytes=8-20\r\n"), 206, "89",
         "Content-Length: 2"},
        {"the last bytes", requestHead("GET", picture, "Range: bytes=-3\r\n"), 206, "789", ""},
        {"more last bytes than there are", requestHead("GET", picture, "Range: bytes=-30\r\n"), 206,
         digits, "Content-Range: bytes 0-9/10"},
        {"a range beyond the file",
         requestHead("GET", picture, "Range: bytes=10-\r\n"),
         416,
         {},
         "Content-Range: bytes */10"},
        {"a range backwards", requestHead("GET", picture, "Range: bytes=4-2\r\n"), 416, {}, ""},
        {"a range of nothing", requestHead("GET", picture, "Range: bytes=-0\r\n"), 416, {}, ""},
        {"a range of words", requestHead("GET", picture, "Range: lines=1-2\r\n"), 416, {}, ""},
        {"a font, which other origins may load",
         requestHead("GET", address.urlOf(QStringLiteral("/site/font.ttf"))), 200, "font",
         "Access-Control-Allow-Origin: *"},
        {"another file's label",
         requestHead("GET", picture.resolved(QUrl("font.ttf"))),
         404,
         {},
         ""},
        {"a file not served",
         requestHead("GET", address.urlOf(QStringLiteral("/etc/passwd"))),
         404,
         {},
         ""},
        {"another run's label",
         requestHead("GET", LoopbackFileAddress("other", port).urlOf("/site/red.png")),
         404,
         {},
         ""},
        {"another port",
         requestHead("GET", QUrl(picture.toString().replace(":4711/", ":80/"))),
         404,
         {},
         ""},
        {"POST", requestHead("POST", picture), 405, {}, "Allow: GET, HEAD"},
        {"no host", "GET /site/red.png HTTP/1.1\r\n\r\n", 400, {}, ""},
        {"an absolute target",
         "GET " + picture.toEncoded() + " HTTP/1.1\r\n" + ownHost + "\r\n",
         400,
         {},
         ""},
        {"no version", "GET /site/red.png\r\n" + ownHost + "\r\n", 400, {}, ""},
        {"a field without a colon",
         "GET /site/red.png HTTP/1.1\r\n" + ownHost + "junk\r\n\r\n",
         400,
         {},
         ""},
        {"nothing", "", 400, {}, ""}};
    for (const auto& row : rows) {
        LoopbackFileReply reply = LoopbackFileReply::answer(row.head, address, source);
        EXPECT_EQ(reply.status, row.status) << row.what;
        EXPECT_TRUE(reply.header.startsWith("HTTP/1.1 " + QByteArray::number(row.status)))
            << row.what;
        EXPECT_TRUE(reply.header.endsWith("\r\n\r\n")) << row.what;
        EXPECT_TRUE(reply.header.contains(row.field)) << row.what << ": " << reply.header.data();
        EXPECT_EQ(bodyOf(reply), row.body) << row.what;
        EXPECT_EQ(reply.header.contains("Access-Control"), QByteArray(row.field).contains("Access"))
            << row.what;
    }
}

TEST(LoopbackFileReplies, TheHeadEndsAtItsBlankLine)
{
    const struct
    {
        QByteArray received;
        qsizetype length;
    } rows[] = {{"GET / HTTP/1.1\r\nHost: x\r\n\r\n", 27},
                {"GET / HTTP/1.1\r\nHost: x\r\n\r\nmore", 27},
                {"GET / HTTP/1.1\nHost: x\n\n", 24},
                {"GET / HTTP/1.1\r\nHost: x\r\n", 0},
                {"", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(LoopbackFileReply::headLength(row.received), row.length) << row.received.data();
}

// A whole exchange: a file larger than the pieces it is sent in arrives whole, and the server
// closes the connection after it; a request under the wrong label gets nothing of the file.
class LoopbackFileServing : public ::testing::Test
{
protected:
    QByteArray exchange(const QByteArray& request)
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.address().port());
        EXPECT_TRUE(socket.waitForConnected(30000));
        socket.write(request);
        QByteArray received;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                received += socket.readAll();
                return socket.state() == QAbstractSocket::UnconnectedState;
            },
            30000))
            << "the server did not close the connection";
        return received + socket.readAll();
    }

    QByteArray large = makeLarge();
    LoopbackFileServer server{sourceOf({{QStringLiteral("/site/large.png"), large}})};

private:
    static QByteArray makeLarge()
    {
        QByteArray bytes;
        for (int i = 0; bytes.size() < 1000 * 1000; ++i)
            bytes += QByteArray::number(i) + ' ';
        return bytes;
    }
};

TEST_F(LoopbackFileServing, ALargeFileArrivesWholeAndTheConnectionCloses)
{
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(server.start()) << "a second start keeps the server as it is";
    const QUrl url = server.address().urlOf(QStringLiteral("/site/large.png"));
    const QByteArray answer = exchange(requestHead("GET", url));
    const qsizetype bodyStart = LoopbackFileReply::headLength(answer);
    ASSERT_GT(bodyStart, 0) << answer.left(200).data();
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(answer.size() - bodyStart, large.size());
    EXPECT_TRUE(answer.mid(bodyStart) == large);

    const QByteArray refused = exchange(requestHead("GET", url.resolved(QUrl("other.png"))));
    EXPECT_TRUE(refused.startsWith("HTTP/1.1 404")) << refused.data();
    EXPECT_TRUE(refused.endsWith("\r\n\r\n")) << refused.data();
}

TEST_F(LoopbackFileServing, AHeadTooLargeIsRefused)
{
    ASSERT_TRUE(server.start());
    const QUrl url = server.address().urlOf(QStringLiteral("/site/large.png"));
    const QByteArray padding =
        "X-Padding: " + QByteArray(LoopbackFileReply::maxHeadBytes, 'x') + "\r\n";
    const QByteArray answer = exchange(requestHead("GET", url, padding));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 400")) << answer.left(100).data();
}

} // namespace
