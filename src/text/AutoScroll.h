#pragma once

#include <QPoint>
#include <QRect>

// How far a view scrolls on each tick while a drag selection holds the pointer outside it.
namespace AutoScroll {

// The step for a pointer at `pointer` outside `visible`: x in pixels, y in lines. Each grows with
// the pointer's distance outside, so that the farther out the pointer, the faster the scrolling;
// just outside, one line or one `columnStep`.
QPoint step(const QRect& visible, QPoint pointer, int lineHeight, int columnStep);

} // namespace AutoScroll
