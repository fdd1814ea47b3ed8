#include "playback/VideoOverlay.h"

#include "playback/MediaFramework.h"
#include "playback/ParkingWindow.h"
#include "playback/SinkFactory.h"

#include <gst/video/videooverlay.h>

#include <algorithm>
#include <utility>

namespace {

// How far before its end an ended stream's last picture is made again.
constexpr gint64 kEndedMargin = 40 * GST_MSECOND;
// When a sink that scales by itself draws again after a resize (see SetRect).
constexpr guint kLateExposeMs = 150;

// The size the next video window will most likely be given.
std::mutex s_expectedMutex;
CVideoOverlay::Rect s_expected; // only its size counts

CVideoOverlay::Rect ExpectedRect()
{
    std::lock_guard lock(s_expectedMutex);
    return s_expected;
}

} // namespace

void SetExpectedVideoWindowSize(long width, long height)
{
    if (width <= 0 || height <= 0) {
        return;
    }
    std::lock_guard lock(s_expectedMutex);
    s_expected.width = width;
    s_expected.height = height;
}

CVideoOverlay::~CVideoOverlay()
{
    DestroyVideoWindow(m_window);
}

void CVideoOverlay::OnPrepareWindowHandle(GstElement* sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = RefObject(sink);
    // Before the window is known: a sink that selects input on it would take the owner's mouse.
    gst_video_overlay_handle_events(GST_VIDEO_OVERLAY(sink), FALSE);
    EnsureWindowLocked();
    if (m_window != 0) {
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(sink), m_window);
    }
    // A picture made for a parked window would be of the parked size, useless when the window is
    // placed; one made for the size it will most likely get shows at once.
    const Rect size = m_bHasRect ? m_rect : ExpectedRect();
    FollowWindowSize(sink, static_cast<int>(size.width), static_cast<int>(size.height));
}

void CVideoOverlay::SetOwner(quintptr owner)
{
    std::lock_guard lock(m_mutex);
    m_owner = owner;
    PlaceLocked();
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
    PlaceLocked();
}

bool CVideoOverlay::Visible() const
{
    std::lock_guard lock(m_mutex);
    return m_bVisible;
}

void CVideoOverlay::SetRect(const Rect& rect)
{
    GstElementHandle resized;
    GstElementHandle selfScaling;
    {
        std::lock_guard lock(m_mutex);
        m_rect = rect;
        m_bHasRect = true;
        SetExpectedVideoWindowSize(rect.width, rect.height);
        PlaceLocked();
        if (m_sink != nullptr && ScalesToItsWindow(m_sink.get()) && rect.width > 0 &&
            rect.height > 0) {
            selfScaling = RefObject(m_sink.get());
        }
        if (FollowWindowSize(m_sink.get(), static_cast<int>(rect.width),
                             static_cast<int>(rect.height))) {
            // Out of sight (a window not shown yet, about to play) the new picture waits until
            // the window is drawn.
            if (IsVideoWindowViewable(m_window)) {
                resized = RefObject(m_sink.get());
            } else {
                m_bResized = true;
            }
        }
    }
    // Outside the lock, as below: the sink takes its own locks. The GL sink draws into a child
    // window of its own inside ours, which follows our new size only when told (or at some later
    // redraw), so a paused picture would stay laid out for the old size.
    if (selfScaling != nullptr) {
        auto* overlay = GST_VIDEO_OVERLAY(selfScaling.get());
        gst_video_overlay_set_render_rectangle(overlay, 0, 0, static_cast<gint>(rect.width),
                                               static_cast<gint>(rect.height));
        gst_video_overlay_expose(overlay);
        // Its window takes the new size on the sink's own thread, possibly after that redraw:
        // a paused picture is made once more, and drawn when the sink is ready for it.
        RefreshPausedPicture(selfScaling.get());
        // The sink lays its window out anew on its own thread, after the X server tells it the
        // size; a redraw that came first used the old layout. One more redraw a little later
        // lands at the new size.
        g_timeout_add_full(
            G_PRIORITY_DEFAULT, kLateExposeMs,
            [](gpointer data) -> gboolean {
                gst_video_overlay_expose(GST_VIDEO_OVERLAY(data));
                return G_SOURCE_REMOVE;
            },
            selfScaling.release(), [](gpointer data) { gst_object_unref(data); });
    }
    // Outside the lock: the seek waits for the streaming thread, which may be asking us for the
    // window. The sink reads its window's new size when asked to draw again; a picture made for
    // the new size would otherwise be placed by the old one.
    if (resized != nullptr) {
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(resized.get()));
        RefreshPausedPicture(resized.get());
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
    DestroyVideoWindow(m_window);
    m_window = 0;
}

void CVideoOverlay::Expose()
{
    GstElementHandle sink;
    bool bResized = false;
    {
        std::lock_guard lock(m_mutex);
        sink = RefObject(m_sink.get());
        bResized = std::exchange(m_bResized, false);
    }
    // Outside the lock: the sink takes its own locks, and a seek waits for the streaming thread,
    // either of which may be asking us for the window.
    if (sink == nullptr) {
        return;
    }
    gst_video_overlay_expose(GST_VIDEO_OVERLAY(sink.get()));
    if (bResized) {
        RefreshPausedPicture(sink.get());
    }
}

void CVideoOverlay::RefreshPausedPicture(GstElement* sink)
{
    // The pipeline the sink is in.
    GstElementHandle top = RefObject(sink);
    while (GstObject* parent = gst_object_get_parent(GST_OBJECT(top.get()))) {
        top.reset(GST_ELEMENT(parent));
    }
    GstState current = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    gst_element_get_state(top.get(), &current, &pending, 0);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    gint64 position = 0;
    gint64 duration = 0;
    if (current == GST_STATE_PLAYING || pending == GST_STATE_PLAYING) {
        // Playing: the next picture comes at the new size anyway, unless the stream has ended
        // and no picture follows. Then the last one is made again, paused, a little before the
        // end (a seek to the very end has no picture left to show).
        if (!gst_element_query_position(top.get(), GST_FORMAT_TIME, &position) ||
            !gst_element_query_duration(top.get(), GST_FORMAT_TIME, &duration) || duration <= 0 ||
            position < duration) {
            return;
        }
        gst_element_set_state(top.get(), GST_STATE_PAUSED);
        gst_element_seek_simple(top.get(), GST_FORMAT_TIME, flags,
                                std::max<gint64>(0, duration - kEndedMargin));
        return;
    }
    // The same position again: the paused pipeline prerolls a picture of the new size. While a
    // preroll is still under way the position may be unknown; the seek then keeps whatever it is.
    if (gst_element_query_position(top.get(), GST_FORMAT_TIME, &position)) {
        gst_element_seek_simple(top.get(), GST_FORMAT_TIME, flags, position);
    } else {
        gst_element_seek(top.get(), 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_NONE, -1,
                         GST_SEEK_TYPE_NONE, -1);
    }
}

void CVideoOverlay::EnsureWindowLocked()
{
    if (m_window != 0) {
        return;
    }
    std::weak_ptr<CVideoOverlay> weak = weak_from_this();
    m_window = CreateVideoWindow([weak] {
        if (const auto overlay = weak.lock()) {
            overlay->Expose();
        }
    });
    PlaceLocked();
}

void CVideoOverlay::PlaceLocked()
{
    if (m_window == 0) {
        return; // made when the sink asks for it, and placed then
    }
    const bool bShown =
        m_bVisible && m_owner != 0 && m_bHasRect && m_rect.width > 0 && m_rect.height > 0;
    if (bShown && PlaceVideoWindow(m_window, m_owner, static_cast<int>(m_rect.left),
                                   static_cast<int>(m_rect.top), static_cast<int>(m_rect.width),
                                   static_cast<int>(m_rect.height), true)) {
        return;
    }
    // Hidden, or an owner that is not a window (any more): out of sight, keeping its size.
    const int width = m_bHasRect ? static_cast<int>(m_rect.width) : 1;
    const int height = m_bHasRect ? static_cast<int>(m_rect.height) : 1;
    PlaceVideoWindow(m_window, ParkingWindowHandle(), 0, 0, width, height, false);
}
