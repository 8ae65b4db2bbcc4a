#pragma once

#include <QByteArray>

// "&#NNNN;" with the decimal code point: how a character that a charset cannot hold is written.
QByteArray characterReference(char32_t codePoint);
