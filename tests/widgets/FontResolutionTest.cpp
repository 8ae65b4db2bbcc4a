// Windows font names resolve to installed faces of the same kind and pixel size.
#include "widgets/FontResolution.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Every character as wide as every other, whatever the face's metadata says.
bool isMonospaced(const QFont& face)
{
    QFont font = face;
    font.setPixelSize(16);
    const QFontMetricsF metrics(font);
    const QString sample = QStringLiteral("iW.m|Жl");
    for (const QChar c : sample)
        if (metrics.horizontalAdvance(c) != metrics.horizontalAdvance(sample.front()))
            return false;
    return true;
}

TEST(FontResolutionTest, WindowsFacesBecomeInstalledFacesOfTheirKind)
{
    const struct
    {
        const char* name;
        int pixelSize;
        bool monospace;
    } cases[] = {
        {"MS Sans Serif", 11, false}, {"Fixedsys", 16, true}, {"fixedsys", 9, true},
        {"Courier New", 13, true},    {"Terminal", 12, true}, {"Microsoft Sans Serif", 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromLatin1(c.name);
        if (QFontDatabase::hasFamily(name))
            continue; // installed here: kept as named, see below
        const QFont font = resolveFont(name, c.pixelSize);
        EXPECT_TRUE(QFontDatabase::hasFamily(font.family())) << font.family().toStdString();
        EXPECT_EQ(isMonospaced(font), c.monospace) << font.family().toStdString();
        EXPECT_EQ(font.pixelSize(), c.pixelSize);
        EXPECT_EQ(QFontInfo(font).pixelSize(), c.pixelSize);
    }
}

TEST(FontResolutionTest, InstalledAndUnknownFacesAreKeptAsNamed)
{
    const QStringList installed = QFontDatabase::families();
    ASSERT_FALSE(installed.isEmpty());
    const QStringList names = {installed.constFirst(), installed.constLast(),
                               QStringLiteral("No Such Face 7f3a")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QFont font = resolveFont(name, 14);
        EXPECT_EQ(font.family(), name);
        EXPECT_EQ(font.pixelSize(), 14);
    }
}

} // namespace
