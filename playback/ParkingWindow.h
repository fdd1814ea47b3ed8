#pragma once

#include <QtGlobal>

#include <functional>

// The X11 side of the video window, on a connection of the layer's own that is made on first use
// and stays open for the life of the process (closing it would destroy the windows made on it).
// With no display, there is nothing to do and nothing breaks.

bool HasX11Display();
bool XServerHasExtension(const char* name);
// The X video extension with an adaptor that takes images. A server may announce the extension
// with no such adaptor (Xvfb, many virtual machines): asking is one round trip, where a video
// sink finds out only by trying to start.
bool XServerOffersVideoAdaptor();

// A native window that is never shown. The layer's video windows wait under it while they have
// no owner or are hidden, so that nothing of theirs flashes up on the screen. 0 without display.
quintptr ParkingWindowHandle();

// The window a sink draws into: a black child window of the layer's own, created under the
// parking window. Moving this one window around (into the owner, to the rectangle, back to the
// parking window when hidden) lets the sink keep one window for its whole life, and the X server
// knows the window's size before the sink is told anything. The window takes no input: clicks
// and keys on the picture go to the owner. 0 without display.
//
// Whenever a part of it needs drawing again (uncovered, mapped, resized), the handler is called
// on the layer's X event thread, never while the caller holds a lock of the layer's.
quintptr CreateVideoWindow(std::function<void()> onExpose);
void DestroyVideoWindow(quintptr window);

// Puts the window into the parent at the rectangle, shown or not, and returns once the X server
// has done it. False when the parent is not (or no longer) a window on the server.
bool PlaceVideoWindow(quintptr window, quintptr parent, int x, int y, int width, int height,
                      bool mapped);

// Whether the window is on the screen now (mapped, and every ancestor too).
bool IsVideoWindowViewable(quintptr window);
