// The find and replace dialogs: their controls, the texts they keep, their signals.
#include "editor/FindDialog.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Mode = FindDialog::Mode;

QPushButton* buttonOf(FindDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

QLineEdit* editOf(FindDialog& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
}

TEST(FindDialogTest, OnlyTheReplaceDialogOffersAReplacement)
{
    QMainWindow window;
    FindDialog find(Mode::Find, &window);
    FindDialog replace(Mode::Replace, &window);
    EXPECT_EQ(find.windowTitle(), "Найти");
    EXPECT_EQ(editOf(find, "replaceEdit"), nullptr);
    EXPECT_EQ(buttonOf(find, "replaceButton"), nullptr);
    EXPECT_EQ(buttonOf(find, "replaceAllButton"), nullptr);
    EXPECT_EQ(replace.windowTitle(), "Заменить");
    EXPECT_NE(editOf(replace, "replaceEdit"), nullptr);
    // Modeless windows of their own that stay with the main window.
    for (FindDialog* dialog : {&find, &replace}) {
        EXPECT_FALSE(dialog->isModal());
        EXPECT_TRUE(dialog->isWindow());
        EXPECT_EQ(dialog->parentWidget(), &window);
    }
}

TEST(FindDialogTest, TextsHoldAtMost255Characters)
{
    FindDialog dialog(Mode::Replace);
    const QString longText(300, u'x');
    dialog.SetFindText(longText);
    dialog.SetReplaceText(longText);
    EXPECT_EQ(dialog.FindText().size(), 255);
    EXPECT_EQ(dialog.ReplaceText().size(), 255);

    // Typing stops at the limit too.
    dialog.SetFindText(QString(254, u'a'));
    QTest::keyClicks(editOf(dialog, "findEdit"), "bcd");
    EXPECT_EQ(dialog.FindText(), QString(254, u'a') + "b");
}

TEST(FindDialogTest, TextsSurviveClosingAndReopening)
{
    QMainWindow window;
    FindDialog dialog(Mode::Replace, &window);
    dialog.Execute();
    dialog.SetFindText("Тег");
    QTest::keyClicks(editOf(dialog, "replaceEdit"), "tag");
    buttonOf(dialog, "cancelButton")->click();
    ASSERT_FALSE(dialog.isVisible());

    dialog.Execute();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.FindText(), "Тег");
    EXPECT_EQ(dialog.ReplaceText(), "tag");
    // Reopened with the find text selected, so that typing replaces it.
    EXPECT_EQ(editOf(dialog, "findEdit")->selectedText(), "Тег");
    // Executing an open dialog only brings it to the front.
    dialog.Execute();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.FindText(), "Тег");

    // Esc closes too, and the texts stay.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.FindText(), "Тег");
}

TEST(FindDialogTest, ButtonsRaiseTheirSignals)
{
    FindDialog dialog(Mode::Replace);
    QSignalSpy findNext(&dialog, &FindDialog::findNext);
    QSignalSpy replace(&dialog, &FindDialog::replace);
    QSignalSpy replaceAll(&dialog, &FindDialog::replaceAll);
    dialog.Execute();
    dialog.SetFindText("a");

    buttonOf(dialog, "findNextButton")->click();
    EXPECT_EQ(findNext.count(), 1);
    buttonOf(dialog, "replaceButton")->click();
    EXPECT_EQ(replace.count(), 1);
    buttonOf(dialog, "replaceAllButton")->click();
    EXPECT_EQ(replaceAll.count(), 1);
    // Enter in the find text is find next; the dialog stays open for the next press.
    QTest::keyClick(editOf(dialog, "findEdit"), Qt::Key_Return);
    EXPECT_EQ(findNext.count(), 2);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(replace.count(), 1);
    EXPECT_EQ(replaceAll.count(), 1);
}

TEST(FindDialogTest, NothingCanBeSoughtForAnEmptyFindText)
{
    FindDialog dialog(Mode::Replace);
    QSignalSpy findNext(&dialog, &FindDialog::findNext);
    const char* const buttons[] = {"findNextButton", "replaceButton", "replaceAllButton"};
    for (const char* name : buttons)
        EXPECT_FALSE(buttonOf(dialog, name)->isEnabled()) << name;
    dialog.SetFindText("x");
    for (const char* name : buttons)
        EXPECT_TRUE(buttonOf(dialog, name)->isEnabled()) << name;
    dialog.SetFindText("");
    dialog.Execute();
    QTest::keyClick(editOf(dialog, "findEdit"), Qt::Key_Return);
    EXPECT_EQ(findNext.count(), 0);
}

} // namespace
