// When the standard edit actions are enabled.
#include "editor/EditActionRules.h"

#include <gtest/gtest.h>

namespace {

TEST(EditActionRules, EachActionFollowsItsOwnConditionAndNeedsAFocusedTextControl)
{
    const struct
    {
        EditTarget target;
        EditActionsEnabled expected;
    } cases[] = {
        // Nothing in focus: all disabled, whatever the clipboard and the last control held.
        {{false, true, true, true, true}, {}},
        // An empty control with an empty clipboard.
        {{true, false, false, false, false}, {}},
        // Text without a selection: select all and undo, no cut or copy.
        {{true, true, false, true, false}, {true, false, false, false, true}},
        // A selection; text on the clipboard.
        {{true, false, true, true, true}, {false, true, true, true, true}},
        // Paste into an empty control.
        {{true, false, false, false, true}, {false, false, false, true, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(editActionsEnabled(c.target), c.expected)
            << c.target.focused << c.target.canUndo << c.target.hasSelection << c.target.hasText
            << c.target.clipboardHasText;
}

} // namespace
