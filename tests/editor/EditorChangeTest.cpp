// The modified mark follows the first edit after every command that clears it.
#include "support/MainWindowFixture.h"

namespace {

class EditorChange : public MainWindowFixture
{
};

TEST_F(EditorChange, FirstEditAfterNewOpenOrSaveMarksTheDocument)
{
    writeFile(path("doc.html"), "<p></p>");
    const std::function<void()> commands[] = {
        [&] { form->HTML1Click(); },
        [&] { openThroughDialog(path("doc.html")); },
        [&] { form->N7Click(); },
    };
    for (const auto& command : commands) {
        dialogs().questionAnswers = {Dialogs::Answer::No};
        dialogs().saveAnswers = {{path("saved"), 1}};
        command();
        EXPECT_EQ(form->statusPanelText(0), QString());
        EXPECT_FALSE(editor()->Modified());
        type("a");
        EXPECT_EQ(form->statusPanelText(0), QStringLiteral("Изменён"));
        EXPECT_TRUE(editor()->Modified());
    }
}

TEST_F(EditorChange, DocumentControlsStayEnabledForTheRestOfTheRun)
{
    EXPECT_FALSE(editor()->isEnabled());
    EXPECT_FALSE(action("N30")->isEnabled());
    form->HTML1Click();
    writeFile(path("doc.html"), "x");
    openThroughDialog(path("doc.html"));
    openThroughDialog(path("gone.html")); // fails
    EXPECT_TRUE(editor()->isEnabled());
    EXPECT_TRUE(action("N30")->isEnabled());
    EXPECT_TRUE(action("N39")->isEnabled());
    EXPECT_TRUE(button("SpeedButton8")->isEnabled());
}

TEST_F(EditorChange, OpenNavigatesThePreviewAndNewLeavesIt)
{
    writeFile(path("doc.html"), "x");
    openThroughDialog(path("doc.html"));
    EXPECT_EQ(preview()->calls, QStringList{"navigate " + path("doc.html")});
    form->HTML1Click();
    type("y");
    dialogs().saveAnswers = {{path("new"), 1}};
    form->N7Click();
    EXPECT_EQ(preview()->calls, QStringList{"navigate " + path("doc.html")});
}

} // namespace
