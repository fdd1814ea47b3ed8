#pragma once

#include "playback/GstHandle.h"

#include <QtGlobal>

#include <mutex>

// Where a graph's video sink draws: the owner's native window inside a rectangle, or, while there
// is no owner or the picture is hidden, the never-shown parking window. The owner's thread sets the
// wishes; the sink asks for its window from a streaming thread (prepare-window-handle) whenever it
// sets up its output, and gets the current answer there. A sink never handles input itself, so
// mouse and keys on the picture reach the owner window.
class CVideoOverlay
{
public:
    struct Rect
    {
        long left = 0;
        long top = 0;
        long width = 0;
        long height = 0;
    };

    // Streaming thread, from the bus sync handler: the sink needs its window now.
    void OnPrepareWindowHandle(GstElement* sink);

    // Owner's thread.
    void SetOwner(quintptr owner);
    quintptr Owner() const;
    void SetVisible(bool visible);
    bool Visible() const;
    void SetRect(const Rect& rect);
    Rect GetRect() const;
    // The pipeline is gone: forget its sink.
    void Reset();

private:
    quintptr TargetLocked() const;
    void ApplyLocked(bool expose);

    // Recursive: a sink may ask for its window from inside a call we make on it, on our thread.
    mutable std::recursive_mutex m_mutex;
    GstElementHandle m_sink;
    quintptr m_applied = 0;
    quintptr m_owner = 0;
    bool m_bVisible = true;
    bool m_bHasRect = false;
    Rect m_rect;
};
