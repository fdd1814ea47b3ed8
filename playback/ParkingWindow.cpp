#include "playback/ParkingWindow.h"

#ifdef VESSA_HAVE_XCB
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>
#include <xcb/xcb.h>
#ifdef VESSA_HAVE_XCB_XV
#include <xcb/xv.h>
#endif
#endif

#include <mutex>

namespace {

#ifdef VESSA_HAVE_XCB
// xcb rather than Xlib: an error (a window that is already gone) comes back as an event to be
// read and dropped, where Xlib's default handler would end the process.
struct CVideoConnection
{
    std::mutex mutex; // guards the handlers and the start of the event thread
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t parking = 0;
    std::map<xcb_window_t, std::function<void()>> exposeHandlers;
    std::map<xcb_window_t, xcb_window_t> parents; // where each video window is now
    bool bEventThread = false;

    CVideoConnection()
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
        screen = screens.data;
        // Some size the sinks can compute with; the window is never mapped, so it is never seen.
        constexpr std::uint16_t kWidth = 320;
        constexpr std::uint16_t kHeight = 240;
        parking = xcb_generate_id(made);
        xcb_create_window(made, XCB_COPY_FROM_PARENT, parking, screen->root, 0, 0, kWidth, kHeight,
                          0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        connection = made;
        Sync();
    }

    // Returns once the server has handled every request sent so far: the sinks use the windows
    // on connections of their own.
    void Sync() const
    {
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    void StartEventThreadLocked()
    {
        if (bEventThread) {
            return;
        }
        bEventThread = true;
        // Lives as long as the connection, which is the process; it ends if the server goes.
        // What it touches is the never-destroyed connection object, so it cannot outlive it.
        std::thread([this] { ReadEvents(); }).detach();
    }

    void ReadEvents()
    {
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
            const bool bExpose = (event->response_type & 0x7f) == XCB_EXPOSE;
            const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
            // The last of a series: one redraw for all of it.
            const bool bLastOfSeries = bExpose && expose->count == 0;
            const xcb_window_t window = bExpose ? expose->window : 0;
            std::free(event); // errors (a window already gone) are dropped here too
            if (!bLastOfSeries) {
                continue;
            }
            std::function<void()> handler;
            {
                const std::lock_guard lock(mutex);
                const auto found = exposeHandlers.find(window);
                if (found != exposeHandlers.end()) {
                    handler = found->second;
                }
            }
            if (handler) {
                handler();
            }
        }
    }
};

// Made on first use and never destroyed: the event thread waits on the connection for the life
// of the process, and the sinks' threads may still draw when the statics go at exit. Nothing of
// it may vanish under them, so it outlives every static.
CVideoConnection& Video()
{
    static CVideoConnection& video = *new CVideoConnection;
    return video;
}
#endif

} // namespace

bool HasX11Display()
{
#ifdef VESSA_HAVE_XCB
    return Video().connection != nullptr;
#else
    return false;
#endif
}

bool XServerOffersVideoAdaptor()
{
#if defined(VESSA_HAVE_XCB) && defined(VESSA_HAVE_XCB_XV)
    CVideoConnection& video = Video();
    if (video.connection == nullptr) {
        return false;
    }
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(video.connection, &xcb_xv_id);
    if (extension == nullptr || extension->present == 0) {
        return false;
    }
    xcb_xv_query_adaptors_reply_t* reply = xcb_xv_query_adaptors_reply(
        video.connection, xcb_xv_query_adaptors(video.connection, video.screen->root), nullptr);
    if (reply == nullptr) {
        return false;
    }
    // A port that takes client images: what a video sink puts its pictures through.
    constexpr std::uint8_t kImageInput = XCB_XV_TYPE_INPUT_MASK | XCB_XV_TYPE_IMAGE_MASK;
    bool offered = false;
    for (auto it = xcb_xv_query_adaptors_info_iterator(reply); it.rem > 0 && !offered;
         xcb_xv_adaptor_info_next(&it)) {
        offered = (it.data->type & kImageInput) == kImageInput && it.data->num_ports > 0;
    }
    std::free(reply);
    return offered;
#else
    return XServerHasExtension("XVideo"); // the sink's own look decides
#endif
}

bool XServerHasExtension(const char* name)
{
#ifdef VESSA_HAVE_XCB
    CVideoConnection& video = Video();
    if (video.connection == nullptr) {
        return false;
    }
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        video.connection,
        xcb_query_extension(video.connection, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const bool present = reply != nullptr && reply->present != 0;
    std::free(reply);
    return present;
#else
    Q_UNUSED(name);
    return false;
#endif
}

quintptr ParkingWindowHandle()
{
#ifdef VESSA_HAVE_XCB
    return Video().parking;
#else
    return 0;
#endif
}

quintptr CreateVideoWindow(std::function<void()> onExpose)
{
#ifdef VESSA_HAVE_XCB
    CVideoConnection& video = Video();
    if (video.connection == nullptr) {
        return 0;
    }
    const xcb_window_t window = xcb_generate_id(video.connection);
    // Black where no picture is; exposures tell the layer when the sink has to draw again.
    const std::uint32_t values[] = {video.screen->black_pixel, XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(video.connection, XCB_COPY_FROM_PARENT, window, video.parking, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    {
        const std::lock_guard lock(video.mutex);
        video.exposeHandlers[window] = std::move(onExpose);
        video.parents[window] = video.parking;
        video.StartEventThreadLocked();
    }
    video.Sync();
    return window;
#else
    Q_UNUSED(onExpose);
    return 0;
#endif
}

void DestroyVideoWindow(quintptr window)
{
#ifdef VESSA_HAVE_XCB
    CVideoConnection& video = Video();
    if (video.connection == nullptr || window == 0) {
        return;
    }
    {
        const std::lock_guard lock(video.mutex);
        video.exposeHandlers.erase(static_cast<xcb_window_t>(window));
        video.parents.erase(static_cast<xcb_window_t>(window));
    }
    xcb_destroy_window(video.connection, static_cast<xcb_window_t>(window));
    xcb_flush(video.connection);
#else
    Q_UNUSED(window);
#endif
}

bool PlaceVideoWindow(quintptr window, quintptr parent, int x, int y, int width, int height,
                      bool mapped)
{
#ifdef VESSA_HAVE_XCB
    CVideoConnection& video = Video();
    if (video.connection == nullptr || window == 0 || parent == 0) {
        return false;
    }
    const auto id = static_cast<xcb_window_t>(window);
    const auto parentId = static_cast<xcb_window_t>(parent);
    bool bReparent = false;
    {
        const std::lock_guard lock(video.mutex);
        bReparent = video.parents[id] != parentId;
    }
    // Only on a change: a reparent unmaps and maps the window again, which would flicker.
    if (bReparent) {
        xcb_generic_error_t* error = xcb_request_check(
            video.connection, xcb_reparent_window_checked(video.connection, id, parentId,
                                                          static_cast<std::int16_t>(x),
                                                          static_cast<std::int16_t>(y)));
        if (error != nullptr) {
            std::free(error);
            return false;
        }
        const std::lock_guard lock(video.mutex);
        video.parents[id] = parentId;
    }
    const std::uint32_t geometry[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                      static_cast<std::uint32_t>(std::max(width, 1)),
                                      static_cast<std::uint32_t>(std::max(height, 1))};
    xcb_configure_window(video.connection, id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         geometry);
    if (mapped) {
        xcb_map_window(video.connection, id);
    } else {
        xcb_unmap_window(video.connection, id);
    }
    video.Sync();
    return true;
#else
    Q_UNUSED(window);
    Q_UNUSED(parent);
    Q_UNUSED(x);
    Q_UNUSED(y);
    Q_UNUSED(width);
    Q_UNUSED(height);
    Q_UNUSED(mapped);
    return false;
#endif
}

bool IsVideoWindowViewable(quintptr window)
{
#ifdef VESSA_HAVE_XCB
    CVideoConnection& video = Video();
    if (video.connection == nullptr || window == 0) {
        return false;
    }
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        video.connection,
        xcb_get_window_attributes(video.connection, static_cast<xcb_window_t>(window)), nullptr);
    const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable;
#else
    Q_UNUSED(window);
    return false;
#endif
}
