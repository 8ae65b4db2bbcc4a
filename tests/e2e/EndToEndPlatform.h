#pragma once

#include "platform/Platform.h"
#include "platform/QtScreenCapture.h"
#include "platform/WebEngineBrowser.h"
#include "support/FakeDialogs.h"
#include "support/FakeShell.h"

#include <QColor>
#include <QImage>

// The real browser and screen with scripted dialogs, for tests on a real X display.
class EndToEndPlatform : public Platform
{
public:
    FakeDialogs fakeDialogs;
    QtScreenCapture realScreen;
    FakeShell fakeShell;

    Dialogs& dialogs() override { return fakeDialogs; }
    ScreenCapture& screen() override { return realScreen; }
    Shell& shell() override { return fakeShell; }
    Browser* createBrowser(QWidget* parent) override { return new WebEngineBrowser(parent); }
};

// Share of the pixels of `image` that are (nearly) `color`.
double shareOfColor(const QImage& image, const QColor& color);
// What `widget` shows on the screen now.
QImage screenPixels(const QWidget* widget);
