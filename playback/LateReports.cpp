#include "playback/LateReports.h"

#include <gst/base/gstbasesink.h>

#include <atomic>

namespace {

// On the sink's thread, as a report leaves its pad. Lateness, a throttling rate, or a report
// without a time (which clears what the elements before know) always goes on.
GstPadProbeReturn OnReport(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer data)
{
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_QOS) {
        return GST_PAD_PROBE_OK;
    }
    GstQOSType type = GST_QOS_TYPE_UNDERFLOW;
    GstClockTimeDiff jitter = 0;
    GstClockTime timestamp = GST_CLOCK_TIME_NONE;
    gst_event_parse_qos(event, &type, nullptr, &jitter, &timestamp);
    const bool bLate =
        jitter > 0 || type == GST_QOS_TYPE_THROTTLE || !GST_CLOCK_TIME_IS_VALID(timestamp);
    auto* lastLate = static_cast<std::atomic<bool>*>(data);
    const bool bAfterLate = lastLate->exchange(bLate);
    return bLate || bAfterLate ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

} // namespace

bool SendsLateReports(GstElement* element)
{
    return GST_IS_BASE_SINK(element) && gst_base_sink_is_qos_enabled(GST_BASE_SINK(element));
}

void PassOnLateReportsOnly(GstElement* sink)
{
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    if (pad == nullptr) {
        return;
    }
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_UPSTREAM, &OnReport,
                      new std::atomic<bool>(false),
                      [](gpointer data) { delete static_cast<std::atomic<bool>*>(data); });
    gst_object_unref(pad);
}
