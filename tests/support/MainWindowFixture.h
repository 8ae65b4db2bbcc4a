#pragma once

#include "support/TestFiles.h"

#include "editor/MainWindow.h"
#include "support/FakePlatform.h"
#include "text/SourceEditor.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A main window on fake platform parts, with a temporary directory for its files.
class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form = std::make_unique<TForm1>(platform);
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    SourceEditor* editor() const { return form->findChild<SourceEditor*>("RichEdit1"); }
    QAction* action(const char* name) const { return form->findChild<QAction*>(name); }
    QToolButton* button(const char* name) const { return form->findChild<QToolButton*>(name); }
    FakeDialogs& dialogs() { return platform.fakeDialogs; }
    FakeBrowser* preview() const { return platform.browsers.value(0); }

    // Types as a user does: key events into the editor.
    void type(const QString& text);
    // Opens `filePath` through the open command, answering the dialog.
    void openThroughDialog(const QString& filePath);

    QTemporaryDir dir;
    FakePlatform platform;
    std::unique_ptr<TForm1> form;
};
