#pragma once

#include <QtGlobal>

// The X11 side of the video window, on a connection of the layer's own that is made on first use
// and stays open for the life of the process (closing it would destroy the parking window). With
// no display, there is nothing to do and nothing breaks.

// A native window that is never shown. A video sink that prepares its output before the caller
// has named the window to draw into would otherwise open a top-level window of its own, which
// flashes up on the screen; the sink is given this window instead until the real one is known,
// and again whenever the picture is hidden. 0 when there is no display.
quintptr ParkingWindowHandle();

// Asks the window's owner to paint it again. A sink that drew straight into the window (rather
// than into a child of it) leaves its last picture there when it moves on.
void RepaintNativeWindow(quintptr window);
