#include "XScreenProbe.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdlib>

CXScreenProbe::CXScreenProbe() : m_pDisplay(XOpenDisplay(nullptr))
{
    if (m_pDisplay != nullptr) {
        XSelectInput(m_pDisplay, DefaultRootWindow(m_pDisplay), SubstructureNotifyMask);
        XSync(m_pDisplay, False);
    }
}

CXScreenProbe::~CXScreenProbe()
{
    if (m_pDisplay != nullptr) {
        XCloseDisplay(m_pDisplay);
    }
}

std::vector<quintptr> CXScreenProbe::TakeMappedTopLevels()
{
    std::vector<quintptr> mapped;
    XSync(m_pDisplay, False);
    while (XPending(m_pDisplay) > 0) {
        XEvent event;
        XNextEvent(m_pDisplay, &event);
        if (event.type == MapNotify) {
            mapped.push_back(static_cast<quintptr>(event.xmap.window));
        }
    }
    return mapped;
}

QColor CXScreenProbe::ColorAt(quintptr window, int x, int y)
{
    const Window root = DefaultRootWindow(m_pDisplay);
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(m_pDisplay, static_cast<Window>(window), root, x, y, &rootX, &rootY,
                          &child);
    // From the root: what is on the screen there, whichever window drew it.
    XImage* image = XGetImage(m_pDisplay, root, rootX, rootY, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return {};
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    const auto channel = [pixel](unsigned long mask) {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<int>((pixel >> shift) & 0xff);
    };
    const QColor color(channel(image->red_mask), channel(image->green_mask),
                       channel(image->blue_mask));
    XDestroyImage(image);
    return color;
}

bool IsNear(const QColor& actual, const QColor& expected, int tolerance)
{
    return actual.isValid() && std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}
