#include "editor/EditActionRules.h"

EditActionsEnabled editActionsEnabled(const EditTarget& target)
{
    if (!target.focused)
        return {};
    return {.undo = target.canUndo,
            .cut = target.hasSelection,
            .copy = target.hasSelection,
            .paste = target.clipboardHasText,
            .selectAll = target.hasText};
}
