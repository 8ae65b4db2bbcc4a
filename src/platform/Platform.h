#pragma once

class Browser;
class Dialogs;
class QWidget;
class ScreenCapture;
class Shell;

// The outside things the windows need, handed to them at construction. The program builds the
// real one (QtPlatform); tests build fakes.
class Platform
{
public:
    virtual ~Platform() = default;
    virtual Dialogs& dialogs() = 0;
    virtual ScreenCapture& screen() = 0;
    virtual Shell& shell() = 0;
    // A new browser widget owned by `parent`. Each preview has its own.
    virtual Browser* createBrowser(QWidget* parent) = 0;
};
