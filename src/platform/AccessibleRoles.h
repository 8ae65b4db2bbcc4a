#pragma once

class QAction;
class QString;
class QWidget;

// How the program's windows present themselves to screen readers where Qt's defaults fall short:
// every top-level window is a window (a plain widget window would be a filler), pictures that
// carry nothing are left out, and menu items that show only a picture get a spoken name.
namespace AccessibleRoles {

// Installs the program's accessibility factory once; the functions below call it too.
void install();
// A top-level window of the program that is a plain widget or a dialog: exposed as a window.
void markWindow(QWidget& window);
// A picture that carries nothing: it is left out of its window's accessible children.
void markDecorative(QWidget& picture);
// The name a screen reader says for a menu item whose caption is empty.
void nameMenuItem(QAction& item, const QString& name);

} // namespace AccessibleRoles
