#pragma once

#include "app/ProgramWindows.h"
#include "support/MainWindowFixture.h"

#include <QDir>

// The whole program on fake platform parts, wired as at start-up: `form` is its main window
// (browser 0), the full-screen preview has browser 1, templates live in the "templates" folder of
// the temporary directory.
class ProgramFixture : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath("templates"));
        restart();
    }

    // A fresh program, as at start-up.
    void restart()
    {
        program.reset(); // the other windows go before the main window, as in the program
        form.reset();
        platform.browsers.clear();
        program = std::make_unique<ProgramWindows>(platform, templateDirectory());
        // The fixture's helpers work on `form`; `program` still goes first at the end.
        form.reset(program->mainWindow.release());
    }

    QString templateDirectory() const { return dir.filePath("templates"); }

    std::unique_ptr<ProgramWindows> program;
};
