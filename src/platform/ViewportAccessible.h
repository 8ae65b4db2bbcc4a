#pragma once

#include <QAccessibleWidget>

// The viewport a scroll area draws its content in (the text of a text field, say). It has the
// keyboard focus whenever its scroll area has it, yet a screen reader must find the focus only
// on the scroll area, the control the user works with: the viewport never reports it.
class ViewportAccessible : public QAccessibleWidget
{
public:
    explicit ViewportAccessible(QWidget* viewport);

    // Whether `widget` is the viewport of a scroll area.
    static bool isViewport(const QWidget* widget);

    QAccessible::State state() const override;
};
