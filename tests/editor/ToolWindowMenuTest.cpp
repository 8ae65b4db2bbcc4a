// The Utilities menu's check marks tell whether the colour helper and the lens are shown, also
// after a window was closed by its own close button; the about window has no mark.
#include "support/ProgramFixture.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

namespace {

class ToolWindowMenu : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        form5 = program->colourHelper.get();
        aboutBox = program->aboutBox.get();
        form7 = program->screenLens.get();
    }

    TForm5* form5 = nullptr;
    TAboutBox* aboutBox = nullptr;
    TForm7* form7 = nullptr;
};

TEST_F(ToolWindowMenu, ItemShowsClosesAndFollowsTheWindowsOwnClose)
{
    const struct
    {
        const char* item;
        QWidget* window;
    } tools[] = {{"N31", form7}, {"N37", form5}};
    for (const auto& tool : tools) {
        SCOPED_TRACE(tool.item);
        QAction* item = action(tool.item);
        item->trigger();
        EXPECT_TRUE(tool.window->isVisible());
        EXPECT_TRUE(item->isChecked());
        item->trigger();
        EXPECT_FALSE(tool.window->isVisible());
        EXPECT_FALSE(item->isChecked());

        item->trigger();
        tool.window->close(); // its own close button
        EXPECT_FALSE(item->isChecked());
        item->trigger();
        EXPECT_TRUE(tool.window->isVisible());
        EXPECT_TRUE(item->isChecked());
        tool.window->close();
    }

    action("N36")->trigger();
    action("N36")->trigger();
    EXPECT_TRUE(aboutBox->isVisible());
    EXPECT_FALSE(action("N36")->isChecked());
}

} // namespace
