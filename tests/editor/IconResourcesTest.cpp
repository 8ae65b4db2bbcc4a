// The menu and tool bar pictures: every one is in the resources and draws at 16 x 16; the colour
// scheme swatches are squares of exactly their colour.
#include <QFile>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage render(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name))
        .pixmap(16, 16)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

TEST(IconResourcesTest, EveryPictureDrawsAt16By16)
{
    const char* const names[] = {"new",   "open", "save",    "undo", "cut",  "copy",
                                 "paste", "font", "refresh", "find", "back", "forward"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(QFile::exists(QStringLiteral(":/icons/%1.svg").arg(name)));
        const QImage image = render(QString::fromLatin1(name));
        ASSERT_EQ(image.size(), QSize(16, 16));
        int visible = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                visible += qAlpha(image.pixel(x, y)) >= 128;
        // A picture, not a blank or a full square.
        EXPECT_GT(visible, 20);
        EXPECT_LT(visible, 256);
    }
}

TEST(IconResourcesTest, SwatchesAreSolidSquaresOfTheirColour)
{
    const struct
    {
        const char* name;
        QRgb colour;
        int border; // pixels at the edge allowed another colour
    } swatches[] = {
        {"swatch-skyblue", qRgb(166, 202, 240), 0},
        {"swatch-black", qRgb(0, 0, 0), 0},
        // White alone would vanish on a white menu: a one-pixel grey edge.
        {"swatch-white", qRgb(255, 255, 255), 1},
    };
    for (const auto& swatch : swatches) {
        SCOPED_TRACE(swatch.name);
        const QImage image = render(QString::fromLatin1(swatch.name));
        ASSERT_EQ(image.size(), QSize(16, 16));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool edge = x < swatch.border || y < swatch.border ||
                                  x >= 16 - swatch.border || y >= 16 - swatch.border;
                if (edge)
                    EXPECT_LT(qGray(image.pixel(x, y)), 200) << x << "," << y;
                else
                    ASSERT_EQ(image.pixel(x, y), swatch.colour | 0xff000000u) << x << "," << y;
            }
    }
}

} // namespace
