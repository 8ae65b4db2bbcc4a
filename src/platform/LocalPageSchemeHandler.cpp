#include "platform/LocalPageSchemeHandler.h"

#include <QFile>
#include <QMimeDatabase>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

LocalPageSchemeHandler::PageCharset& pageCharsetRule()
{
    static LocalPageSchemeHandler::PageCharset rule;
    return rule;
}

// Larger pages are refused: the engine would take far more memory than the program.
constexpr qint64 maxPageBytes = qint64(512) * 1024 * 1024;

// How much of a page is read to tell its charset.
constexpr qint64 charsetScanLimit = qint64(16) * 1024 * 1024;

// Opens `path` for reading if it is a regular file, without blocking: a pipe or a device is
// refused before it is opened, and once more after (it may have been swapped in between).
// Returns the descriptor, or -1.
int openRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxPageBytes) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool isHtml(const QMimeType& type)
{
    return type.inherits(QStringLiteral("text/html"));
}

} // namespace

const QByteArray LocalPageSchemeHandler::schemeName = QByteArrayLiteral("pagewright-file");
// Every local page has this one host: one origin for all of them, as file: pages share one
// renderer. Without a host the engine gives each page an opaque origin of its own, and every
// navigation starts a new renderer (which also loses the keyboard focus).
const QString LocalPageSchemeHandler::hostName = QStringLiteral("local");

void LocalPageSchemeHandler::registerScheme(PageCharset pageCharset)
{
    pageCharsetRule() = std::move(pageCharset);
    QWebEngineUrlScheme scheme(schemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // As file: pages: local, and free to use other local files.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled);
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
}

QUrl LocalPageSchemeHandler::pageUrl(const QString& path)
{
    QUrl url = QUrl::fromLocalFile(path);
    if (isRegistered()) {
        url.setScheme(QString::fromLatin1(schemeName));
        url.setHost(hostName);
    }
    return url;
}

QString LocalPageSchemeHandler::filePath(const QUrl& url)
{
    if (url.scheme() != QLatin1String(schemeName) || url.host() != hostName)
        return {};
    QUrl local = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
    local.setScheme(QStringLiteral("file"));
    local.setHost({});
    return local.toLocalFile();
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
    const int fd = path.isEmpty() ? -1 : openRegularFile(path);
    if (fd < 0) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* file = new QFile(job);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!isHtml(type)) {
        job->reply(contentType(type.name(), {}), file);
        return;
    }
    // The page's bytes decide its charset (valid UTF-8 or not): all of them, or the first
    // charsetScanLimit bytes of a bigger page, which is then not held in memory a second time
    // beside the editor's text. The engine then reads the file itself.
    QByteArray head = file->read(charsetScanLimit);
    if (file->error() != QFileDevice::NoError || !file->seek(0)) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    if (head.size() == charsetScanLimit)
        head.truncate(wholeCharactersLength(head));
    const PageCharset& charsetOf = pageCharsetRule();
    job->reply(contentType(type.name(), charsetOf ? charsetOf(head) : QByteArray()), file);
}
