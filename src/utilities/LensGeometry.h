#pragma once

#include <QRect>

// The square of screen the lens copies: side 2h round the pointer (x, y), pushed back inside the
// primary screen (W x H pixels) so that it never reaches past an edge. Near an edge the pointer
// then sits off-centre in the picture.
QRect LensSourceRect(int x, int y, int W, int H, int h);
