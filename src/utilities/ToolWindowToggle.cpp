#include "utilities/ToolWindowToggle.h"

#include <QAction>
#include <QWidget>

void showToolWindow(QWidget& window, bool shown)
{
    if (shown) {
        window.show();
        window.raise();
    } else {
        window.close();
    }
}

void toggleToolWindow(QAction& item, QWidget& window)
{
    const bool shown = item.isChecked();
    showToolWindow(window, shown);
    item.setChecked(shown);
}
