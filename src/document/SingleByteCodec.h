#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

// A single-byte charset (Windows-1251, KOI8-R, IBM866, ISO-8859-5, ...) as a pair of tables
// built once from the system's converter (ICU). Both directions are one-to-one, so every byte
// sequence survives decoding and encoding unchanged; a byte the converter cannot map keeps its
// own code point (or a private-use one) and counts as foreign to the charset.
class SingleByteCodec
{
public:
    // The codec of `charset`, built on first use and kept; nullptr when Qt does not know the
    // charset or it is not a single-byte charset in which CR and LF are the ASCII bytes.
    static const SingleByteCodec* forCharset(const QString& charset);

    // Whether every byte of `bytes` is a character of the charset (no stand-in code points).
    bool holds(QByteArrayView bytes) const;
    // Decodes, turning every CR LF pair into '\n'; a lone CR stays a '\r'.
    QString decode(QByteArrayView bytes) const;
    // Encodes; '\n' becomes CR LF when `crLf`, a character the charset cannot hold "&#NNNN;".
    QByteArray encode(QStringView text, bool crLf) const;

private:
    explicit SingleByteCodec(const QString& charset);

    bool singleByte_ = false;
    std::array<char16_t, 256> toUnicode_{};
    std::array<bool, 256> mapped_{};
    std::vector<qint16> fromUnicode_ = std::vector<qint16>(0x10000, -1);
};
