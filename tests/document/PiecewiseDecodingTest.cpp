#include "document/PiecewiseDecoding.h"
#include "document/DocumentFormat.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

namespace {

using PiecewiseDecoding::Cut;

QString wholeUtf8(QByteArrayView bytes)
{
    return QStringDecoder(QStringDecoder::Utf8).decode(bytes);
}

// Records where the pieces fell, and decodes each as UTF-8 with CR LF pairs made LF.
struct RecordingDecoder
{
    QList<QByteArray> pieces;
    QString operator()(QByteArrayView piece)
    {
        pieces << piece.toByteArray();
        return wholeUtf8(piece).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
};

} // namespace

// Pieces never split a CR LF pair or a UTF-8 character, whatever the piece size, so the text is
// the text of the whole.
TEST(PiecewiseDecoding, PiecesKeepPairsAndCharactersWhole)
{
    const QByteArray bytes = QStringLiteral("a\r\nб\r\r\nв😀г\r\nд€\n\r").toUtf8();
    const QString expected = wholeUtf8(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (qsizetype pieceSize = 1; pieceSize <= bytes.size() + 1; ++pieceSize) {
        SCOPED_TRACE(pieceSize);
        QByteArray owner = bytes;
        RecordingDecoder recorder;
        const QString text = PiecewiseDecoding::decode(
            owner, owner, Cut::Utf8, [&](QByteArrayView piece) { return recorder(piece); },
            pieceSize);
        EXPECT_EQ(text, expected);
        EXPECT_EQ(recorder.pieces.join(), bytes);
        for (const QByteArray& piece : recorder.pieces) {
            EXPECT_TRUE(piece.isValidUtf8()) << piece.toHex().toStdString();
        }
        for (qsizetype i = 0; i + 1 < recorder.pieces.size(); ++i) {
            EXPECT_FALSE(recorder.pieces[i].endsWith('\r') &&
                         recorder.pieces[i + 1].startsWith('\n'))
                << recorder.pieces[i].toHex().toStdString();
        }
    }
}

// Bytes held by the caller alone are given back as they are decoded; shared bytes stay intact.
TEST(PiecewiseDecoding, GivesBackTheBytesOnlyWhenTheyAreNotShared)
{
    const qsizetype size = 4 * 1024 * 1024;
    const QByteArray pattern(size, 'x');
    for (const bool shared : {false, true}) {
        SCOPED_TRACE(shared);
        QByteArray owner(size, 'x'); // an allocation of its own
        const QByteArray other = shared ? owner : QByteArray();
        const QString text = PiecewiseDecoding::decode(
            owner, owner, Cut::Bytes,
            [](QByteArrayView piece) { return QString::fromLatin1(piece); }, 64 * 1024);
        EXPECT_EQ(text.size(), size);
        EXPECT_EQ(text.count(u'x'), size);
        if (shared) {
            EXPECT_EQ(owner, pattern);
            EXPECT_EQ(other, pattern);
        } else {
            // The middle of the bytes went back to the system and reads as zeros now.
            EXPECT_EQ(owner.mid(size / 2, 4096), QByteArray(4096, '\0'));
        }
    }
}

// Through the document decoder: a big file's text is the same, read in pieces, as the text of
// its bytes decoded at once, in UTF-8 and in Windows-1251.
TEST(PiecewiseDecoding, ABigDocumentDecodesToTheSameTextInPieces)
{
    QByteArray utf8;
    QByteArray cp1251;
    while (utf8.size() < 3 * PiecewiseDecoding::defaultPieceSize) {
        utf8 += "<p>Строка текста с символами ёЁ € 😀</p>\r\n";
        cp1251 += "<p>\xd1\xf2\xf0\xee\xea\xe0</p>\r\n";
    }
    const QString utf8Text = wholeUtf8(utf8).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QByteArray utf8Bytes = utf8;
    utf8Bytes.detach();
    const DecodedDocument fromUtf8 = decodeDocument(std::move(utf8Bytes));
    EXPECT_EQ(fromUtf8.format.encoding, TextEncoding::Utf8);
    EXPECT_EQ(fromUtf8.text, utf8Text);

    QByteArray cpBytes = cp1251;
    cpBytes.detach();
    const DecodedDocument fromCp1251 = decodeDocument(std::move(cpBytes));
    EXPECT_EQ(fromCp1251.format.encoding, TextEncoding::Windows1251);
    EXPECT_EQ(encodeDocument(fromCp1251.text, fromCp1251.format), cp1251);
}
