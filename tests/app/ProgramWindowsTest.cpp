// Start-up: seven windows, the main one first and alone on screen.
#include "app/ProgramWindows.h"
#include "editor/Unit1.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(ProgramWindows, SevenWindowsWithTheirCaptionsOnlyTheMainOneShown)
{
    FakePlatform platform;
    ProgramWindows windows(platform, QDir::currentPath());
    windows.form1->show();

    const QList<QWidget*> all = {windows.form1.get(), (QWidget*)windows.form2.get(),
                                 (QWidget*)windows.form3.get(), (QWidget*)windows.form4.get(),
                                 (QWidget*)windows.form5.get(), (QWidget*)windows.aboutBox.get(),
                                 (QWidget*)windows.form7.get()};
    const QStringList captions = {"Pagewright",       "Pagewright",       "При помощи шаблона",
                                  "Создание шаблона", "Цветной помощник", "О программе Pagewright",
                                  "Линза"};
    for (int i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->windowTitle(), captions[i]);
        EXPECT_EQ(all[i]->isVisible(), i == 0) << i;
        EXPECT_TRUE(all[i]->isWindow());
    }
    EXPECT_EQ(windows.form1->CurrentFileName(), QString());
    EXPECT_EQ(windows.form1->pos(), QPoint(-3, 0));
}

} // namespace
