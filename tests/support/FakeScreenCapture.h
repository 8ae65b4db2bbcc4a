#pragma once

#include "platform/ScreenCapture.h"

// A screen made of an image: the pointer and the screen size are set by the test, grabs copy
// from `screenImage` and are counted.
class FakeScreenCapture : public ScreenCapture
{
public:
    QPoint pointer{0, 0};
    QSize size{1280, 1024};
    QImage screenImage;
    bool failGrabs = false;
    int grabCount = 0;
    QRect lastGrabRect;

    QPoint cursorPos() const override { return pointer; }
    QSize screenSize() const override { return size; }
    QImage grab(const QRect& rect) override
    {
        ++grabCount;
        lastGrabRect = rect;
        if (failGrabs || screenImage.isNull())
            return {};
        return screenImage.copy(rect);
    }
};
