#pragma once

// Tells when one window of the program gets the input focus back from another window of the
// program. Focus that returns from another program does not count, nor focus that returns from
// a dialog box such as a message box: neither is a change of the program's active window.
class ActivationTracker
{
public:
    // The program's focus window is now `focus`, or nullptr when another program has the focus.
    // `trackedWindow` says whether `focus` is the tracked window; `programWindow` whether it is
    // one of the program's own windows rather than a dialog box. Returns true when the tracked
    // window has just taken the focus over from another of the program's windows.
    bool focusMovedTo(const void* focus, bool trackedWindow, bool programWindow);

private:
    const void* lastFocus_ = nullptr; // the last window of the program that had the focus
    bool lastWasProgramWindow_ = false;
};
