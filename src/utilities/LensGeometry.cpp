#include "utilities/LensGeometry.h"

namespace {

int clampedCentre(int p, int extent, int h)
{
    if (p < h)
        return h;
    if (p > extent - h)
        return extent - h;
    return p;
}

} // namespace

QRect LensSourceRect(int x, int y, int W, int H, int h)
{
    const int cx = clampedCentre(x, W, h);
    const int cy = clampedCentre(y, H, h);
    return QRect(cx - h, cy - h, 2 * h, 2 * h);
}
