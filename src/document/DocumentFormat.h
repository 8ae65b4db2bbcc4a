#pragma once

#include <QByteArray>
#include <QString>

// How a document's text is stored as bytes, and the conversions both ways.
//
// decodeDocument and encodeDocument are inverses: encoding the decoded text of any file with the
// format it was read with gives back the file's bytes, unless the file mixes CR LF with lone LF
// line ends (those become CR LF).

// Other: a charset that the page declared and that Qt's converters (ICU) read, named by
// TextFormat::otherCharset.
enum class TextEncoding { Windows1251, Utf8, Utf16Le, Utf16Be, Utf32Le, Utf32Be, Other };
enum class LineEnding { CrLf, Lf };

struct TextFormat
{
    TextEncoding encoding = TextEncoding::Windows1251;
    bool byteOrderMark = false; // the Unicode encodings only
    LineEnding lineEnding = LineEnding::CrLf;
    // The charset that the text's <meta> declared when it was read, by the name browsers give it
    // in lower case ("utf-8", "windows-1251", "windows-1252" for "iso-8859-1", "ibm866"); empty
    // when it declared none that Qt reads.
    QString declaredCharset;
    // The charset of TextEncoding::Other, as declaredCharset names it; empty otherwise.
    QString otherCharset;

    bool operator==(const TextFormat&) const = default;
};

struct DecodedDocument
{
    // Line breaks as '\n'; a final line end is a final '\n'. A CR byte that is not followed by
    // LF stays in the text as a '\r' character (and is written back as a CR byte).
    QString text;
    TextFormat format;
};

// The format of a document that has never been saved: Windows-1251, CR LF.
TextFormat newDocumentFormat();

// Decodes a file's bytes, choosing the first that fits of:
// 1. a byte-order mark (UTF-8, UTF-16 LE/BE, UTF-32 LE/BE) followed by text valid in it (the
//    mark is not part of the text);
// 2. the charset the page declares in a <meta> (see declaredCharset), when the bytes are valid
//    in it;
// 3. UTF-16 without a mark, told by its NUL bytes: ASCII text in UTF-16 has a NUL byte in every
//    other place;
// 4. UTF-8, when the bytes are valid UTF-8 and hold non-ASCII bytes;
// 5. Windows-1251, which maps every byte to its own character.
// Every choice round-trips: a charset is taken only when encoding its text gives back the bytes.
// Line ends are LF when the text holds LF but never CR LF, else CR LF (also for a file without
// line ends).
// Pass the bytes with std::move where they are not needed after: they are then let go piece by
// piece as they are decoded, so that a big file's bytes and its text are not held at once.
DecodedDocument decodeDocument(QByteArray bytes);

// The format decodeDocument finds for `bytes`, all but declaredCharset, found without decoding
// the text where the charset is told without it (UTF-8, Windows-1251 and other single-byte
// charsets).
TextFormat documentFormat(const QByteArray& bytes);

// The format that encodeDocument writes `text` in: `format`, whose declaredCharset becomes the
// one the text declares now; when that is a charset other than the one `format` remembers, the
// encoding becomes that charset (with no byte-order mark when the encoding changes). Keep the
// result as the document's format after a successful save.
TextFormat formatForSaving(const QString& text, const TextFormat& format);

// The name of the charset the document's bytes are in, as browsers know it ("windows-1251",
// "utf-8", "utf-16le", "koi8-r"): what a browser should assume for a page that declares none.
QByteArray charsetName(const TextFormat& format);

// Encodes text for writing in formatForSaving(text, format). Characters that the encoding cannot
// hold (and unpaired surrogates) become "&#NNNN;" with the decimal code point. Each '\n' becomes
// the format's line ending; a '\r' becomes a CR byte.
QByteArray encodeDocument(const QString& text, const TextFormat& format);

// The charset that `text` declares in its first <meta> tag carrying one (<meta charset=...> or an
// http-equiv Content-Type with "charset=..."; tags inside comments do not count) that starts
// within the first 1024 characters or before "</head>", as browsers look for it. The label is
// read as browsers read it, by the WHATWG Encoding Standard's labels (EncodingLabels), and the
// charset named by the standard's name in lower case ("cp866" is "ibm866", "latin1" is
// "windows-1252"); a UTF-16 label declares "utf-8" and "x-user-defined" "windows-1252", as in
// browsers. Empty when there is no such tag, or it names no charset of the standard or one that
// Qt's converters cannot read.
QString declaredCharset(const QString& text);
