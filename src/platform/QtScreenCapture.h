#pragma once

#include "platform/ScreenCapture.h"

// The real screen: the pointer, the primary screen's size, and grabs of the whole desktop.
class QtScreenCapture : public ScreenCapture
{
public:
    QPoint cursorPos() const override;
    QSize screenSize() const override;
    QImage grab(const QRect& rect) override;
};
