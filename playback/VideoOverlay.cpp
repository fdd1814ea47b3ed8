#include "playback/VideoOverlay.h"

#include "playback/ParkingWindow.h"

#include <gst/video/videooverlay.h>

void CVideoOverlay::OnPrepareWindowHandle(GstElement* sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = RefObject(sink);
    m_applied = 0;
    // Before the window is known: a sink that selects input on it would take the owner's mouse.
    gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink), FALSE);
    // No expose here: the sink is still setting up and has nothing to show yet.
    ApplyLocked(false);
}

void CVideoOverlay::SetOwner(quintptr owner)
{
    std::lock_guard lock(m_mutex);
    m_owner = owner;
    ApplyLocked(true);
}

quintptr CVideoOverlay::Owner() const
{
    std::lock_guard lock(m_mutex);
    return m_owner;
}

void CVideoOverlay::SetVisible(bool visible)
{
    std::lock_guard lock(m_mutex);
    m_bVisible = visible;
    ApplyLocked(true);
}

bool CVideoOverlay::Visible() const
{
    std::lock_guard lock(m_mutex);
    return m_bVisible;
}

void CVideoOverlay::SetRect(const Rect& rect)
{
    std::lock_guard lock(m_mutex);
    m_rect = rect;
    m_bHasRect = true;
    if (m_sink != nullptr && m_applied == m_owner && m_owner != 0) {
        auto* overlay = GST_VIDEO_OVERLAY(m_sink.get());
        gst_video_overlay_set_render_rectangle(
            overlay, static_cast<gint>(rect.left), static_cast<gint>(rect.top),
            static_cast<gint>(rect.width), static_cast<gint>(rect.height));
        gst_video_overlay_expose(overlay);
    }
}

CVideoOverlay::Rect CVideoOverlay::GetRect() const
{
    std::lock_guard lock(m_mutex);
    return m_rect;
}

void CVideoOverlay::Reset()
{
    std::lock_guard lock(m_mutex);
    m_sink.reset();
    m_applied = 0;
}

quintptr CVideoOverlay::TargetLocked() const
{
    return (m_bVisible && m_owner != 0) ? m_owner : ParkingWindowHandle();
}

void CVideoOverlay::ApplyLocked(bool expose)
{
    if (m_sink == nullptr) {
        return; // the sink asks when it gets there, and is answered then
    }
    const quintptr target = TargetLocked();
    if (target == 0 || target == m_applied) {
        return;
    }
    auto* overlay = GST_VIDEO_OVERLAY(m_sink.get());
    gst_video_overlay_set_window_handle(overlay, target);
    if (m_applied != 0 && m_applied != ParkingWindowHandle()) {
        RepaintNativeWindow(m_applied); // the picture left it
    }
    m_applied = target;
    if (target == m_owner && m_bHasRect) {
        gst_video_overlay_set_render_rectangle(
            overlay, static_cast<gint>(m_rect.left), static_cast<gint>(m_rect.top),
            static_cast<gint>(m_rect.width), static_cast<gint>(m_rect.height));
    }
    if (expose) {
        // A paused picture is not drawn again by itself in its new window.
        gst_video_overlay_expose(overlay);
    }
}
