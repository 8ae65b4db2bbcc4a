#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>

// Decodes a file's bytes piece by piece into one string. When the bytes are held by `owner` alone,
// the memory of each decoded piece goes back to the system at once (the owner's contents are
// then gone), so that a big file's bytes and its whole text are never held together: a 500 MB
// file needs its text and one piece, not its text and all its bytes.
namespace PiecewiseDecoding {

// How a piece may end: anywhere but inside a CR LF pair, and for UTF-8 also not inside a
// character's bytes.
enum class Cut { Bytes, Utf8 };

// One piece's text; each piece is decoded on its own.
using DecodePiece = std::function<QString(QByteArrayView piece)>;

constexpr qsizetype defaultPieceSize = 8 * 1024 * 1024;

// The text of `bytes` (which lie within `owner`), the pieces' texts one after another.
QString decode(QByteArray& owner, QByteArrayView bytes, Cut cut, const DecodePiece& decodePiece,
               qsizetype pieceSize = defaultPieceSize);

} // namespace PiecewiseDecoding
