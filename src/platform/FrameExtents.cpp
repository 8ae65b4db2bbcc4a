#include "platform/FrameExtents.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <xcb/xcb.h>

std::optional<QMargins> declaredFrameExtents(const QWidget* window)
{
    // Only the xcb platform has the windows on an X server (the offscreen one may offer an X
    // connection of its own, without our windows on it).
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->internalWinId())
        return std::nullopt;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    static const char name[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
    if (!atom)
        return std::nullopt;
    const xcb_atom_t extentsAtom = atom->atom;
    std::free(atom);
    if (extentsAtom == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, xcb_window_t(window->internalWinId()), extentsAtom,
                         XCB_ATOM_CARDINAL, 0, 4),
        nullptr);
    std::optional<QMargins> extents;
    if (reply && reply->type == XCB_ATOM_CARDINAL && reply->format == 32 &&
        xcb_get_property_value_length(reply) == 16) {
        // left, right, top, bottom
        const auto* value = static_cast<const quint32*>(xcb_get_property_value(reply));
        extents = QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
    }
    std::free(reply);
    return extents;
}
