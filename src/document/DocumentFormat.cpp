#include "document/DocumentFormat.h"

#include "document/CharacterReference.h"
#include "document/EncodingLabels.h"
#include "document/PiecewiseDecoding.h"
#include "document/SingleByteCodec.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
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

const SingleByteCodec& windows1251()
{
    static const SingleByteCodec* const codec = [] {
        const SingleByteCodec* found = SingleByteCodec::forCharset(windows1251Name);
        if (!found)
            qFatal("The Windows-1251 converter is unavailable");
        return found;
    }();
    return *codec;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (uchar(c) & 0x80) == 0; });
}

// CR LF unless some LF stands without a CR before it: then the text is read as it is, every CR
// staying a character, so a file that mixes CR LF with LF is written back as it was.
LineEnding detectLineEnding(QByteArrayView bytes)
{
    for (qsizetype lf = bytes.indexOf('\n'); lf >= 0; lf = bytes.indexOf('\n', lf + 1))
        if (lf == 0 || bytes[lf - 1] != '\r')
            return LineEnding::Lf;
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

QString decodeUtf8(QByteArrayView bytes, LineEnding lineEnding)
{
    // The byte-order mark, if any, is already gone; a second one is text and must stay.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                     QStringDecoder::Flag::Stateless);
    if (lineEnding == LineEnding::Lf || bytes.indexOf("\r\n") < 0)
        return decoder.decode(bytes);
    return decoder.decode(withoutCrBeforeLf(bytes));
}

// The text of valid UTF-8 `bytes`, which lie within `owner`, decoded piece by piece.
QString utf8Text(QByteArray& owner, QByteArrayView bytes, LineEnding lineEnding)
{
    return PiecewiseDecoding::decode(
        owner, bytes, PiecewiseDecoding::Cut::Utf8,
        [lineEnding](QByteArrayView piece) { return decodeUtf8(piece, lineEnding); });
}

// The text of `bytes`, which lie within `owner`, in a single-byte charset, piece by piece.
QString singleByteText(QByteArray& owner, QByteArrayView bytes, const SingleByteCodec& codec,
                       bool crLf)
{
    return PiecewiseDecoding::decode(
        owner, bytes, PiecewiseDecoding::Cut::Bytes,
        [&codec, crLf](QByteArrayView piece) { return codec.decode(piece, crLf); });
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
        out.append(characterReference(c.unicode()));
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

// The encoding a declared label stands for, read as browsers read a <meta>: by the labels of the
// Encoding Standard, where a UTF-16 label declares UTF-8 (a tag in ASCII cannot be UTF-16) and
// x-user-defined declares windows-1252. Empty for no label, and for an encoding Qt's converters
// cannot read (replacement, ISO-8859-16), where the bytes decide as if nothing were declared.
QString normalisedCharset(QStringView label)
{
    const QString encoding = EncodingLabels::encodingOf(label);
    if (encoding == u"utf-16le" || encoding == u"utf-16be")
        return utf8Name;
    if (encoding == u"x-user-defined")
        return QStringLiteral("windows-1252");
    if (encoding.isEmpty() || encoding == utf8Name || encoding == windows1251Name)
        return encoding;
    if (encoding == u"replacement" ||
        !QStringDecoder(EncodingLabels::converterName(encoding).constData()).isValid())
        return {};
    return encoding;
}

struct UnicodeForm
{
    TextEncoding encoding;
    QByteArrayView byteOrderMark;
    const char* name;
};

// UTF-32 LE comes before UTF-16 LE: its mark begins with the UTF-16 LE mark.
constexpr UnicodeForm unicodeForms[] = {
    {TextEncoding::Utf32Le, QByteArrayView("\xFF\xFE\x00\x00", 4), "utf-32le"},
    {TextEncoding::Utf32Be, QByteArrayView("\x00\x00\xFE\xFF", 4), "utf-32be"},
    {TextEncoding::Utf16Le, QByteArrayView("\xFF\xFE", 2), "utf-16le"},
    {TextEncoding::Utf16Be, QByteArrayView("\xFE\xFF", 2), "utf-16be"},
};

const UnicodeForm* unicodeForm(TextEncoding encoding)
{
    for (const UnicodeForm& form : unicodeForms)
        if (form.encoding == encoding)
            return &form;
    return nullptr;
}

// Encodes with Qt's converter for `charset`; what it cannot hold becomes a reference. Unpaired
// surrogates are turned into references first, as no Unicode form may carry them.
QByteArray encodeWithConverter(const char* charset, QStringView text)
{
    QString safe;
    if (hasUnpairedSurrogate(text)) {
        safe = QString::fromUtf8(encodeUtf8WithReferences(text));
        text = safe;
    }
    QStringEncoder encoder(charset, QStringEncoder::Flag::Stateless);
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    // Some characters are not in the charset: find them one by one, keeping the runs between
    // them whole (stateful charsets need their runs encoded by one encoder).
    out.clear();
    QStringEncoder runEncoder(charset);
    const qsizetype n = text.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < n;) {
        const qsizetype width =
            text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate() ? 2 : 1;
        QStringEncoder probe(charset, QStringEncoder::Flag::Stateless);
        const QByteArray ignored = probe.encode(text.sliced(i, width));
        if (probe.hasError()) {
            out.append(runEncoder.encode(text.sliced(runStart, i - runStart)));
            out.append(characterReference(width == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1])
                                                     : char32_t(text[i].unicode())));
            runStart = i + width;
        }
        i += width;
    }
    out.append(runEncoder.encode(text.sliced(runStart)));
    return out;
}

// The text of `bytes` in `charset` with CR LF pairs as '\n', and its line ending; nothing when
// the bytes are not valid in it or would not be written back the same.
std::optional<DecodedDocument> decodeWithConverter(const char* charset, QByteArrayView bytes)
{
    // ConvertInitialBom: the mark, if any, is already gone; a second one is text.
    QStringDecoder decoder(charset, QStringDecoder::Flag::Stateless |
                                        QStringDecoder::Flag::ConvertInitialBom);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || encodeWithConverter(charset, text) != bytes)
        return std::nullopt;
    DecodedDocument document;
    const auto bareLf = [&text] {
        for (qsizetype lf = text.indexOf(u'\n'); lf >= 0; lf = text.indexOf(u'\n', lf + 1))
            if (lf == 0 || text[lf - 1] != u'\r')
                return true;
        return false;
    };
    document.format.lineEnding = bareLf() ? LineEnding::Lf : LineEnding::CrLf;
    if (document.format.lineEnding == LineEnding::CrLf)
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    document.text = std::move(text);
    return document;
}

std::optional<DecodedDocument> decodeUnicodeForm(const UnicodeForm& form, QByteArrayView bytes,
                                                 bool byteOrderMark)
{
    std::optional<DecodedDocument> document = decodeWithConverter(form.name, bytes);
    if (document) {
        document->format.encoding = form.encoding;
        document->format.byteOrderMark = byteOrderMark;
    }
    return document;
}

// UTF-16 without a mark: HTML is mostly ASCII, which UTF-16 writes with a NUL byte beside every
// character, while a single-byte or UTF-8 page has (next to) no NUL bytes at all.
const UnicodeForm* unmarkedUtf16(QByteArrayView bytes)
{
    if (bytes.size() < 4 || bytes.size() % 2 != 0)
        return nullptr;
    qsizetype evenNuls = 0;
    qsizetype oddNuls = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        evenNuls += bytes[i] == 0;
        oddNuls += bytes[i + 1] == 0;
    }
    const qsizetype units = bytes.size() / 2;
    if (oddNuls * 4 >= units && evenNuls * 8 <= oddNuls)
        return unicodeForm(TextEncoding::Utf16Le);
    if (evenNuls * 4 >= units && oddNuls * 8 <= evenNuls)
        return unicodeForm(TextEncoding::Utf16Be);
    return nullptr;
}

TextFormat formatOfCharset(const QString& charset)
{
    TextFormat format;
    if (charset == utf8Name) {
        format.encoding = TextEncoding::Utf8;
    } else if (charset != windows1251Name) {
        format.encoding = TextEncoding::Other;
        format.otherCharset = charset;
    }
    return format;
}

// The document in the charset its bytes (all of `owner`) declare, when they are valid in it;
// without its text when `withText` is false and the text is not needed to tell.
std::optional<DecodedDocument> decodeDeclared(const QString& charset, QByteArray& owner,
                                              bool withText)
{
    const QByteArrayView bytes(owner);
    DecodedDocument document;
    document.format = formatOfCharset(charset);
    const LineEnding lineEnding = detectLineEnding(bytes);
    const bool crLf = lineEnding == LineEnding::CrLf;
    switch (document.format.encoding) {
    case TextEncoding::Utf8:
        if (!bytes.isValidUtf8())
            return std::nullopt;
        if (withText)
            document.text = utf8Text(owner, bytes, lineEnding);
        break;
    case TextEncoding::Windows1251:
        if (withText)
            document.text = singleByteText(owner, bytes, windows1251(), crLf);
        break;
    default: {
        const QByteArray converter = EncodingLabels::converterName(charset);
        if (const SingleByteCodec* codec =
                SingleByteCodec::forCharset(QString::fromLatin1(converter))) {
            if (!codec->holds(bytes))
                return std::nullopt;
            if (withText)
                document.text = singleByteText(owner, bytes, *codec, crLf);
            break;
        }
        std::optional<DecodedDocument> decoded = decodeWithConverter(converter.constData(), bytes);
        if (!decoded)
            return std::nullopt;
        decoded->format.encoding = TextEncoding::Other;
        decoded->format.otherCharset = charset;
        return decoded;
    }
    }
    document.format.lineEnding = lineEnding;
    return document;
}

// Where browsers look for a charset declaration: the first 1024 bytes, or the head if longer.
qsizetype declarationScanEnd(QStringView text)
{
    constexpr qsizetype prescanLength = 1024;
    const qsizetype headEnd = text.indexOf(u"</head", 0, Qt::CaseInsensitive);
    return std::min(text.size(), std::max(prescanLength, headEnd));
}

// The document of `bytes`; without its text when `withText` is false and the text is not needed
// to tell its format. The bytes are gone after when they were held by `bytes` alone.
DecodedDocument decodeBytes(QByteArray& bytes, bool withText)
{
    const QByteArrayView all(bytes);
    if (all.startsWith(utf8ByteOrderMark) && all.sliced(utf8ByteOrderMark.size()).isValidUtf8()) {
        DecodedDocument document;
        document.format.encoding = TextEncoding::Utf8;
        document.format.byteOrderMark = true;
        const QByteArrayView body = all.sliced(utf8ByteOrderMark.size());
        document.format.lineEnding = detectLineEnding(body);
        if (withText)
            document.text = utf8Text(bytes, body, document.format.lineEnding);
        return document;
    }
    for (const UnicodeForm& form : unicodeForms)
        if (all.startsWith(form.byteOrderMark))
            if (auto document =
                    decodeUnicodeForm(form, all.sliced(form.byteOrderMark.size()), true))
                return *std::move(document);

    // The declaration is ASCII in every charset a page can declare; reading the bytes as
    // Latin-1 finds it without knowing the charset yet.
    const QByteArrayView head = all.first(std::min<qsizetype>(all.size(), 64 * 1024));
    const QString declared = declaredCharset(QString::fromLatin1(head));
    if (!declared.isEmpty())
        if (auto document = decodeDeclared(declared, bytes, withText))
            return *std::move(document);

    if (const UnicodeForm* form = unmarkedUtf16(all))
        if (auto document = decodeUnicodeForm(*form, all, false))
            return *std::move(document);

    DecodedDocument document;
    document.format.lineEnding = detectLineEnding(all);
    if (!isAscii(all) && all.isValidUtf8()) {
        document.format.encoding = TextEncoding::Utf8;
        if (withText)
            document.text = utf8Text(bytes, all, document.format.lineEnding);
    } else if (withText) {
        document.text = singleByteText(bytes, all, windows1251(),
                                       document.format.lineEnding == LineEnding::CrLf);
    }
    return document;
}

} // namespace

TextFormat newDocumentFormat()
{
    return TextFormat{};
}

DecodedDocument decodeDocument(QByteArray bytes)
{
    DecodedDocument document = decodeBytes(bytes, true);
    document.format.declaredCharset = declaredCharset(document.text);
    return document;
}

TextFormat documentFormat(const QByteArray& bytes)
{
    QByteArray shared = bytes; // shared: the bytes stay as they are
    return decodeBytes(shared, false).format;
}

TextFormat formatForSaving(const QString& text, const TextFormat& format)
{
    TextFormat result = format;
    result.declaredCharset = declaredCharset(text);
    if (result.declaredCharset.isEmpty() || result.declaredCharset == format.declaredCharset)
        return result;
    if (result.declaredCharset != QString::fromLatin1(charsetName(format))) {
        const TextFormat declared = formatOfCharset(result.declaredCharset);
        result.encoding = declared.encoding;
        result.otherCharset = declared.otherCharset;
        result.byteOrderMark = false;
    }
    return result;
}

QByteArray charsetName(const TextFormat& format)
{
    switch (format.encoding) {
    case TextEncoding::Windows1251:
        return windows1251Name.toLatin1();
    case TextEncoding::Utf8:
        return utf8Name.toLatin1();
    case TextEncoding::Other:
        return format.otherCharset.toLatin1();
    default:
        return unicodeForm(format.encoding)->name;
    }
}

QByteArray encodeDocument(const QString& text, const TextFormat& format)
{
    const TextFormat target = formatForSaving(text, format);
    const bool crLf = target.lineEnding == LineEnding::CrLf;
    switch (target.encoding) {
    case TextEncoding::Utf8:
        return encodeUtf8(text, target.byteOrderMark, crLf);
    case TextEncoding::Windows1251:
        return windows1251().encode(text, crLf);
    case TextEncoding::Other:
        if (const SingleByteCodec* codec = SingleByteCodec::forCharset(
                QString::fromLatin1(EncodingLabels::converterName(target.otherCharset))))
            return codec->encode(text, crLf);
        break;
    default:
        break;
    }
    const QString lines =
        crLf ? QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")) : text;
    const QByteArray converter = target.encoding == TextEncoding::Other
                                     ? EncodingLabels::converterName(target.otherCharset)
                                     : charsetName(target);
    QByteArray out = encodeWithConverter(converter.constData(), lines);
    if (const UnicodeForm* form = unicodeForm(target.encoding); form && target.byteOrderMark)
        out.prepend(form->byteOrderMark);
    return out;
}

QString declaredCharset(const QString& text)
{
    const QStringView all = QStringView(text).first(declarationScanEnd(text));
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
