#include "document/DocumentFormat.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

namespace {

constexpr QByteArrayView utf8ByteOrderMark("\xEF\xBB\xBF");
const QString utf8Name = QStringLiteral("utf-8");
const QString windows1251Name = QStringLiteral("windows-1251");

// Windows-1251 both ways, one character per byte. The mapping comes from the system's converter
// (ICU); a byte it cannot map one-to-one keeps its own code point (U+0080..U+00FF), so that every
// byte sequence survives decoding and encoding.
struct Windows1251Table
{
    std::array<char16_t, 256> toUnicode{};
    std::vector<qint16> fromUnicode = std::vector<qint16>(0x10000, -1);
};

const Windows1251Table& windows1251()
{
    static const Windows1251Table table = [] {
        Windows1251Table t;
        QStringDecoder decoder("windows-1251", QStringDecoder::Flag::Stateless);
        if (!decoder.isValid())
            qWarning("Windows-1251 converter unavailable; bytes above 0x7F map to Latin-1");
        std::array<bool, 256> mapped{};
        for (int byte = 0; byte < 256; ++byte) {
            if (!decoder.isValid())
                break;
            const char c = char(byte);
            decoder.resetState();
            const QString s = decoder.decode(QByteArrayView(&c, 1));
            if (decoder.hasError() || s.size() != 1 || s[0] == QChar::ReplacementCharacter)
                continue;
            const char16_t u = s[0].unicode();
            if (t.fromUnicode[u] >= 0)
                continue;
            t.toUnicode[byte] = u;
            t.fromUnicode[u] = qint16(byte);
            mapped[byte] = true;
        }
        for (int byte = 0; byte < 256; ++byte) {
            if (mapped[byte])
                continue;
            // Its own code point, or failing that a private-use one: the table stays one-to-one.
            char16_t u = char16_t(byte);
            if (t.fromUnicode[u] >= 0)
                u = char16_t(0xF700 + byte);
            t.toUnicode[byte] = u;
            t.fromUnicode[u] = qint16(byte);
        }
        return t;
    }();
    return table;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (uchar(c) & 0x80) == 0; });
}

// LF as soon as one LF stands without a CR before it: then every CR stays a character of the
// text, so a file that mixes CR LF with LF is written back as it was.
LineEnding detectLineEnding(QByteArrayView bytes)
{
    for (qsizetype lf = bytes.indexOf('\n'); lf >= 0; lf = bytes.indexOf('\n', lf + 1)) {
        if (lf == 0 || bytes[lf - 1] != '\r')
            return LineEnding::Lf;
    }
    return LineEnding::CrLf;
}

// Every CR LF pair becomes LF; a CR on its own stays.
QByteArray withoutCrBeforeLf(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    char* d = out.data();
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        const char* const runEnd = cr ? cr : end;
        d = std::copy(p, runEnd, d);
        if (!cr)
            break;
        if (cr + 1 == end || cr[1] != '\n')
            *d++ = '\r';
        p = cr + 1;
    }
    out.truncate(d - out.constData());
    return out;
}

// Every LF byte becomes CR LF (in UTF-8 a LF byte only ever stands for '\n').
QByteArray withCrBeforeLf(QByteArrayView bytes)
{
    QByteArray out(bytes.size() + bytes.count('\n'), Qt::Uninitialized);
    char* d = out.data();
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p != end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* const runEnd = lf ? lf : end;
        d = std::copy(p, runEnd, d);
        if (!lf)
            break;
        *d++ = '\r';
        *d++ = '\n';
        p = lf + 1;
    }
    return out;
}

QString decodeWindows1251(QByteArrayView bytes, bool crLf)
{
    const auto& toUnicode = windows1251().toUnicode;
    QString text(bytes.size(), Qt::Uninitialized);
    auto* d = reinterpret_cast<char16_t*>(text.data());
    const qsizetype n = bytes.size();
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (crLf && bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            continue;
        d[length++] = toUnicode[uchar(bytes[i])];
    }
    text.truncate(length);
    return text;
}

QString decodeUtf8(QByteArrayView bytes, bool crLf)
{
    // The byte-order mark, if any, is already gone; a second one is text and must stay.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    if (!crLf || bytes.indexOf("\r\n") < 0)
        return decoder.decode(bytes);
    return decoder.decode(withoutCrBeforeLf(bytes));
}

// "&#NNNN;" for a character that the encoding cannot hold.
QByteArray reference(char32_t codePoint)
{
    char buffer[16] = "&#";
    char* end = std::to_chars(buffer + 2, buffer + sizeof buffer - 1, uint(codePoint)).ptr;
    *end++ = ';';
    return QByteArray(buffer, end - buffer);
}

QByteArray encodeWindows1251(QStringView text, bool crLf)
{
    const auto& fromUnicode = windows1251().fromUnicode;
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
        const qint16 byte = fromUnicode[c];
        if (byte >= 0) {
            *d++ = char(byte);
            continue;
        }
        char32_t codePoint = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
            codePoint = QChar::surrogateToUcs4(c, p[i + 1]);
            ++i;
        }
        const QByteArray ref = reference(codePoint);
        const qsizetype at = d - out.constData();
        out.resize(out.size() + ref.size() - 1);
        d = std::copy(ref.begin(), ref.end(), out.data() + at);
    }
    out.truncate(d - out.constData());
    return out;
}

bool hasUnpairedSurrogate(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            ++i;
        else
            return true;
    }
    return false;
}

// UTF-8 cannot hold a surrogate on its own; it becomes a reference like any unencodable character.
QByteArray encodeUtf8WithReferences(QStringView text)
{
    QByteArray out;
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        out.append(text.sliced(runStart, i - runStart).toUtf8());
        out.append(reference(c.unicode()));
        runStart = i + 1;
    }
    out.append(text.sliced(runStart).toUtf8());
    return out;
}

QByteArray encodeUtf8(QStringView text, bool byteOrderMark, bool crLf)
{
    QByteArray out = hasUnpairedSurrogate(text) ? encodeUtf8WithReferences(text) : text.toUtf8();
    if (crLf)
        out = withCrBeforeLf(out);
    if (byteOrderMark)
        out.prepend(utf8ByteOrderMark);
    return out;
}

bool isAsciiSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

// The label after "charset=" inside one tag's attributes: <meta charset="utf-8"> as well as
// <meta http-equiv="Content-Type" content="text/html; charset=utf-8">.
std::optional<QStringView> charsetLabel(QStringView attributes)
{
    const QLatin1StringView key("charset");
    qsizetype from = 0;
    qsizetype at;
    while ((at = attributes.indexOf(key, from, Qt::CaseInsensitive)) >= 0) {
        from = at + key.size();
        if (at > 0 && isNameChar(attributes[at - 1]))
            continue;
        qsizetype i = from;
        while (i < attributes.size() && isAsciiSpace(attributes[i]))
            ++i;
        if (i == attributes.size() || attributes[i] != u'=')
            continue;
        ++i;
        while (i < attributes.size() && isAsciiSpace(attributes[i]))
            ++i;
        if (i < attributes.size() && (attributes[i] == u'"' || attributes[i] == u'\'')) {
            // Quoted: up to the closing quote; spaces round the label do not matter.
            const QChar quote = attributes[i++];
            const qsizetype start = i;
            while (i < attributes.size() && attributes[i] != quote)
                ++i;
            return attributes.sliced(start, i - start);
        }
        const qsizetype start = i;
        while (i < attributes.size() && !isAsciiSpace(attributes[i]) &&
               !QStringView(u";\"'>/").contains(attributes[i]))
            ++i;
        return attributes.sliced(start, i - start);
    }
    return std::nullopt;
}

QString normalisedCharset(QStringView label)
{
    // The labels that browsers accept for the two encodings.
    static const QStringView utf8Labels[] = {
        u"utf-8",         u"utf8",          u"unicode-1-1-utf-8",
        u"unicode11utf8", u"unicode20utf8", u"x-unicode20utf8"};
    static const QStringView windows1251Labels[] = {u"windows-1251", u"cp1251", u"x-cp1251"};
    const QString name = label.trimmed().toString().toLower();
    if (std::find(std::begin(utf8Labels), std::end(utf8Labels), name) != std::end(utf8Labels))
        return utf8Name;
    if (std::find(std::begin(windows1251Labels), std::end(windows1251Labels), name) !=
        std::end(windows1251Labels))
        return windows1251Name;
    return {};
}

} // namespace

TextFormat newDocumentFormat()
{
    return TextFormat{};
}

DecodedDocument decodeDocument(const QByteArray& bytes)
{
    DecodedDocument document;
    TextFormat& format = document.format;
    const QByteArrayView all(bytes);
    QByteArrayView body = all;
    const bool ascii = isAscii(all);
    if (all.startsWith(utf8ByteOrderMark) && all.sliced(utf8ByteOrderMark.size()).isValidUtf8()) {
        format.encoding = TextEncoding::Utf8;
        format.byteOrderMark = true;
        body = all.sliced(utf8ByteOrderMark.size());
    } else if (!ascii && all.isValidUtf8()) {
        format.encoding = TextEncoding::Utf8;
    }
    format.lineEnding = detectLineEnding(body);
    const bool crLf = format.lineEnding == LineEnding::CrLf;
    document.text = format.encoding == TextEncoding::Utf8 ? decodeUtf8(body, crLf)
                                                          : decodeWindows1251(body, crLf);
    format.declaredCharset = declaredCharset(document.text);
    if (ascii && format.declaredCharset == utf8Name)
        format.encoding = TextEncoding::Utf8;
    return document;
}

TextFormat formatForSaving(const QString& text, const TextFormat& format)
{
    TextFormat result = format;
    result.declaredCharset = declaredCharset(text);
    if (result.declaredCharset.isEmpty() || result.declaredCharset == format.declaredCharset)
        return result;
    const TextEncoding declared =
        result.declaredCharset == utf8Name ? TextEncoding::Utf8 : TextEncoding::Windows1251;
    if (declared != format.encoding) {
        result.encoding = declared;
        result.byteOrderMark = false;
    }
    return result;
}

QByteArray encodeDocument(const QString& text, const TextFormat& format)
{
    const TextFormat target = formatForSaving(text, format);
    const bool crLf = target.lineEnding == LineEnding::CrLf;
    if (target.encoding == TextEncoding::Utf8)
        return encodeUtf8(text, target.byteOrderMark, crLf);
    return encodeWindows1251(text, crLf);
}

QString declaredCharset(const QString& text)
{
    const QStringView all(text);
    qsizetype i = 0;
    while ((i = all.indexOf(u'<', i)) >= 0) {
        const QStringView rest = all.sliced(i);
        if (rest.startsWith(u"<!--")) {
            // "<!-->" already closes a comment, as in browsers.
            const qsizetype end = all.indexOf(u"-->", i + 2);
            if (end < 0)
                return {};
            i = end + 3;
            continue;
        }
        const QStringView tagName(u"<meta");
        if (rest.size() > tagName.size() && rest.startsWith(tagName, Qt::CaseInsensitive) &&
            (isAsciiSpace(rest[tagName.size()]) || rest[tagName.size()] == u'/')) {
            qsizetype close = all.indexOf(u'>', i);
            if (close < 0)
                close = all.size();
            const std::optional<QStringView> label =
                charsetLabel(all.sliced(i + tagName.size(), close - i - tagName.size()));
            if (label)
                return normalisedCharset(*label);
            i = close;
            continue;
        }
        ++i;
    }
    return {};
}
