#include "platform/ViewportAccessible.h"

#include <QAbstractScrollArea>

ViewportAccessible::ViewportAccessible(QWidget* viewport) : QAccessibleWidget(viewport) {}

bool ViewportAccessible::isViewport(const QWidget* widget)
{
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget->parentWidget());
    return area && area->viewport() == widget;
}

QAccessible::State ViewportAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.focused = false;
    return state;
}
