#pragma once

#include <QFont>
#include <QString>

// The program's fonts are named as the Windows desktop names them ("MS Sans Serif", "Fixedsys").
// A face that is not installed here but is one of those well-known Windows faces becomes the
// installed face of the same kind (sans-serif, serif or monospace); any other face is kept as
// named and left to Qt's own fallback. The result always has the given pixel size.
QFont resolveFont(const QString& family, int pixelSize);

// The installed face that fontconfig picks for a generic kind of font.
QString installedSansSerifFamily();
QString installedSerifFamily();
QString installedMonospaceFamily();
