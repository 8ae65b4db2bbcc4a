#pragma once

#include "platform/Platform.h"
#include "support/FakeBrowser.h"
#include "support/FakeDialogs.h"
#include "support/FakeScreenCapture.h"
#include "support/FakeShell.h"

#include <QList>
#include <QPointer>

// Fakes of every outside thing; browsers are FakeBrowser, in the order the windows create them.
class FakePlatform : public Platform
{
public:
    FakeDialogs fakeDialogs;
    FakeScreenCapture fakeScreen;
    FakeShell fakeShell;
    QList<QPointer<FakeBrowser>> browsers;

    Dialogs& dialogs() override { return fakeDialogs; }
    ScreenCapture& screen() override { return fakeScreen; }
    Shell& shell() override { return fakeShell; }
    Browser* createBrowser(QWidget* parent) override
    {
        auto* browser = new FakeBrowser(parent);
        browsers << browser;
        return browser;
    }
};
