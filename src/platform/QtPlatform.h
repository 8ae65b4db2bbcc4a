#pragma once

#include "platform/EngineModule.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/QtScreenCapture.h"
#include "platform/QtShell.h"

class QtPlatform : public Platform
{
public:
    // The previews load the engine from `engineModule`'s candidates at their first page, and
    // serve local pages in the charset `pageCharset` names.
    QtPlatform(QStringList engineModule, EngineModule::PageCharset pageCharset)
        : engine_(std::move(engineModule), pageCharset)
    {}

    Dialogs& dialogs() override { return dialogs_; }
    ScreenCapture& screen() override { return screen_; }
    Shell& shell() override { return shell_; }
    Browser* createBrowser(QWidget* parent) override;

private:
    QtDialogs dialogs_;
    QtScreenCapture screen_;
    QtShell shell_;
    EngineModule engine_;
};
