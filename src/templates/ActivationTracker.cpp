#include "templates/ActivationTracker.h"

bool ActivationTracker::focusMovedTo(const void* focus, bool trackedWindow, bool programWindow)
{
    // Focus going to another program changes nothing: coming back from there is judged by the
    // window of this program that had the focus last.
    if (!focus)
        return false;
    const bool takenOver =
        trackedWindow && lastFocus_ && lastFocus_ != focus && lastWasProgramWindow_;
    lastFocus_ = focus;
    lastWasProgramWindow_ = programWindow;
    return takenOver;
}
