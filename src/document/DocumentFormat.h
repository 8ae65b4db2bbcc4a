#pragma once

#include <QByteArray>
#include <QString>

// How a document's text is stored as bytes, and the conversions both ways.
//
// decodeDocument and encodeDocument are inverses: encoding the decoded text of any file with the
// format it was read with gives back the file's bytes.

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
    // Line breaks as '\n'; a final line end is a final '\n'. A CR byte that is not followed by
    // LF stays in the text as a '\r' character (and is written back as a CR byte); so does every
    // CR of a file that mixes CR LF with lone LF (its format's line ending is then LF).
    QString text;
    TextFormat format;
};

// The format of a document that has never been saved: Windows-1251, CR LF.
TextFormat newDocumentFormat();

// Decodes a file's bytes: UTF-8 when it is valid UTF-8 holding non-ASCII bytes, or a UTF-8
// byte-order mark followed by valid UTF-8 (the mark is not part of the text); a pure-ASCII file
// follows its own <meta> charset declaration; everything else is Windows-1251, which maps every
// byte to its own character. Line ends are LF when the bytes hold an LF without a CR before it,
// else CR LF (also for a file without line ends).
DecodedDocument decodeDocument(const QByteArray& bytes);

// The format that encodeDocument writes `text` in: `format`, whose declaredCharset becomes the
// one the text declares now; when that is a charset (UTF-8 or Windows-1251) other than the one
// `format` remembers, the encoding becomes that charset (with no byte-order mark when the
// encoding changes). Keep the result as the document's format after a successful save.
TextFormat formatForSaving(const QString& text, const TextFormat& format);

// Encodes text for writing in formatForSaving(text, format). Characters that the encoding cannot
// hold (and unpaired surrogates) become "&#NNNN;" with the decimal code point. Each '\n' becomes
// the format's line ending; a '\r' becomes a CR byte.
QByteArray encodeDocument(const QString& text, const TextFormat& format);

// The charset that `text` declares in its first <meta> tag carrying one (<meta charset=...> or an
// http-equiv Content-Type with "charset=..."; tags inside comments do not count), normalised to
// "utf-8" or "windows-1251" from any of the labels browsers accept for them, case-insensitively;
// empty when there is no such tag or it names another charset.
QString declaredCharset(const QString& text);
