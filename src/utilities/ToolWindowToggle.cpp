#include "utilities/ToolWindowToggle.h"

#include <QAction>
#include <QWidget>

void toggleToolWindow(QAction& item, QWidget& window)
{
    const bool wasChecked = !item.isChecked();
    if (wasChecked) {
        window.close();
        item.setChecked(false);
    } else {
        window.show();
        window.raise();
        item.setChecked(true);
    }
}
