#include "document/DocumentFormat.h"
#include "document/EncodingLabels.h"
#include "document/SingleByteCodec.h"

#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include <optional>

namespace {

QByteArray bytesOf(const char* s, qsizetype n)
{
    return QByteArray(s, n);
}

// Every byte value once, with CR and LF only as CR LF pairs (or only LF) between runs.
QByteArray everyByte(const char* lineEnd)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b == '\r' || b == '\n')
            continue;
        bytes.append(char(b));
        if (b % 16 == 15)
            bytes.append(lineEnd);
    }
    return bytes;
}

QString utf16(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// `utf8` text in `charset` (no byte-order mark), with `prefix` bytes before it.
QByteArray encoded(const char* charset, const char* utf8, const QByteArray& prefix = {})
{
    QStringEncoder encoder(charset);
    return prefix + QByteArray(encoder.encode(QString::fromUtf8(utf8)));
}

const char page[] = "<html><head><title>Привет</title></head>\r\n<body>Ок\r\n</body></html>";
const char pageLf[] = "<p>Ёлка\nёж</p>\n";

struct RoundTripCase
{
    const char* name;
    QByteArray bytes;
    TextEncoding encoding;
    bool byteOrderMark;
    LineEnding lineEnding;
    std::optional<QString> text; // the decoded text, where the case is about it
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class DocumentFormatRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{};

TEST_P(DocumentFormatRoundTrip, DecodesToTheFormatAndEncodesBackToTheSameBytes)
{
    const RoundTripCase& c = GetParam();
    const DecodedDocument document = decodeDocument(c.bytes);
    EXPECT_EQ(document.format.encoding, c.encoding);
    EXPECT_EQ(document.format.byteOrderMark, c.byteOrderMark);
    EXPECT_EQ(document.format.lineEnding, c.lineEnding);
    if (c.text) {
        EXPECT_EQ(document.text, *c.text);
    }
    EXPECT_EQ(encodeDocument(document.text, document.format), c.bytes);
    // Telling the format alone, without the text, finds the same.
    TextFormat told = documentFormat(c.bytes);
    told.declaredCharset = document.format.declaredCharset;
    EXPECT_EQ(told, document.format);
}

const char cyrillic1251[] = "\xcf\xf0\xe8\xe2\xe5\xf2"; // "Привет"
const char cyrillicUtf8[] = "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82";
const char bom[] = "\xef\xbb\xbf";

INSTANTIATE_TEST_SUITE_P(
    Document, DocumentFormatRoundTrip,
    ::testing::Values(
        RoundTripCase{"EveryByteCrLf", everyByte("\r\n"), TextEncoding::Windows1251, false,
                      LineEnding::CrLf, std::nullopt},
        RoundTripCase{"EveryByteLf", everyByte("\n"), TextEncoding::Windows1251, false,
                      LineEnding::Lf, std::nullopt},
        RoundTripCase{"Windows1251CrLf", QByteArray(cyrillic1251) + "\r\n\r\nx\r\n",
                      TextEncoding::Windows1251, false, LineEnding::CrLf, utf16("Привет\n\nx\n")},
        RoundTripCase{"Windows1251NoFinalLineEnd", QByteArray(cyrillic1251) + "\r\nx",
                      TextEncoding::Windows1251, false, LineEnding::CrLf, utf16("Привет\nx")},
        RoundTripCase{"Utf8CrLf", QByteArray(cyrillicUtf8) + "\r\n", TextEncoding::Utf8, false,
                      LineEnding::CrLf, utf16("Привет\n")},
        RoundTripCase{"Utf8WithBomLf", QByteArray(bom) + cyrillicUtf8 + "\nx\n", TextEncoding::Utf8,
                      true, LineEnding::Lf, utf16("Привет\nx\n")},
        RoundTripCase{"Utf8BomOnly", QByteArray(bom), TextEncoding::Utf8, true, LineEnding::CrLf,
                      QString()},
        RoundTripCase{"Utf8SecondBomIsText", QByteArray(bom) + bom + "a", TextEncoding::Utf8, true,
                      LineEnding::CrLf, QString(QChar(0xFEFF)) + "a"},
        // Four-byte sequences, noncharacters and NUL are all plain text.
        RoundTripCase{"Utf8Astral", bytesOf("\xf0\x9f\x98\x80\x00\xef\xbf\xbf\n", 9),
                      TextEncoding::Utf8, false, LineEnding::Lf, std::nullopt},
        // A mark followed by bytes that are not UTF-8: no byte may be lost, so it is 1251 text.
        RoundTripCase{"BomBeforeInvalidUtf8", QByteArray(bom) + "\xcf\xf0\r\n",
                      TextEncoding::Windows1251, false, LineEnding::CrLf, std::nullopt},
        RoundTripCase{"Empty", QByteArray(), TextEncoding::Windows1251, false, LineEnding::CrLf,
                      QString()},
        RoundTripCase{"LoneCrInCrLfText", "a\rb\r\nc\r", TextEncoding::Windows1251, false,
                      LineEnding::CrLf, QStringLiteral("a\rb\nc\r")},
        RoundTripCase{"LoneCrInLfText", "a\rb\nc\r\r", TextEncoding::Windows1251, false,
                      LineEnding::Lf, QStringLiteral("a\rb\nc\r\r")},
        RoundTripCase{"CrBeforeCrLf", "a\r\r\nb", TextEncoding::Windows1251, false,
                      LineEnding::CrLf, QStringLiteral("a\r\nb")},
        RoundTripCase{"LoneCrInUtf8", QByteArray(cyrillicUtf8) + "\r\rx\n", TextEncoding::Utf8,
                      false, LineEnding::Lf, std::nullopt},
        RoundTripCase{"AsciiDeclaringUtf8", "<meta charset=\"utf-8\">\n", TextEncoding::Utf8, false,
                      LineEnding::Lf, std::nullopt},
        RoundTripCase{"Utf16LeWithBom", encoded("utf-16le", page, "\xff\xfe"),
                      TextEncoding::Utf16Le, true, LineEnding::CrLf, std::nullopt},
        RoundTripCase{"Utf16BeWithBom", encoded("utf-16be", pageLf, "\xfe\xff"),
                      TextEncoding::Utf16Be, true, LineEnding::Lf, utf16("<p>Ёлка\nёж</p>\n")},
        RoundTripCase{"Utf16LeWithoutBom", encoded("utf-16le", page), TextEncoding::Utf16Le, false,
                      LineEnding::CrLf, std::nullopt},
        RoundTripCase{"Utf16BeWithoutBom", encoded("utf-16be", pageLf), TextEncoding::Utf16Be,
                      false, LineEnding::Lf, utf16("<p>Ёлка\nёж</p>\n")},
        RoundTripCase{"Utf16LoneCrAndBom",
                      bytesOf("\xff\xfe"
                              "A\0\r\0\r\0\n\0\xff\xfe",
                              12),
                      TextEncoding::Utf16Le, true, LineEnding::CrLf,
                      QStringLiteral("A\r\n") + QChar(0xFEFF)},
        RoundTripCase{"Utf32LeWithBom", encoded("utf-32le", page, bytesOf("\xff\xfe\0\0", 4)),
                      TextEncoding::Utf32Le, true, LineEnding::CrLf, std::nullopt},
        RoundTripCase{"Utf32BeWithBom", encoded("utf-32be", pageLf, bytesOf("\0\0\xfe\xff", 4)),
                      TextEncoding::Utf32Be, true, LineEnding::Lf, std::nullopt},
        // An odd count of bytes after a UTF-16 mark is no UTF-16: every byte is kept as 1251.
        RoundTripCase{"Utf16BomOddLength",
                      bytesOf("\xff\xfe"
                              "A",
                              3),
                      TextEncoding::Windows1251, false, LineEnding::CrLf, utf16("яюA")},
        RoundTripCase{"DeclaredKoi8r",
                      encoded("koi8-r", "<meta charset=koi8-r>\r\nЁж, привет\rОк\r\n"),
                      TextEncoding::Other, false, LineEnding::CrLf,
                      utf16("<meta charset=koi8-r>\nЁж, привет\rОк\n")},
        RoundTripCase{"DeclaredCp866", encoded("ibm866", "<meta charset=\"cp866\">\nЖук ёж\n"),
                      TextEncoding::Other, false, LineEnding::Lf,
                      utf16("<meta charset=\"cp866\">\nЖук ёж\n")},
        RoundTripCase{"DeclaredIso88595",
                      encoded("iso-8859-5", "<meta http-equiv=\"Content-Type\" "
                                            "content=\"text/html; charset=ISO-8859-5\">\r\nЯ №1"),
                      TextEncoding::Other, false, LineEnding::CrLf, std::nullopt},
        RoundTripCase{"Declared1251ValidUtf8", QByteArray("<meta charset=windows-1251>\xc2\xa8"),
                      TextEncoding::Windows1251, false, LineEnding::CrLf,
                      utf16("<meta charset=windows-1251>ВЁ")},
        RoundTripCase{"DeclaredUtf8", encoded("utf-8", "<meta charset=utf-8>\r\nЁж"),
                      TextEncoding::Utf8, false, LineEnding::CrLf, std::nullopt},
        RoundTripCase{"DeclaredShiftJis", encoded("shift_jis", "<meta charset=shift_jis>日本\n"),
                      TextEncoding::Other, false, LineEnding::Lf,
                      utf16("<meta charset=shift_jis>日本\n")}),
    [](const ::testing::TestParamInfo<RoundTripCase>& row) { return row.param.name; });

TEST(DocumentFormatDecode, MapsWindows1251BytesToTheirCharacters)
{
    const QString text = decodeDocument(everyByte("\r\n")).text;
    // Runs of the code page where a wrong table would differ: 0x80..0x88, 0xC0..0xC3, 0xFC..0xFF.
    EXPECT_TRUE(text.contains(utf16("ЂЃ‚ѓ„…†‡€")));
    EXPECT_TRUE(text.contains(utf16("АБВГ")));
    EXPECT_TRUE(text.contains(utf16("ьэюя")));
    for (const char16_t c : {u'\u00a0', u'Ё', u'ё', u'№', u'Ґ', u'ї'})
        EXPECT_TRUE(text.contains(QChar(c))) << int(c);
    // 254 bytes plus 16 line breaks (CR and LF themselves are not among the bytes).
    EXPECT_EQ(text.size(), 254 + 16);
}

// A file that mixes CR LF with LF is kept as it came: every CR stays text and the LFs are written
// as they are, so an unchanged save gives the same bytes; UTF-8, a declared charset and UTF-16
// alike.
TEST(DocumentFormatDecode, MixedLineEndsAreKeptAsTheyCame)
{
    const QByteArray inputs[] = {
        "a\r\nb\nc",
        "\nfirst LF leads\r\n",
        "\xcf\xf0\r\n\xcf\n",
        "\xd0\x9f\r\n\xd0\x9f\n",
        "<meta charset=koi8-r>\r\n\xf0\n",
        QByteArray("\xff\xfe"
                   "a\0\r\0\n\0b\0\n\0",
                   12),
    };
    for (const QByteArray& bytes : inputs) {
        const DecodedDocument document = decodeDocument(bytes);
        EXPECT_EQ(document.format.lineEnding, LineEnding::Lf) << bytes.toHex().constData();
        EXPECT_TRUE(document.text.contains(u"\r\n")) << bytes.toHex().constData();
        EXPECT_EQ(encodeDocument(document.text, document.format), bytes)
            << bytes.toHex().constData();
    }
}

struct DetectionCase
{
    const char* name;
    QByteArray bytes;
    TextEncoding encoding;
    const char* declared;
};

void PrintTo(const DetectionCase& c, std::ostream* os)
{
    *os << c.name;
}

class DocumentFormatDetection : public ::testing::TestWithParam<DetectionCase>
{};

TEST_P(DocumentFormatDetection, ChoosesTheEncoding)
{
    const DecodedDocument document = decodeDocument(GetParam().bytes);
    EXPECT_EQ(document.format.encoding, GetParam().encoding);
    EXPECT_EQ(document.format.declaredCharset, QString::fromLatin1(GetParam().declared));
    EXPECT_EQ(documentFormat(GetParam().bytes).encoding, GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Document, DocumentFormatDetection,
    ::testing::Values(
        DetectionCase{"AsciiNoMeta", "<html></html>", TextEncoding::Windows1251, ""},
        DetectionCase{"AsciiMetaUtf8", "<head><META Charset=UTF-8></head>", TextEncoding::Utf8,
                      "utf-8"},
        DetectionCase{"AsciiHttpEquiv1251",
                      "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                      "charset=windows-1251\">",
                      TextEncoding::Windows1251, "windows-1251"},
        DetectionCase{"AsciiHttpEquivUtf8Alias",
                      "<meta content='text/html;charset=utf8' http-equiv='content-type'/>",
                      TextEncoding::Utf8, "utf-8"},
        DetectionCase{"AsciiMetaCp1251", "<meta charset = 'CP1251' />", TextEncoding::Windows1251,
                      "windows-1251"},
        DetectionCase{"AsciiOtherCharset", "<meta charset=koi8-r>", TextEncoding::Other, "koi8-r"},
        DetectionCase{"UnknownCharset", "<meta charset=klingon>", TextEncoding::Windows1251, ""},
        // Bytes that KOI8-R decodes but that are not UTF-8: the declaration wins over 1251.
        DetectionCase{"Koi8rOverGuess", QByteArray("<meta charset=KOI8-R>\xef\xcb"),
                      TextEncoding::Other, "koi8-r"},
        // A UTF-8 page that declares Shift_JIS, whose bytes are no valid Shift_JIS: the guess.
        DetectionCase{"InvalidInDeclared", QByteArray("<meta charset=shift_jis>") + cyrillicUtf8,
                      TextEncoding::Utf8, "shift_jis"},
        DetectionCase{"DeclarationAfterThePrescan",
                      QByteArray(1100, ' ') + "<meta charset=utf-8>" + cyrillic1251,
                      TextEncoding::Windows1251, ""},
        DetectionCase{"DeclarationInALongHead",
                      "<head>" + QByteArray(1100, ' ') + "<meta charset=koi8-r></head>",
                      TextEncoding::Other, "koi8-r"},
        DetectionCase{"MetaInCommentIgnored", "<!-- <meta charset=utf-8> --><p>",
                      TextEncoding::Windows1251, ""},
        DetectionCase{"FirstDeclarationCounts", "<meta charset=windows-1251><meta charset=utf-8>",
                      TextEncoding::Windows1251, "windows-1251"},
        DetectionCase{"NotACharsetAttribute", "<meta data-charset=utf-8>",
                      TextEncoding::Windows1251, ""},
        DetectionCase{"InvalidUtf8Is1251", "\xd0\x9f\xd1", TextEncoding::Windows1251, ""},
        // A declared charset in which the bytes are valid wins over the UTF-8 guess.
        DetectionCase{"Utf8Declaring1251", QByteArray("<meta charset=windows-1251>") + cyrillicUtf8,
                      TextEncoding::Windows1251, "windows-1251"},
        DetectionCase{"Windows1251DeclaringUtf8", QByteArray("<meta charset=utf-8>") + cyrillic1251,
                      TextEncoding::Windows1251, "utf-8"}),
    [](const ::testing::TestParamInfo<DetectionCase>& row) { return row.param.name; });

TEST(DocumentFormatEncode, NewDocumentIsWindows1251WithCrLf)
{
    const TextFormat format = newDocumentFormat();
    EXPECT_EQ(encodeDocument(utf16("Я\nя"), format), "\xdf\r\n\xff");
}

struct ReferenceCase
{
    const char* name;
    QString text;
    TextEncoding encoding;
    QByteArray bytes;
};

void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class DocumentFormatReferences : public ::testing::TestWithParam<ReferenceCase>
{};

TEST_P(DocumentFormatReferences, UnencodableCharactersBecomeNumericReferences)
{
    TextFormat format;
    format.encoding = GetParam().encoding;
    EXPECT_EQ(encodeDocument(GetParam().text, format), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Document, DocumentFormatReferences,
    ::testing::Values(
        ReferenceCase{"Cjk", utf16("я中文\n"), TextEncoding::Windows1251,
                      "\xff&#20013;&#25991;\r\n"},
        ReferenceCase{"EmojiIsOneReference", utf16("a😀b"), TextEncoding::Windows1251,
                      "a&#128512;b"},
        ReferenceCase{"LatinAccent", utf16("é"), TextEncoding::Windows1251, "&#233;"},
        ReferenceCase{"LoneSurrogateIn1251", QString(QChar(0xD800)), TextEncoding::Windows1251,
                      "&#55296;"},
        ReferenceCase{"LoneSurrogateInUtf8", QString(QChar(0xDC00)) + "a" + QChar(0xD83D),
                      TextEncoding::Utf8, "&#56320;a&#55357;"},
        ReferenceCase{"EmojiInUtf8", utf16("😀"), TextEncoding::Utf8, "\xf0\x9f\x98\x80"},
        ReferenceCase{"LoneSurrogateInUtf16", QString(QChar(0xD800)) + "a", TextEncoding::Utf16Le,
                      bytesOf("&\0#\0"
                              "5\0"
                              "5\0"
                              "2\0"
                              "9\0"
                              "6\0;\0a\0",
                              18)}),
    [](const ::testing::TestParamInfo<ReferenceCase>& row) { return row.param.name; });

TEST(DocumentFormatEncode, EditedMetaCharsetChoosesTheEncoding)
{
    const DecodedDocument read =
        decodeDocument(QByteArray("<meta charset=windows-1251>\r\n") + cyrillic1251);
    const QString edited = QString(read.text).replace("windows-1251", "utf-8");
    EXPECT_EQ(encodeDocument(edited, read.format),
              QByteArray("<meta charset=utf-8>\r\n") + cyrillicUtf8);

    const TextFormat saved = formatForSaving(edited, read.format);
    EXPECT_EQ(saved.encoding, TextEncoding::Utf8);
    EXPECT_EQ(saved.declaredCharset, "utf-8");
    EXPECT_EQ(saved.lineEnding, LineEnding::CrLf);
}

TEST(DocumentFormatEncode, AddedMetaCharsetChoosesTheEncoding)
{
    const DecodedDocument read = decodeDocument(QByteArray(cyrillic1251));
    EXPECT_EQ(encodeDocument("<meta charset=utf-8>" + read.text, read.format),
              QByteArray("<meta charset=utf-8>") + cyrillicUtf8);
}

TEST(DocumentFormatEncode, SwitchingAwayFromUtf8DropsTheByteOrderMark)
{
    const DecodedDocument read = decodeDocument(QByteArray(bom) + cyrillicUtf8);
    ASSERT_TRUE(read.format.byteOrderMark);
    EXPECT_EQ(encodeDocument("<meta charset=cp1251>" + read.text, read.format),
              QByteArray("<meta charset=cp1251>") + cyrillic1251);
    // The format kept after that save has no mark, so a later switch back to UTF-8 adds none.
    const TextFormat saved = formatForSaving("<meta charset=cp1251>" + read.text, read.format);
    EXPECT_FALSE(saved.byteOrderMark);
    EXPECT_EQ(encodeDocument("<meta charset=utf-8>" + read.text, saved),
              QByteArray("<meta charset=utf-8>") + cyrillicUtf8);
}

TEST(DocumentFormatEncode, DeclaredCharsetsAreWrittenWithReferencesForTheRest)
{
    const DecodedDocument read = decodeDocument(encoded("koi8-r", "<meta charset=koi8-r>ж"));
    ASSERT_EQ(read.format.encoding, TextEncoding::Other);
    EXPECT_EQ(encodeDocument(read.text + utf16("中Ё"), read.format),
              encoded("koi8-r", "<meta charset=koi8-r>ж&#20013;Ё"));
    // A multi-byte charset: the runs round the reference stay in it.
    const DecodedDocument sjis = decodeDocument(encoded("shift_jis", "<meta charset=shift_jis>"));
    EXPECT_EQ(encodeDocument(sjis.text + utf16("日ж\u0627本"), sjis.format),
              encoded("shift_jis", "<meta charset=shift_jis>日ж&#1575;本"));
}

TEST(DocumentFormatEncode, TypingIntoADeclared1251PageKeeps1251)
{
    // Bytes that happen to be valid UTF-8 ("ВЁ") in a page that declares windows-1251.
    const DecodedDocument read = decodeDocument("<meta charset=windows-1251>\xc2\xa8");
    EXPECT_EQ(encodeDocument(read.text + utf16("ж"), read.format),
              "<meta charset=windows-1251>\xc2\xa8\xe6");
}

TEST(DocumentFormatEncode, EditedDeclarationSwitchesToAnyKnownCharset)
{
    const DecodedDocument read = decodeDocument(QByteArray("<meta charset=utf-8>") + cyrillicUtf8);
    const QString edited = QString(read.text).replace("utf-8", "cp866");
    EXPECT_EQ(encodeDocument(edited, read.format), encoded("ibm866", "<meta charset=cp866>Привет"));
    const TextFormat saved = formatForSaving(edited, read.format);
    EXPECT_EQ(saved.encoding, TextEncoding::Other);
    EXPECT_EQ(charsetName(saved), "ibm866");
}

TEST(DocumentFormatEncode, UnchangedDeclarationKeepsTheFileEncoding)
{
    // A Windows-1251 file that wrongly declares UTF-8 is written back as it was read.
    const QByteArray bytes = QByteArray("<meta charset=utf-8>") + cyrillic1251;
    const DecodedDocument read = decodeDocument(bytes);
    EXPECT_EQ(encodeDocument(read.text, read.format), bytes);
    // Removing the declaration keeps the encoding too.
    EXPECT_EQ(encodeDocument(utf16("Привет"), read.format), QByteArray(cyrillic1251));
}

struct CharsetCase
{
    const char* text;
    const char* charset;
};

void PrintTo(const CharsetCase& c, std::ostream* os)
{
    *os << c.text;
}

class DocumentFormatDeclaredCharset : public ::testing::TestWithParam<CharsetCase>
{};

TEST_P(DocumentFormatDeclaredCharset, FindsTheMetaDeclaration)
{
    EXPECT_EQ(declaredCharset(QString::fromLatin1(GetParam().text)),
              QString::fromLatin1(GetParam().charset));
}

INSTANTIATE_TEST_SUITE_P(
    Document, DocumentFormatDeclaredCharset,
    ::testing::Values(CharsetCase{"<meta charset=\"x-cp1251\">", "windows-1251"},
                      CharsetCase{"<meta\ncharset=\" Windows-1251 \">", "windows-1251"},
                      CharsetCase{"<meta charset=unicode-1-1-utf-8>", "utf-8"},
                      CharsetCase{"<meta charset=\"utf-8\"/>", "utf-8"},
                      CharsetCase{"<meta content=\"text/html; charset='utf-8'\">", "utf-8"},
                      CharsetCase{"<meta charset=utf-16>", "utf-8"},
                      CharsetCase{"<meta charset=UTF-32LE>", ""},
                      CharsetCase{"<meta charset=cp866>", "ibm866"},
                      CharsetCase{"<meta charset=\"KOI8-R\">", "koi8-r"},
                      CharsetCase{"<meta charset=\"koi8 r\">", ""},
                      CharsetCase{"<metadata charset=utf-8>", ""},
                      CharsetCase{"<meta name=x><meta charset=utf-8>", "utf-8"},
                      CharsetCase{"<!--> <meta charset=utf-8>", "utf-8"},
                      CharsetCase{"<!-- unclosed <meta charset=utf-8>", ""},
                      CharsetCase{"<meta charset", ""}, CharsetCase{"<meta charset=", ""}),
    [](const ::testing::TestParamInfo<CharsetCase>& row) {
        // The texts are markup: the name says what is found, the number which text it was in.
        std::string found;
        for (const char* c = row.param.charset; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                found += *c;
        return (found.empty() ? std::string("Nothing") : found) + "In" + std::to_string(row.index);
    });

// Labels as browsers read them: the examples and the edges of reading a label, apart
// from the copied table (a wrong row there shows here).
TEST(DocumentFormatLabels, LabelsNameTheEncodingBrowsersRead)
{
    const struct
    {
        const char16_t* label;
        const char* encoding;
    } cases[] = {
        {u"iso-8859-1", "windows-1252"},
        {u"latin1", "windows-1252"},
        {u"ascii", "windows-1252"},
        {u"US-ASCII", "windows-1252"},
        {u" \t ISO-8859-1\n\f\r", "windows-1252"},
        {u"iso-8859-9", "windows-1254"},
        {u"tis-620", "windows-874"},
        {u"gb2312", "gbk"},
        {u"x-mac-ukrainian", "x-mac-cyrillic"},
        {u"cp866", "ibm866"},
        {u"sjis", "shift_jis"},
        {u"ks_c_5601-1987", "euc-kr"},
        {u"logical", "iso-8859-8-i"},
        {u"utf8", "utf-8"},
        {u"unicode", "utf-16le"},
        {u"iso-2022-kr", "replacement"},
        // Not labels: other white space, inner space, a near miss, a letter that lower-cases to
        // ASCII ("K", the Kelvin sign, in "koi8-r").
        {u"\u00a0latin1", ""},
        {u"iso 8859-1", ""},
        {u"iso-8859-1x", ""},
        {u"\u212aoi8-r", ""},
        {u"", ""},
    };
    for (const auto& c : cases) {
        const QString label = QString::fromUtf16(c.label);
        SCOPED_TRACE(label.toStdString());
        EXPECT_EQ(EncodingLabels::encodingOf(label), QString::fromLatin1(c.encoding));
    }
}

TEST(DocumentFormatLabels, TableHasEachEncodingOnceAndEachLabelOnce)
{
    QSet<QString> names;
    QSet<QString> labels;
    for (const EncodingLabels::Encoding& encoding : EncodingLabels::table()) {
        const QString name = QString::fromLatin1(encoding.name);
        EXPECT_FALSE(names.contains(name)) << encoding.name;
        names.insert(name);
        const QStringList own = QString::fromLatin1(encoding.labels).split(u' ');
        EXPECT_TRUE(own.contains(name)) << encoding.name << " is not among its own labels";
        for (const QString& label : own) {
            EXPECT_FALSE(labels.contains(label)) << label.toStdString();
            EXPECT_EQ(label, label.toLower()) << label.toStdString();
            EXPECT_FALSE(label.isEmpty()) << encoding.name;
            labels.insert(label);
        }
    }
    EXPECT_EQ(names.size(), 40); // the standard's encodings
}

// What the editor reads a page declaring `encoding` in, by the name the preview's Content-Type
// gives; empty where the declaration does not count and the bytes decide.
QString encodingReadFor(const QString& encoding)
{
    if (encoding == u"utf-16le" || encoding == u"utf-16be")
        return QStringLiteral("utf-8"); // a tag in ASCII cannot be UTF-16: browsers read UTF-8
    if (encoding == u"x-user-defined")
        return QStringLiteral("windows-1252");
    // No decoder to agree with: the standard's "replacement" reads every page as one U+FFFD,
    // and Qt's converters have no ISO-8859-16.
    if (encoding == u"replacement" || encoding == u"iso-8859-16")
        return {};
    return encoding;
}

// Characters of several scripts, each written in `converter` when it holds it.
struct Sample
{
    QString text;
    QByteArray bytes;
};

Sample sampleIn(const QByteArray& converter)
{
    Sample sample;
    for (const QChar c : QStringLiteral("é€“”ЖжΩαשغกğąş中あア한")) {
        QStringEncoder encoder(converter.constData(), QStringEncoder::Flag::Stateless);
        const QByteArray bytes = encoder.encode(QStringView(&c, 1));
        if (!encoder.hasError() && !bytes.contains('?'))
            sample.text += c;
    }
    // Written at once: a charset with states (ISO-2022-JP) switches once and back at the end.
    QStringEncoder encoder(converter.constData(), QStringEncoder::Flag::Stateless);
    sample.bytes = encoder.encode(sample.text);
    return sample;
}

// Every label of the standard, in a page: the editor reads the page in the encoding the preview's
// Content-Type names (the charset of the page's format), that encoding is the one browsers read
// the label as, its text is the characters written, and the page saves back byte for byte.
TEST(DocumentFormatLabels, EditorAndPreviewAgreeOnEveryLabel)
{
    int decoded = 0;
    for (const EncodingLabels::Encoding& encoding : EncodingLabels::table()) {
        const QString expected = encodingReadFor(QString::fromLatin1(encoding.name));
        for (const QString& label : QString::fromLatin1(encoding.labels).split(u' ')) {
            for (const QString& written : {label, QStringLiteral(" %1\t").arg(label.toUpper())}) {
                SCOPED_TRACE(written.toStdString());
                const QByteArray head = "<meta charset=\"" + written.toLatin1() + "\"><p>";
                const Sample sample = expected.isEmpty()
                                          ? Sample{QStringLiteral("Ж"), "\xc6"}
                                          : sampleIn(EncodingLabels::converterName(expected));
                const QByteArray bytes = head + sample.bytes;
                const DecodedDocument document = decodeDocument(bytes);

                const QByteArray contentTypeCharset = charsetName(documentFormat(bytes));
                EXPECT_EQ(charsetName(document.format), contentTypeCharset);
                EXPECT_EQ(document.format.declaredCharset, expected);
                EXPECT_EQ(encodeDocument(document.text, document.format), bytes);
                if (expected.isEmpty()) {
                    EXPECT_EQ(contentTypeCharset, "windows-1251"); // as if nothing were declared
                    continue;
                }
                EXPECT_EQ(QString::fromLatin1(contentTypeCharset), expected);
                ASSERT_TRUE(std::any_of(sample.text.begin(), sample.text.end(),
                                        [](QChar c) { return c.unicode() >= 0x80; }))
                    << "no sample character in " << expected.toStdString();
                EXPECT_EQ(document.text, QString::fromLatin1(head) + sample.text);
                ++decoded;
            }
        }
    }
    EXPECT_GT(decoded, 200);
}

// Every byte 80-FF of a page declaring iso-8859-1 as windows-1252 reads it: the quotes, the euro
// and the five bytes it leaves out (which browsers read as the C1 controls of the same number).
TEST(DocumentFormatLabels, Latin1PageReadsAndSavesAsWindows1252)
{
    QByteArray body;
    for (int b = 0x80; b <= 0xff; ++b)
        body += char(b);
    for (const char* lineEnd : {"\r\n", "\n"}) {
        SCOPED_TRACE(lineEnd[0] == '\r' ? "CR LF" : "LF");
        const QByteArray bytes = QByteArray("<meta charset=\"iso-8859-1\">") + lineEnd + "<p>" +
                                 body + "</p>" + lineEnd + "\x93quoted\x94 \x80" + lineEnd;
        const DecodedDocument document = decodeDocument(bytes);
        EXPECT_EQ(charsetName(document.format), "windows-1252");
        EXPECT_EQ(charsetName(documentFormat(bytes)), "windows-1252");
        EXPECT_TRUE(document.text.endsWith(utf16("\n“quoted” €\n"))) << document.text.toStdString();
        const QString bodyText = document.text.section(u'\n', 1, 1);
        EXPECT_EQ(bodyText.sliced(3, 0x20),
                  utf16("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008dŽ\u008f\u0090‘’“”•–—˜™š›œ\u009džŸ"));
        EXPECT_EQ(bodyText.sliced(3 + 0x20, 0x60), QString::fromLatin1(body.sliced(0x20)));
        EXPECT_EQ(encodeDocument(document.text, document.format), bytes);

        // Typed characters of windows-1252 are written as its bytes, others as references.
        const QString typed = document.text + utf16("„€™ Ж");
        EXPECT_EQ(encodeDocument(typed, document.format), bytes + "\x84\x80\x99 &#1046;");
    }
}

// A declaration typed into a new document, or changed in an open one, to a label of
// windows-1252 saves in windows-1252.
TEST(DocumentFormatLabels, DeclaringLatin1SavesWindows1252)
{
    const QString typed = utf16("<meta charset=latin1><p>“€”</p>");
    EXPECT_EQ(encodeDocument(typed, newDocumentFormat()),
              "<meta charset=latin1><p>\x93\x80\x94</p>");
    const DecodedDocument utf8Page = decodeDocument("<meta charset=utf-8><p>\xe2\x82\xac</p>");
    QString edited = utf8Page.text;
    edited.replace(QStringLiteral("utf-8"), QStringLiteral("ISO-8859-1"));
    EXPECT_EQ(encodeDocument(edited, utf8Page.format), "<meta charset=ISO-8859-1><p>\x80</p>");
    EXPECT_EQ(formatForSaving(edited, utf8Page.format).encoding, TextEncoding::Other);
}

// Each single-byte charset of the table is read through its own byte table, also those where
// ICU leaves some byte unmapped (an unmapped byte once counted every later byte as unmapped).
TEST(DocumentFormatLabels, SingleByteCharsetsHaveByteTables)
{
    for (const char* charset :
         {"windows-1252", "windows-1253", "windows-1255", "windows-1257", "windows-874",
          "iso-8859-3", "iso-8859-7", "koi8-u", "macintosh", "x-mac-cyrillic"}) {
        SCOPED_TRACE(charset);
        EXPECT_NE(SingleByteCodec::forCharset(QString::fromLatin1(charset)), nullptr);
    }
    // Greek alpha after windows-1253's unmapped D2 is still Greek.
    EXPECT_EQ(charsetName(decodeDocument("<meta charset=cp1253>\xe1\xd2").format), "windows-1251");
    const DecodedDocument alpha = decodeDocument("<meta charset=cp1253>\xe1\xe2");
    EXPECT_EQ(alpha.text, utf16("<meta charset=cp1253>αβ"));
}

} // namespace
