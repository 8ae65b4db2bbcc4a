#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>
#include <gtest/gtest.h>

// Reading and writing the files that tests set up and check.

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeFile(const QString& path, const QByteArray& bytes,
                      QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    ASSERT_TRUE(file.open(mode));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// As most editors and tools save: `bytes` written to `temporary`, renamed over `file`.
inline void replaceByRename(const QString& file, const QString& temporary, const QByteArray& bytes)
{
    writeFile(temporary, bytes);
    ASSERT_EQ(std::rename(QFile::encodeName(temporary), QFile::encodeName(file)), 0);
}
