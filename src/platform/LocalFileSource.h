#pragma once

#include <QString>
#include <memory>

class QFile;

// Local files as the previews may read them: regular files only, and nothing of the system's own
// trees (/proc, /sys, /dev), however the path is spelled: `..`, doubled slashes and symbolic
// links are resolved first, and the file actually opened is checked once more. A pipe or a
// device would block the engine or never end; /proc holds the program's environment and memory.
class LocalFileSource
{
public:
    // Larger files are refused: the engine would take far more memory than the program.
    static constexpr qint64 maxBytes = qint64(512) * 1024 * 1024;

    // The file at the absolute `path`, open for reading; null when it may not be served.
    static std::unique_ptr<QFile> open(const QString& path);

    // Whether the resolved `path` lies in one of the system's trees that are never served.
    static bool isSystemPath(const QString& path);
};
