#include "platform/QtScreenCapture.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

QPoint QtScreenCapture::cursorPos() const
{
    return QCursor::pos();
}

QSize QtScreenCapture::screenSize() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

QImage QtScreenCapture::grab(const QRect& rect)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    // Window 0 is the whole desktop on X11.
    return screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height()).toImage();
}
