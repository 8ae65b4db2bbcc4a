#pragma once

#include <QMargins>
#include <optional>

class QWidget;

// The extents of the frame that the window manager has put round a top-level window, as the
// window manager declares them (_NET_FRAME_EXTENTS on X11); none while it has not declared them,
// or on a platform without them. Qt learns them only with the next configure event from the
// window manager, which may never come when the window is already where the manager wants it;
// this asks the window manager directly.
std::optional<QMargins> declaredFrameExtents(const QWidget* window);
