#pragma once

#include <QObject>

class QScrollBar;

// Makes a horizontal scroll bar take keys as a native one does. Qt's scroll bars invert their
// key controls (Right and PageUp step backwards), and they move on Alt+arrow, which a native
// bar ignores. Left, Up and PageUp lower the value; Right, Down and PageDown raise it; Home
// and End go to the ends; with Alt or Ctrl held the movement keys do nothing.
class ScrollBarKeys : public QObject
{
    Q_OBJECT
public:
    // Installs the key handling on `bar`; it lives as long as the bar.
    static void install(QScrollBar& bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
