// Find and replace through the main window: the commands that open the dialogs, the dialogs'
// buttons, the shared search position and the message when nothing is found.
#include "editor/FindDialog.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

const QString notFound = QStringLiteral("message Текст не найден!");

class SearchCommands : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        form->show();
        QApplication::setActiveWindow(form.get());
        form->HTML1Click();
        type("abc ABC abc");
        findDialog = form->findChild<FindDialog*>("FindDialog1");
        replaceDialog = form->findChild<FindDialog*>("ReplaceDialog1");
        ASSERT_NE(findDialog, nullptr);
        ASSERT_NE(replaceDialog, nullptr);
    }
    void press(FindDialog* dialog, const char* buttonName)
    {
        dialog->findChild<QPushButton*>(QLatin1String(buttonName))->click();
    }
    void select(int start, int length)
    {
        editor()->SetSelStart(start);
        editor()->SetSelLength(length);
    }
    std::pair<int, int> selection() const { return {editor()->SelStart(), editor()->SelLength()}; }

    FindDialog* findDialog = nullptr;
    FindDialog* replaceDialog = nullptr;
};

TEST_F(SearchCommands, BothDialogsSearchOnFromOnePositionWithTheirOwnTexts)
{
    // F3 reaches the menu item while the editor has the focus.
    select(1, 0);
    QTest::keyClick(editor(), Qt::Key_F3);
    ASSERT_TRUE(findDialog->isVisible());
    findDialog->SetFindText("abc");
    press(findDialog, "findNextButton");
    EXPECT_EQ(selection(), std::make_pair(4, 3));
    EXPECT_FALSE(editor()->HideSelection());

    // The replace dialog, opened from the new selection, goes on with its own find text.
    form->N39Click();
    ASSERT_TRUE(replaceDialog->isVisible());
    replaceDialog->SetFindText("C");
    press(replaceDialog, "findNextButton");
    EXPECT_EQ(selection(), std::make_pair(10, 1));

    // Back in the find dialog, "abc" has no match after 11: the message, selection kept.
    press(findDialog, "findNextButton");
    EXPECT_EQ(dialogs().log, QStringList{notFound});
    EXPECT_EQ(selection(), std::make_pair(10, 1));

    // The tool bar button anchors again at the selection's end, also with the dialog open.
    select(0, 0);
    form->SpeedButton8Click();
    press(findDialog, "findNextButton");
    EXPECT_EQ(selection(), std::make_pair(0, 3));
}

TEST_F(SearchCommands, ReplaceTheSelectionOrEveryMatchAsOneEdit)
{
    form->N39Click();
    replaceDialog->SetFindText("abc");
    replaceDialog->SetReplaceText("xy");

    // Nothing selected: nothing replaced.
    select(2, 0);
    press(replaceDialog, "replaceButton");
    EXPECT_EQ(editor()->Text(), "abc ABC abc");

    // Replace takes whatever is selected and selects what it inserted.
    select(4, 3);
    press(replaceDialog, "replaceButton");
    EXPECT_EQ(editor()->Text(), "abc xy abc");
    EXPECT_EQ(selection(), std::make_pair(4, 2));

    // Replace All: every match in the whole text, whatever the position, as one undoable edit.
    replaceDialog->SetReplaceText("ABCD");
    press(replaceDialog, "replaceAllButton");
    EXPECT_EQ(editor()->Text(), "ABCD xy ABCD");
    EXPECT_EQ(selection(), std::make_pair(12, 0));
    EXPECT_TRUE(dialogs().log.isEmpty());
    editor()->undo();
    EXPECT_EQ(editor()->Text(), "abc xy abc");

    replaceDialog->SetFindText("zzz");
    press(replaceDialog, "replaceAllButton");
    EXPECT_EQ(dialogs().log, QStringList{notFound});
    EXPECT_EQ(editor()->Text(), "abc xy abc");
}

} // namespace
