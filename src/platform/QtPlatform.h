#pragma once

#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/QtScreenCapture.h"
#include "platform/QtShell.h"

class QtPlatform : public Platform
{
public:
    Dialogs& dialogs() override { return dialogs_; }
    ScreenCapture& screen() override { return screen_; }
    Shell& shell() override { return shell_; }
    Browser* createBrowser(QWidget* parent) override;

private:
    QtDialogs dialogs_;
    QtScreenCapture screen_;
    QtShell shell_;
};
