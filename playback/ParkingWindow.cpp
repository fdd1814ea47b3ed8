#include "playback/ParkingWindow.h"

#ifdef VESSA_HAVE_X11
#include <X11/Xlib.h>
#endif

#include <mutex>

namespace {

#ifdef VESSA_HAVE_X11
quintptr CreateParkingWindow()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return 0;
    }
    // Some size the sinks can compute with; the window is never mapped, so it is never seen.
    constexpr unsigned kWidth = 320;
    constexpr unsigned kHeight = 240;
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
    // The sinks use the window on connections of their own: it has to exist on the server first.
    XSync(display, False);
    return static_cast<quintptr>(window);
}
#endif

} // namespace

quintptr ParkingWindowHandle()
{
#ifdef VESSA_HAVE_X11
    static std::once_flag once;
    static quintptr handle = 0;
    std::call_once(once, [] { handle = CreateParkingWindow(); });
    return handle;
#else
    return 0;
#endif
}
