#pragma once

class QKeyEvent;

// Whether a key press is Alt (without Ctrl, so not AltGr as some systems report it) with a key
// that types a character. Such a press reaches a text control only when it was no access key of a
// menu or button, and on Linux desktops it types nothing: it is a missed command, not text.
bool isStrayAltKey(const QKeyEvent& event);
