#include "platform/LoopbackFileAddress.h"

#include <QDir>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace {

const QLatin1String hostSuffix(".localhost");
// The length of a label in hex digits: 128 bits, as a host label allows.
constexpr qsizetype labelDigits = 32;

bool isLabelHost(const QString& host)
{
    if (host.size() != labelDigits + hostSuffix.size() || !host.endsWith(hostSuffix))
        return false;
    for (const QChar c : QStringView(host).left(labelDigits)) {
        if (!c.isDigit() && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

} // namespace

LoopbackFileAddress::LoopbackFileAddress(QByteArray secret, quint16 port)
    : secret_(std::move(secret)), port_(port)
{}

QByteArray LoopbackFileAddress::newSecret()
{
    QByteArray secret(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret.data()),
                                          secret.size() / qsizetype(sizeof(quint32)));
    return secret;
}

QString LoopbackFileAddress::hostOf(const QString& path) const
{
    const QByteArray label = QMessageAuthenticationCode::hash(QDir::cleanPath(path).toUtf8(),
                                                              secret_, QCryptographicHash::Sha256);
    return QString::fromLatin1(label.toHex().left(labelDigits)) + hostSuffix;
}

QUrl LoopbackFileAddress::urlOf(const QString& path) const
{
    const QString cleanPath = QDir::cleanPath(path);
    QUrl url = QUrl::fromLocalFile(cleanPath);
    url.setScheme(QStringLiteral("http"));
    url.setHost(hostOf(cleanPath));
    url.setPort(port_);
    return url;
}

QString LoopbackFileAddress::filePath(const QUrl& url) const
{
    if (!isValid() || url.scheme() != QLatin1String("http") || url.port() != port_ ||
        !isLabelHost(url.host()))
        return {};
    QUrl local = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemovePort);
    local.setScheme(QStringLiteral("file"));
    local.setHost({});
    const QString path = local.toLocalFile();
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

bool LoopbackFileAddress::isUnderOwnOrigin(const QUrl& url) const
{
    const QString path = filePath(url);
    return !path.isEmpty() && url.host() == hostOf(path);
}
