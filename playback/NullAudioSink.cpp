#include "playback/NullAudioSink.h"

#include <gst/base/gstbasesink.h>

namespace {

// How much sound is taken at a time, at most.
constexpr GstClockTime kPeriod = 100 * GST_MSECOND;

struct VessaNullAudioSink
{
    GstBaseSink parent;
};

struct VessaNullAudioSinkClass
{
    GstBaseSinkClass parent;
};

GType vessa_null_audio_sink_get_type();
G_DEFINE_TYPE(VessaNullAudioSink, vessa_null_audio_sink, GST_TYPE_BASE_SINK)

// Every buffer is due at the start of the period its sound begins in: the first of a period waits
// for it, the others find it passed and go through at once. Each still ends where its sound ends,
// so the position and the end of the stream come when the sound's own time says.
void GetTimes(GstBaseSink* /*sink*/, GstBuffer* buffer, GstClockTime* start, GstClockTime* end)
{
    const GstClockTime begins = GST_BUFFER_DTS_OR_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(begins)) {
        *start = GST_CLOCK_TIME_NONE;
        *end = GST_CLOCK_TIME_NONE;
        return;
    }
    *start = begins - begins % kPeriod;
    *end = GST_BUFFER_DURATION_IS_VALID(buffer) ? begins + GST_BUFFER_DURATION(buffer) : begins;
}

GstFlowReturn Render(GstBaseSink* /*sink*/, GstBuffer* /*buffer*/)
{
    return GST_FLOW_OK;
}

void vessa_null_audio_sink_init(VessaNullAudioSink* self)
{
    gst_base_sink_set_sync(GST_BASE_SINK(self), TRUE);
    // Sound that comes late is not dropped, as a card would not drop it either.
    gst_base_sink_set_max_lateness(GST_BASE_SINK(self), -1);
}

void vessa_null_audio_sink_class_init(VessaNullAudioSinkClass* klass)
{
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    static GstStaticPadTemplate sink = GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS,
                                                               GST_STATIC_CAPS("audio/x-raw"));
    gst_element_class_add_static_pad_template(element, &sink);
    gst_element_class_set_static_metadata(element, "Null sound output", "Sink/Audio",
                                          "Takes sound in time and plays it nowhere",
                                          "Vessa Video Player");
    GstBaseSinkClass* base = GST_BASE_SINK_CLASS(klass);
    base->get_times = &GetTimes;
    base->render = &Render;
}

} // namespace

GstElementHandle MakeNullAudioSink()
{
    return AdoptElement(GST_ELEMENT(g_object_new(vessa_null_audio_sink_get_type(), nullptr)));
}
