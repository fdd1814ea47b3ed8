#pragma once

#include "playback/GstHandle.h"

#include <QtGlobal>

#include <memory>
#include <mutex>

// Where a graph's video sink draws: a window of the layer's own (see CreateVideoWindow), placed
// inside the owner's native window at the rectangle while the picture is shown, and waiting under
// the never-shown parking window while there is no owner or the picture is hidden. The sink gets
// that one window when it first asks for one (prepare-window-handle, on a streaming thread) and
// keeps it. The owner's thread sets the wishes. Whenever the window is uncovered, the sink draws
// its last picture again, also while paused. A sink never handles input itself, so mouse and keys
// on the picture reach the owner window.
class CVideoOverlay : public std::enable_shared_from_this<CVideoOverlay>
{
public:
    struct Rect
    {
        long left = 0;
        long top = 0;
        long width = 0;
        long height = 0;
    };

    CVideoOverlay() = default;
    ~CVideoOverlay();
    CVideoOverlay(const CVideoOverlay&) = delete;
    CVideoOverlay& operator=(const CVideoOverlay&) = delete;

    // Streaming thread, from the bus sync handler: the sink needs its window now.
    void OnPrepareWindowHandle(GstElement* sink);

    // Owner's thread.
    void SetOwner(quintptr owner);
    quintptr Owner() const;
    void SetVisible(bool visible);
    bool Visible() const;
    void SetRect(const Rect& rect);
    Rect GetRect() const;
    // The pipeline is gone: forget its sink and the window it drew into.
    void Reset();

    // Any thread: the sink draws its last picture again.
    void Expose();

private:
    static void RefreshPausedPicture(GstElement* sink);
    void EnsureWindowLocked();
    void PlaceLocked();

    // Recursive: a sink may ask for its window from inside a call we make on it, on our thread.
    mutable std::recursive_mutex m_mutex;
    GstElementHandle m_sink;
    quintptr m_window = 0;
    quintptr m_owner = 0;
    bool m_bVisible = true;
    bool m_bHasRect = false;
    bool m_bResized = false; // a new size waits for the window to be drawn
    Rect m_rect;
};
