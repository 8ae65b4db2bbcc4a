#include "text/AutoScroll.h"

#include <algorithm>

namespace AutoScroll {

QPoint step(const QRect& visible, QPoint pointer, int lineHeight, int columnStep)
{
    lineHeight = std::max(1, lineHeight);
    columnStep = std::max(1, columnStep);
    QPoint step;
    if (pointer.y() < visible.top())
        step.setY(-1 - (visible.top() - pointer.y()) / lineHeight);
    else if (pointer.y() > visible.bottom())
        step.setY(1 + (pointer.y() - visible.bottom()) / lineHeight);
    if (pointer.x() < visible.left())
        step.setX(-columnStep - (visible.left() - pointer.x()));
    else if (pointer.x() > visible.right())
        step.setX(columnStep + (pointer.x() - visible.right()));
    return step;
}

} // namespace AutoScroll
