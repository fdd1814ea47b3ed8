#include "controls/WindowFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef VESSA_HAVE_XCB
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <xcb/xcb.h>
#endif

namespace WindowFrame {

namespace {

// Off X11: the frame the platform itself gives the native window (none before it exists).
QMargins PlatformFrameMargins(const QWidget* window)
{
    const QWindow* handle = window->windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

#ifdef VESSA_HAVE_XCB
struct FreeReply
{
    void operator()(void* reply) const { std::free(reply); }
};
template <class Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* Connection()
{
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window)
{
    const ReplyPtr<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// The four cardinals left, right, top, bottom of the window's _NET_FRAME_EXTENTS, or null. The
// window manager counts the X server's pixels; a scaled (HiDPI) desktop has more of them than Qt's
// own, in which the windows are placed.
QMargins ReadExtents(xcb_connection_t* connection, const QWidget* widget)
{
    const auto window = static_cast<xcb_window_t>(widget->winId());
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    // Anything beyond a screen's size is not a frame.
    for (int i = 0; i < 4; ++i) {
        if (values[i] > 4096) {
            return {};
        }
    }
    const qreal scale = widget->devicePixelRatioF();
    const auto logical = [scale](std::uint32_t value) { return qRound(value / scale); };
    return {logical(values[0]), logical(values[2]), logical(values[1]), logical(values[3])};
}

// The window manager lists the request among what it supports; without it nobody would answer.
bool SupportsRequest(xcb_connection_t* connection, xcb_window_t root)
{
    const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == request) {
            return true;
        }
    }
    return false;
}
#endif

} // namespace

QMargins Extents(QWidget* window)
{
#ifdef VESSA_HAVE_XCB
    if (xcb_connection_t* connection = Connection()) {
        if (!window->testAttribute(Qt::WA_WState_Created)) {
            return {};
        }
        return ReadExtents(connection, window);
    }
#endif
    return PlatformFrameMargins(window);
}

QMargins RequestExtents(QWidget* window)
{
#ifdef VESSA_HAVE_XCB
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        window->winId();
        return PlatformFrameMargins(window);
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_window_t root = RootOf(connection, id);
    if (root == XCB_WINDOW_NONE || !SupportsRequest(connection, root)) {
        return ReadExtents(connection, window);
    }
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(connection);
    // The answer is a property the window manager sets on the window; it usually comes within a
    // round trip or two. A window manager that does not answer costs at most this bound.
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 300ms;
    do {
        const QMargins margins = ReadExtents(connection, window);
        if (!margins.isNull()) {
            return margins;
        }
        std::this_thread::sleep_for(2ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
#else
    window->winId();
    return PlatformFrameMargins(window);
#endif
}

bool WindowManagerRuns()
{
#ifdef VESSA_HAVE_XCB
    xcb_connection_t* connection = Connection();
    if (connection == nullptr) {
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return false;
    }
    const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, screen->root, Atom(connection, "_NET_SUPPORTING_WM_CHECK"),
                         XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4) {
        return false;
    }
    // A window manager that went away leaves the property behind, naming a window that is gone.
    const auto check = *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    return RootOf(connection, check) != XCB_WINDOW_NONE;
#else
    return false;
#endif
}

} // namespace WindowFrame
