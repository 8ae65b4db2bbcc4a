#pragma once

#include <QLabel>

// A label that opens an address: a click on it, or Enter or Space while it has the keyboard focus
// (Tab reaches it), emits activated(). Screen readers see it as a link with a press action.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

public slots:
    void activate();

signals:
    void activated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
