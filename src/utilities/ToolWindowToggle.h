#pragma once

class QAction;
class QWidget;

// Shows (and raises) or closes a tool window; closing it runs its own close handler, which
// reports the close to whoever keeps a check mark for it.
void showToolWindow(QWidget& window, bool shown);

// The main menu's show-or-close command of a tool window whose item carries a check mark telling
// whether the window is shown. Connect it to the item's `triggered` signal: by then Qt has already
// flipped the mark of a checkable item, so a mark that is now clear means the window was shown and
// is to be closed (its close handler clears the mark too); a mark now set means it is to be shown.
void toggleToolWindow(QAction& item, QWidget& window);
