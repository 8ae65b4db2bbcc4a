#pragma once

#include <QByteArray>
#include <QString>

// How a document's text is stored as bytes, and the conversions both ways.

enum class TextEncoding { Windows1251, Utf8 };
enum class LineEnding { CrLf, Lf };

struct TextFormat
{
    TextEncoding encoding = TextEncoding::Windows1251;
    bool byteOrderMark = false; // UTF-8 only
    LineEnding lineEnding = LineEnding::CrLf;
    // The charset that the text's <meta> declared when it was read ("utf-8", "windows-1251"),
    // lower case; empty when it declared none of the two.
    QString declaredCharset;

    bool operator==(const TextFormat&) const = default;
};

struct DecodedDocument
{
    QString text; // line breaks as '\n'; a final line end is a final '\n'
    TextFormat format;
};

// The format of a document that has never been saved: Windows-1251, CR LF.
TextFormat newDocumentFormat();

// Decodes a file's bytes: UTF-8 when it starts with a UTF-8 byte-order mark or is valid UTF-8
// holding non-ASCII bytes; a pure-ASCII file follows its own <meta> charset declaration;
// everything else is Windows-1251. Line ends are CR LF when the bytes hold any CR LF, else LF.
DecodedDocument decodeDocument(const QByteArray& bytes);

// Encodes text for writing. When the text now declares a charset (UTF-8 or Windows-1251) in a
// <meta> tag other than the one `format` remembers, that charset is used; otherwise the
// format's encoding. Characters that the encoding cannot hold become "&#NNNN;". Line breaks
// become the format's line ending.
QByteArray encodeDocument(const QString& text, const TextFormat& format);

// The charset that `text` declares in a <meta charset=...> or http-equiv Content-Type tag, lower
// case, normalised to "utf-8" or "windows-1251"; empty when it declares none of the two.
QString declaredCharset(const QString& text);
