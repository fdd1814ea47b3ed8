#include "playback/BusWatch.h"

#include "playback/MediaFramework.h"

#include <gst/pbutils/missing-plugins.h>
#include <gst/video/videooverlay.h>

namespace {

HRESULT ResultOfError(const GError* error)
{
    if (error->domain == GST_RESOURCE_ERROR && error->code == GST_RESOURCE_ERROR_NOT_FOUND) {
        return VFW_E_NOT_FOUND;
    }
    if (error->domain == GST_STREAM_ERROR || error->domain == GST_CORE_ERROR) {
        // Unknown type, no codec, undecodable or undemuxable data, a missing plugin.
        return VFW_E_UNSUPPORTED_STREAM;
    }
    return E_FAIL;
}

} // namespace

CBusWatch::CBusWatch(GstElement* pipeline, std::shared_ptr<CGraphEvents> events,
                     std::shared_ptr<CVideoOverlay> overlay)
    : m_bus(gst_element_get_bus(pipeline)), m_pPipeline(pipeline), m_events(std::move(events)),
      m_overlay(std::move(overlay))
{}

std::shared_ptr<CBusWatch> CBusWatch::Install(GstElement* pipeline,
                                              std::shared_ptr<CGraphEvents> events,
                                              std::shared_ptr<CVideoOverlay> overlay)
{
    auto watch = std::make_shared<CBusWatch>(pipeline, std::move(events), std::move(overlay));
    // The handler's own reference: released by the bus when the handler is removed.
    auto* keepAlive = new std::shared_ptr<CBusWatch>(watch);
    gst_bus_set_sync_handler(
        watch->m_bus.get(), &CBusWatch::OnSyncMessage, keepAlive,
        [](gpointer data) { delete static_cast<std::shared_ptr<CBusWatch>*>(data); });
    return watch;
}

void CBusWatch::Uninstall()
{
    gst_bus_set_sync_handler(m_bus.get(), nullptr, nullptr, nullptr);
    gst_bus_set_flushing(m_bus.get(), TRUE);
}

CBusWatch::Preroll CBusWatch::WaitForPreroll(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait_until(lock, deadline,
                         [this] { return m_preroll.bDone || Failed(m_preroll.error); });
    return m_preroll;
}

CBusWatch::Preroll CBusWatch::PrerollState() const
{
    std::lock_guard lock(m_mutex);
    return m_preroll;
}

void CBusWatch::UseTaskPool(GstObject* pool)
{
    std::lock_guard lock(m_mutex);
    m_taskPool = RefObject(pool);
}

void CBusWatch::Abort()
{
    std::lock_guard lock(m_mutex);
    if (Succeeded(m_preroll.error)) {
        m_preroll.error = E_ABORT;
    }
    m_changed.notify_all();
}

HRESULT CBusWatch::Arm()
{
    std::lock_guard lock(m_mutex);
    m_bArmed = true;
    return m_preroll.error;
}

void CBusWatch::BeginSeek(gint64 positionNs)
{
    std::lock_guard lock(m_mutex);
    m_pendingSeek = positionNs;
}

void CBusWatch::EndSeek()
{
    std::lock_guard lock(m_mutex);
    m_pendingSeek.reset();
}

std::optional<gint64> CBusWatch::PendingSeek() const
{
    std::lock_guard lock(m_mutex);
    return m_pendingSeek;
}

GstBusSyncReply CBusWatch::OnSyncMessage(GstBus* /*bus*/, GstMessage* message, gpointer data)
{
    (*static_cast<std::shared_ptr<CBusWatch>*>(data))->Handle(message);
    // A sync handler that drops a message owns it (and with it a reference to its source).
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void CBusWatch::Handle(GstMessage* message)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ELEMENT:
        if (gst_is_video_overlay_prepare_window_handle_message(message)) {
            m_overlay->OnPrepareWindowHandle(GST_ELEMENT(GST_MESSAGE_SRC(message)));
        } else if (gst_is_missing_plugin_message(message)) {
            std::lock_guard lock(m_mutex);
            m_preroll.bMissingPlugin = true;
        }
        break;
    case GST_MESSAGE_ASYNC_DONE:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT(m_pPipeline)) {
            std::lock_guard lock(m_mutex);
            m_preroll.bDone = true;
            m_pendingSeek.reset();
            m_changed.notify_all();
        }
        break;
    case GST_MESSAGE_EOS: {
        std::lock_guard lock(m_mutex);
        if (m_bArmed) {
            m_events->Push({EC_COMPLETE, S_OK, 0});
        }
        break;
    }
    case GST_MESSAGE_ERROR:
        OnError(message);
        break;
    case GST_MESSAGE_STREAM_STATUS:
        OnStreamStatus(message);
        break;
    default:
        break;
    }
}

void CBusWatch::OnError(GstMessage* message)
{
    GError* rawError = nullptr;
    gst_message_parse_error(message, &rawError, nullptr);
    const GErrorHandle error(rawError);
    const HRESULT hr = error != nullptr ? ResultOfError(error.get()) : E_FAIL;

    std::lock_guard lock(m_mutex);
    if (Succeeded(m_preroll.error)) {
        m_preroll.error = hr;
    }
    m_pendingSeek.reset();
    m_changed.notify_all();
    if (m_bArmed) {
        m_events->Push({EC_ERRORABORT, hr, 0});
    }
}

// A task announces itself before it starts: that is the moment to give it its pool.
void CBusWatch::OnStreamStatus(GstMessage* message)
{
    GstStreamStatusType type = GST_STREAM_STATUS_TYPE_CREATE;
    gst_message_parse_stream_status(message, &type, nullptr);
    if (type != GST_STREAM_STATUS_TYPE_CREATE) {
        return;
    }
    const GValue* value = gst_message_get_stream_status_object(message);
    if (value == nullptr || !G_VALUE_HOLDS_OBJECT(value) ||
        !GST_IS_TASK(g_value_get_object(value))) {
        return;
    }
    std::lock_guard lock(m_mutex);
    if (m_taskPool != nullptr) {
        gst_task_set_pool(GST_TASK(g_value_get_object(value)), GST_TASK_POOL(m_taskPool.get()));
    }
}
