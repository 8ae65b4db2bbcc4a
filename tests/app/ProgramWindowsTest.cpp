// Start-up: seven windows, the main one first and alone on screen.
#include "app/ProgramWindows.h"
#include "editor/MainWindow.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(ProgramWindows, SevenWindowsWithTheirCaptionsOnlyTheMainOneShown)
{
    FakePlatform platform;
    ProgramWindows windows(platform, QDir::currentPath());
    windows.mainWindow->show();

    const QList<QWidget*> all = {windows.mainWindow.get(),
                                 (QWidget*)windows.fullScreenPreview.get(),
                                 (QWidget*)windows.templateChooser.get(),
                                 (QWidget*)windows.templateBuilder.get(),
                                 (QWidget*)windows.colourHelper.get(),
                                 (QWidget*)windows.aboutBox.get(),
                                 (QWidget*)windows.screenLens.get()};
    const QStringList captions = {"Pagewright",
                                  "Pagewright",
                                  "При помощи шаблона",
                                  "Создание шаблона",
                                  "Цветной помощник",
                                  "О программе Pagewright",
                                  "Линза"};
    for (int i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->windowTitle(), captions[i]);
        EXPECT_EQ(all[i]->isVisible(), i == 0) << i;
        EXPECT_TRUE(all[i]->isWindow());
    }
    EXPECT_EQ(windows.mainWindow->CurrentFileName(), QString());
    EXPECT_EQ(windows.mainWindow->pos(), QPoint(-3, 0));
}

} // namespace
