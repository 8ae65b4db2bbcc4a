#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

// The screen as the lens and the layout see it.
class ScreenCapture
{
public:
    virtual ~ScreenCapture() = default;
    virtual QPoint cursorPos() const = 0;
    // Size of the primary screen in pixels.
    virtual QSize screenSize() const = 0;
    // The pixels of a rectangle of the screen, in screen coordinates; a null image when the
    // capture fails.
    virtual QImage grab(const QRect& rect) = 0;
};
