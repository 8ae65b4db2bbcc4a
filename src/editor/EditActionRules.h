#pragma once

// What the standard edit actions (undo, cut, copy, paste, select all) depend on: the text
// control that has the keyboard focus in the main window, if any, and the clipboard.
struct EditTarget
{
    bool focused = false; // a text control of the main window has the keyboard focus
    bool canUndo = false;
    bool hasSelection = false;
    bool hasText = false;
    bool clipboardHasText = false;
};

struct EditActionsEnabled
{
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool selectAll = false;

    bool operator==(const EditActionsEnabled&) const = default;
};

// The edit actions work on the focused text control only: without one, all are disabled.
EditActionsEnabled editActionsEnabled(const EditTarget& target);
