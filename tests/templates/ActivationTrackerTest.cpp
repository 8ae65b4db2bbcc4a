#include "templates/ActivationTracker.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char chooser = 'c', lens = 'l', messageBox = 'm';
const void* const other = nullptr; // another program

struct Step
{
    const void* focus;
    bool programWindow;
    bool takenOver;
};

} // namespace

TEST(ActivationTrackerTest, CountsOnlyFocusTakenOverFromAnotherWindowOfTheProgram)
{
    const struct
    {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"from the lens", {{&chooser, true, false}, {&lens, true, false}, {&chooser, true, true}}},
        {"back from another program",
         {{&chooser, true, false}, {other, false, false}, {&chooser, true, false}}},
        {"from the lens through another program",
         {{&lens, true, false}, {other, false, false}, {&chooser, true, true}}},
        {"back from a message box",
         {{&chooser, true, false}, {&messageBox, false, false}, {&chooser, true, false}}},
        {"first focus of the run", {{&chooser, true, false}}},
        {"focus staying", {{&lens, true, false}, {&chooser, true, true}, {&chooser, true, false}}},
        {"twice from the lens",
         {{&lens, true, false},
          {&chooser, true, true},
          {&lens, true, false},
          {&chooser, true, true}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ActivationTracker tracker;
        for (size_t i = 0; i < c.steps.size(); ++i)
            EXPECT_EQ(tracker.focusMovedTo(c.steps[i].focus, c.steps[i].focus == &chooser,
                                           c.steps[i].programWindow),
                      c.steps[i].takenOver)
                << "step " << i;
    }
}
