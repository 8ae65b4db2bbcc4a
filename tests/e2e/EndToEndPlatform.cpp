#include "e2e/EndToEndPlatform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

double shareOfColor(const QImage& image, const QColor& color)
{
    if (image.isNull())
        return 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    qint64 matching = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            if (std::abs(qRed(line[x]) - color.red()) <= 2 &&
                std::abs(qGreen(line[x]) - color.green()) <= 2 &&
                std::abs(qBlue(line[x]) - color.blue()) <= 2)
                ++matching;
    }
    return double(matching) / (qint64(rgb.width()) * rgb.height());
}

QImage screenPixels(const QWidget* widget)
{
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, topLeft.x(), topLeft.y(), widget->width(), widget->height())
        .toImage();
}
