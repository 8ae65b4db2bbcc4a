// The Utilities menu's check marks tell whether the colour helper and the lens are shown, also
// after a window was closed by its own close button; the about window has no mark.
#include "support/MainWindowFixture.h"
#include "utilities/AboutBox.h"
#include "utilities/ColourHelper.h"
#include "utilities/ScreenLens.h"

namespace {

class ToolWindowMenu : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        form5 = std::make_unique<TForm5>(platform);
        aboutBox = std::make_unique<TAboutBox>(platform);
        form7 = std::make_unique<TForm7>(platform);
        form->setSecondaryWindows(
            {nullptr, nullptr, nullptr, form5.get(), aboutBox.get(), form7.get()});
    }
    void TearDown() override
    {
        form7.reset();
        aboutBox.reset();
        form5.reset();
    }

    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TAboutBox> aboutBox;
    std::unique_ptr<TForm7> form7;
};

TEST_F(ToolWindowMenu, ItemShowsClosesAndFollowsTheWindowsOwnClose)
{
    const struct
    {
        const char* item;
        QWidget* window;
    } tools[] = {{"N31", form7.get()}, {"N37", form5.get()}};
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
