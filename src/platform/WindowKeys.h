#pragma once

#include <functional>

class QAction;
class QMenuBar;
class QPushButton;
class QWidget;

// Keyboard paths that a plain window does not have by itself (a dialog box has the first two).
namespace WindowKeys {

// Escape anywhere in `window` runs `close`, as the window's cancel or close button would.
QAction* closeOnEscape(QWidget& window, std::function<void()> close);
// Enter that no control of `window` used presses the focused push button, else the shown and
// available default button.
void pressDefaultOnEnter(QWidget& window);
// The button that Enter presses in `window` with `focus` focused; null when none.
QPushButton* buttonForEnter(QWidget& window, QWidget* focus);
// F10 opens the first menu of `bar`, as in the desktops' own programs.
QAction* openMenuOnF10(QWidget& window, QMenuBar& bar);
// `widget` shows a focus frame around itself while it has the keyboard focus, for controls whose
// style draws none (scroll bars).
void showFocusMark(QWidget& widget);

} // namespace WindowKeys
