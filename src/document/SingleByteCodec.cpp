#include "document/SingleByteCodec.h"

#include "document/CharacterReference.h"

#include <QHash>
#include <QMutex>
#include <QStringDecoder>

#include <memory>

namespace {

// A charset with more unmappable high bytes than this is taken for a multi-byte one.
constexpr int maxUnmappedBytes = 16;

} // namespace

const SingleByteCodec* SingleByteCodec::forCharset(const QString& charset)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<SingleByteCodec>> codecs;
    const QString key = charset.toLower();
    QMutexLocker lock(&mutex);
    auto it = codecs.find(key);
    if (it == codecs.end())
        it = codecs.insert(key, std::shared_ptr<SingleByteCodec>(new SingleByteCodec(key)));
    return it.value()->singleByte_ ? it.value().get() : nullptr;
}

SingleByteCodec::SingleByteCodec(const QString& charset)
{
    const QByteArray name = charset.toLatin1();
    if (!QStringDecoder(name.constData()).isValid())
        return;
    int unmapped = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char c = char(byte);
        // A decoder of its own for each byte: an ICU decoder's error stays set after resetState,
        // which would count every byte after the first unmapped one as unmapped too.
        QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
        const QString s = decoder.decode(QByteArrayView(&c, 1));
        if (decoder.hasError() || s.size() != 1 || s[0] == QChar::ReplacementCharacter ||
            fromUnicode_[s[0].unicode()] >= 0) {
            ++unmapped;
            continue;
        }
        const char16_t u = s[0].unicode();
        toUnicode_[byte] = u;
        fromUnicode_[u] = qint16(byte);
        mapped_[byte] = true;
    }
    // Line ends are found by their bytes, so CR and LF must be themselves.
    if (unmapped > maxUnmappedBytes || toUnicode_['\r'] != u'\r' || toUnicode_['\n'] != u'\n' ||
        !mapped_['\r'] || !mapped_['\n'])
        return;
    for (int byte = 0; byte < 256; ++byte) {
        if (mapped_[byte])
            continue;
        // Its own code point, or failing that a private-use one: the table stays one-to-one.
        char16_t u = char16_t(byte);
        if (fromUnicode_[u] >= 0)
            u = char16_t(0xF700 + byte);
        toUnicode_[byte] = u;
        fromUnicode_[u] = qint16(byte);
    }
    singleByte_ = true;
}

bool SingleByteCodec::holds(QByteArrayView bytes) const
{
    for (const char c : bytes)
        if (!mapped_[uchar(c)])
            return false;
    return true;
}

QString SingleByteCodec::decode(QByteArrayView bytes, bool crLf) const
{
    QString text(bytes.size(), Qt::Uninitialized);
    auto* d = reinterpret_cast<char16_t*>(text.data());
    const qsizetype n = bytes.size();
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (crLf && bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            continue;
        d[length++] = toUnicode_[uchar(bytes[i])];
    }
    text.truncate(length);
    return text;
}

QByteArray SingleByteCodec::encode(QStringView text, bool crLf) const
{
    // Room for one byte a character and a CR a line; a reference makes room for itself.
    QByteArray out(text.size() + (crLf ? text.count(u'\n') : 0), Qt::Uninitialized);
    char* d = out.data();
    const char16_t* p = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (c == u'\n') {
            if (crLf)
                *d++ = '\r';
            *d++ = '\n';
            continue;
        }
        const qint16 byte = fromUnicode_[c];
        if (byte >= 0) {
            *d++ = char(byte);
            continue;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            codePoint = QChar::surrogateToUcs4(c, p[i + 1]);
            ++i;
        }
        const QByteArray ref = characterReference(codePoint);
        const qsizetype at = d - out.constData();
        out.resize(out.size() + ref.size() - 1);
        d = std::copy(ref.begin(), ref.end(), out.data() + at);
    }
    out.truncate(d - out.constData());
    return out;
}
