#include "widgets/WidgetLook.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QWidget>

QPixmap pictureFromSvg(const QString& resource, const QSize& size)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}

void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

void paintSilver(QWidget& box)
{
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    box.setPalette(palette);
}

void setPixelSize(QWidget& widget, int pixels)
{
    QFont font = widget.font();
    font.setPixelSize(pixels);
    widget.setFont(font);
}
