#include "playback/ParkingWindow.h"

#ifdef VESSA_HAVE_XCB
#include <cstdlib>
#include <xcb/xcb.h>
#endif

#include <mutex>

namespace {

#ifdef VESSA_HAVE_XCB
// xcb rather than Xlib: an error (a window that is already gone) comes back as an event to be
// read and dropped, where Xlib's default handler would end the process.
struct CParkingConnection
{
    std::mutex mutex;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;

    CParkingConnection()
    {
        int screenNumber = 0;
        xcb_connection_t* made = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(made) != 0) {
            xcb_disconnect(made);
            return;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(made));
        for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
            xcb_screen_next(&screens);
        }
        // Some size the sinks can compute with; the window is never mapped, so it is never seen.
        constexpr std::uint16_t kWidth = 320;
        constexpr std::uint16_t kHeight = 240;
        window = xcb_generate_id(made);
        xcb_create_window(made, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, kWidth,
                          kHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0,
                          nullptr);
        // The sinks use the window on connections of their own: it has to exist on the server.
        std::free(xcb_get_input_focus_reply(made, xcb_get_input_focus(made), nullptr));
        connection = made;
    }

    void DropEvents()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            std::free(event);
        }
    }
};

CParkingConnection& Parking()
{
    static CParkingConnection parking;
    return parking;
}
#endif

} // namespace

quintptr ParkingWindowHandle()
{
#ifdef VESSA_HAVE_XCB
    return Parking().window;
#else
    return 0;
#endif
}

void RepaintNativeWindow(quintptr window)
{
#ifdef VESSA_HAVE_XCB
    CParkingConnection& parking = Parking();
    if (parking.connection == nullptr || window == 0) {
        return;
    }
    std::lock_guard lock(parking.mutex);
    // Clearing nothing but asking for exposure: the owner gets an expose event for all of it.
    xcb_clear_area(parking.connection, 1, static_cast<xcb_window_t>(window), 0, 0, 0, 0);
    xcb_flush(parking.connection);
    parking.DropEvents();
#else
    Q_UNUSED(window);
#endif
}
