#include "platform/LoopbackFileReply.h"

#include "platform/LocalPageSchemeHandler.h"

#include <QList>
#include <QMimeDatabase>
#include <optional>

namespace {

struct Request
{
    QByteArray method;
    QByteArray target;
    QByteArray host;
    QByteArray range;
};

// The request line and the fields this server reads; nothing when the head is malformed.
std::optional<Request> parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.trimmed().split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1."))
        return std::nullopt;
    Request request{requestLine[0], requestLine[1], {}, {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "host")
            request.host = value;
        else if (name == "range")
            request.range = value;
    }
    if (request.host.isEmpty())
        return std::nullopt;
    return request;
}

struct ByteRange
{
    qint64 first = 0;
    qint64 length = 0;
};

// The one range of "bytes=first-last", "bytes=first-" or "bytes=-suffix" within `size` bytes;
// nothing when it is not satisfiable. Several ranges are answered with the first.
std::optional<ByteRange> parseRange(const QByteArray& field, qint64 size)
{
    if (!field.startsWith("bytes="))
        return std::nullopt;
    const QByteArray wanted = field.mid(6).split(',').first().trimmed();
    const qsizetype dash = wanted.indexOf('-');
    if (dash < 0)
        return std::nullopt;
    bool firstOk = true, lastOk = true;
    const QByteArray firstText = wanted.left(dash).trimmed(),
                     lastText = wanted.mid(dash + 1).trimmed();
    const qint64 first = firstText.isEmpty() ? -1 : firstText.toLongLong(&firstOk);
    const qint64 last = lastText.isEmpty() ? -1 : lastText.toLongLong(&lastOk);
    if (!firstOk || !lastOk || (first < 0 && last < 0))
        return std::nullopt;
    if (first < 0) // a suffix
        return last == 0 || size == 0
                   ? std::nullopt
                   : std::optional(ByteRange{size - qMin(last, size), qMin(last, size)});
    if (first >= size || (last >= 0 && last < first))
        return std::nullopt;
    const qint64 end = last < 0 ? size - 1 : qMin(last, size - 1);
    return ByteRange{first, end - first + 1};
}

QByteArray statusLine(int status)
{
    switch (status) {
    case 200:
        return "HTTP/1.1 200 OK\r\n";
    case 206:
        return "HTTP/1.1 206 Partial Content\r\n";
    case 400:
        return "HTTP/1.1 400 Bad Request\r\n";
    case 405:
        return "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD\r\n";
    case 416:
        return "HTTP/1.1 416 Range Not Satisfiable\r\n";
    default:
        return "HTTP/1.1 404 Not Found\r\n";
    }
}

LoopbackFileReply failure(int status, QByteArray fields = {})
{
    LoopbackFileReply reply;
    reply.status = status;
    reply.header = statusLine(status) + fields +
                   "Content-Length: 0\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    return reply;
}

// The engine loads a font of another origin only when the answer allows it; a script cannot
// read a font's bytes through a font load, and its own reads of this server are blocked.
bool isFont(const QMimeType& type)
{
    return type.name().startsWith(QLatin1String("font/")) ||
           type.inherits(QStringLiteral("application/x-font-ttf")) ||
           type.inherits(QStringLiteral("application/x-font-otf"));
}

} // namespace

qsizetype LoopbackFileReply::headLength(const QByteArray& received)
{
    const qsizetype crlf = received.indexOf("\r\n\r\n");
    if (crlf >= 0)
        return crlf + 4;
    const qsizetype lf = received.indexOf("\n\n");
    return lf >= 0 ? lf + 2 : 0;
}

LoopbackFileReply LoopbackFileReply::answer(const QByteArray& head,
                                            const LoopbackFileAddress& address,
                                            const Source& source)
{
    const std::optional<Request> request = parseHead(head);
    if (!request)
        return failure(400);
    if (request->method != "GET" && request->method != "HEAD")
        return failure(405);
    if (!request->target.startsWith('/'))
        return failure(400);
    const QUrl url(QStringLiteral("http://") + QString::fromLatin1(request->host) +
                       QString::fromLatin1(request->target),
                   QUrl::StrictMode);
    if (!url.isValid() || !address.isUnderOwnOrigin(url))
        return failure(404);
    const QString path = address.filePath(url);
    std::unique_ptr<QIODevice> body = source(path);
    if (!body)
        return failure(404);
    const qint64 size = body->size();
    ByteRange range{0, size};
    LoopbackFileReply reply;
    reply.status = 200;
    if (!request->range.isEmpty()) {
        const std::optional<ByteRange> wanted = parseRange(request->range, size);
        if (!wanted)
            return failure(416, "Content-Range: bytes */" + QByteArray::number(size) + "\r\n");
        range = *wanted;
        reply.status = 206;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    reply.header = statusLine(reply.status) +
                   "Content-Type: " + LocalPageSchemeHandler::contentType(type.name(), {}) +
                   "\r\n" + "Content-Length: " + QByteArray::number(range.length) + "\r\n" +
                   "Accept-Ranges: bytes\r\nCache-Control: no-store\r\nConnection: close\r\n";
    if (reply.status == 206)
        reply.header += "Content-Range: bytes " + QByteArray::number(range.first) + '-' +
                        QByteArray::number(range.first + range.length - 1) + '/' +
                        QByteArray::number(size) + "\r\n";
    if (isFont(type))
        reply.header += "Access-Control-Allow-Origin: *\r\n";
    reply.header += "\r\n";
    if (request->method == "GET" && range.length > 0) {
        if (!body->seek(range.first))
            return failure(404);
        reply.body = std::move(body);
        reply.bodyLength = range.length;
    }
    return reply;
}
