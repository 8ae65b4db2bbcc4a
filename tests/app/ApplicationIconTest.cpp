// The application icon is in the resources and draws as a picture at every size desktops ask for.
#include <QFile>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(ApplicationIcon, DrawsAtEveryInstalledSize)
{
    const QString name = QStringLiteral(":/app/pagewright.svg");
    ASSERT_TRUE(QFile::exists(name));
    const QIcon icon(name);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const QImage image =
            icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(image.pixel(x, y)) >= 128;
        // A tile with rounded corners: most of the square, not all of it.
        EXPECT_GT(opaque, size * size / 2);
        EXPECT_LT(opaque, size * size);
    }
}

} // namespace
