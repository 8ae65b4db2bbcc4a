#include "platform/LocalPageSchemeHandler.h"

#include "platform/LiveTrace.h"
#include "platform/LocalFileSource.h"
#include "platform/LocalPageRequestGuard.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace {

LocalPageSchemeHandler::PageCharset& pageCharsetRule()
{
    static LocalPageSchemeHandler::PageCharset rule;
    return rule;
}

// How much of a page is read to tell its charset.
constexpr qint64 charsetScanLimit = qint64(16) * 1024 * 1024;

struct ServedText
{
    QByteArray bytes;
    // Empty: told from the bytes.
    QByteArray charset;
};

// The pages served from text rather than from their files, by cleaned path.
QHash<QString, ServedText>& servedTexts()
{
    static QHash<QString, ServedText> texts;
    return texts;
}

bool isHtml(const QMimeType& type)
{
    return type.inherits(QStringLiteral("text/html"));
}

} // namespace

const QByteArray LocalPageSchemeHandler::schemeName = QByteArrayLiteral("pagewright-file");

LocalPageSchemeHandler::LocalPageSchemeHandler(QObject* parent, Source source)
    : QWebEngineUrlSchemeHandler(parent), source_(std::move(source))
{
    if (!source_)
        source_ = &LocalPageSchemeHandler::openServed;
}

std::unique_ptr<QIODevice> LocalPageSchemeHandler::openServed(const QString& path)
{
    const QByteArray text = servedText(path);
    if (text.isNull())
        return LocalFileSource::open(path);
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(text);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

void LocalPageSchemeHandler::serveText(const QString& path, const QByteArray& bytes,
                                       const QByteArray& charset)
{
    servedTexts().insert(QDir::cleanPath(path), {bytes.isNull() ? QByteArray("") : bytes, charset});
}

void LocalPageSchemeHandler::stopServingText(const QString& path)
{
    servedTexts().remove(QDir::cleanPath(path));
}

QByteArray LocalPageSchemeHandler::servedText(const QString& path)
{
    return servedTexts().value(QDir::cleanPath(path)).bytes;
}

QByteArray LocalPageSchemeHandler::servedCharset(const QString& path)
{
    return servedTexts().value(QDir::cleanPath(path)).charset;
}

void LocalPageSchemeHandler::registerScheme(PageCharset pageCharset)
{
    pageCharsetRule() = std::move(pageCharset);
    QWebEngineUrlScheme scheme(schemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // As file: pages: local (web pages cannot load them), and free to show other local files.
    // Not secure, so that a page's http: resources are not blocked as mixed content; and not
    // CORS-enabled, since the engine then answers every origin's read as allowed.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool LocalPageSchemeHandler::isRegistered()
{
    return QWebEngineUrlScheme::schemeByName(schemeName).name() == schemeName;
}

void LocalPageSchemeHandler::installOn(QWebEngineProfile* profile)
{
    if (!isRegistered() || profile->urlSchemeHandler(schemeName))
        return;
    profile->installUrlSchemeHandler(schemeName, new LocalPageSchemeHandler(profile));
    profile->setUrlRequestInterceptor(new LocalPageRequestGuard(profile));
    // A local page's web resources load, as in a browser. Local pages keep the origin their
    // URL names (without this setting each would be an opaque origin, to which its own fonts are
    // foreign); the guard keeps them from reading other files.
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
}

namespace {

const QLatin1String originPrefix("f");
// The length of an origin's hash in hex digits: 128 bits, as a host label allows.
constexpr qsizetype originDigits = 32;

bool isOriginHost(const QString& host)
{
    if (host.size() != originPrefix.size() + originDigits || !host.startsWith(originPrefix))
        return false;
    for (const QChar c : QStringView(host).mid(originPrefix.size())) {
        if (!c.isDigit() && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

} // namespace

QString LocalPageSchemeHandler::originHost(const QString& path)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(path).toUtf8(), QCryptographicHash::Sha256);
    return originPrefix + QString::fromLatin1(hash.toHex().left(originDigits));
}

QUrl LocalPageSchemeHandler::pageUrl(const QString& path)
{
    const QString cleanPath = QDir::cleanPath(path);
    QUrl url = QUrl::fromLocalFile(cleanPath);
    if (isRegistered()) {
        url.setScheme(QString::fromLatin1(schemeName));
        url.setHost(originHost(cleanPath));
    }
    return url;
}

QString LocalPageSchemeHandler::filePath(const QUrl& url)
{
    if (url.scheme() != QLatin1String(schemeName) || !isOriginHost(url.host()))
        return {};
    QUrl local = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    local.setScheme(QStringLiteral("file"));
    local.setHost({});
    const QString path = local.toLocalFile();
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

bool LocalPageSchemeHandler::isUnderOwnOrigin(const QUrl& url)
{
    const QString path = filePath(url);
    return !path.isEmpty() && url.host() == originHost(path);
}

QByteArray LocalPageSchemeHandler::contentType(const QString& mimeType, const QByteArray& charset)
{
    QByteArray type = mimeType.toLatin1();
    if (!charset.isEmpty())
        type += "; charset=" + charset;
    return type;
}

qsizetype LocalPageSchemeHandler::wholeCharactersLength(const QByteArray& head)
{
    for (qsizetype lead = head.size() - 1; lead >= 0 && lead >= head.size() - 4; --lead) {
        const auto byte = uchar(head[lead]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return head.size() - lead < length ? lead : head.size();
    }
    return head.size();
}

void LocalPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QString path = filePath(job->requestUrl());
    std::unique_ptr<QIODevice> source = path.isEmpty() ? nullptr : source_(path);
    if (!source) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QIODevice* bytes = source.release();
    bytes->setParent(job);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!isHtml(type)) {
        job->reply(contentType(type.name(), {}), bytes);
        return;
    }
    // The page's bytes decide its charset (valid UTF-8 or not): all of them, or the first
    // charsetScanLimit bytes of a bigger page, which is then not held in memory a second time
    // beside the editor's text. The engine then reads the source itself.
    // A text served from memory is looked at where it is, unless its charset came with it.
    const auto* buffer = qobject_cast<QBuffer*>(bytes);
    const QByteArray servedAs = buffer ? servedCharset(path) : QByteArray();
    if (!servedAs.isEmpty()) {
        job->reply(contentType(type.name(), servedAs), bytes);
        return;
    }
    QByteArray head =
        buffer ? buffer->data().left(charsetScanLimit) : bytes->read(charsetScanLimit);
    const auto* file = qobject_cast<QFileDevice*>(bytes);
    if ((file && file->error() != QFileDevice::NoError) || !bytes->seek(0)) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    if (head.size() == charsetScanLimit)
        head.truncate(wholeCharactersLength(head));
    LiveTrace::mark("job");
    const PageCharset& charsetOf = pageCharsetRule();
    job->reply(contentType(type.name(), charsetOf ? charsetOf(head) : QByteArray()), bytes);
    LiveTrace::mark("job-replied");
}
