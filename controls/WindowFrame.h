#pragma once

#include <QMargins>

class QWidget;

// The frame a window manager draws around a top-level window, as the window manager itself
// reports it (_NET_FRAME_EXTENTS): windows are placed and docked by their outer rectangles, frame
// included, and Qt learns a frame only some time after the window is shown.
namespace WindowFrame {

// The frame's widths around the window's client area as the window manager last reported them;
// null when it reported none (no window manager, a window not managed yet). Off X11: the frame
// the platform gives the native window.
QMargins Extents(QWidget* window);

// Asks the window manager which frame it will draw around the window before the window is
// shown, and waits a moment for its answer; null when it has no answer (or no window manager
// runs). Creates the native window.
QMargins RequestExtents(QWidget* window);

// A window manager that follows the desktop conventions (_NET_SUPPORTING_WM_CHECK) manages the
// screens: it then also owns the full-screen state. False off X11 and without a window manager.
bool WindowManagerRuns();

} // namespace WindowFrame
