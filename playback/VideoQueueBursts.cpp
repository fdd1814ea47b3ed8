#include "playback/VideoQueueBursts.h"

#include <atomic>

namespace {

// Which limit the queue has: the one it was made with, until playing starts; then the burst's,
// while the decoder fills it; then the low one, while the decoder waits for it to run down.
enum class Limit
{
    Made,
    Filling,
    Waiting,
};

struct Bursts
{
    std::atomic<Limit> limit{Limit::Made};
};

constexpr const char* kBurstsKey = "vessa-bursts";

guint QueuedPictures(GstElement* queue)
{
    guint level = 0;
    g_object_get(queue, "current-level-buffers", &level, nullptr);
    return level;
}

// The queue lets a picture in while it holds fewer than its limit. Lowering the limit once the
// burst is in holds the decoder back until the queue has run down; raising it again wakes it.
void LimitQueue(GstElement* queue, Bursts* bursts, Limit limit)
{
    bursts->limit = limit;
    g_object_set(queue, "max-size-buffers",
                 limit == Limit::Waiting ? kVideoQueueLow + 1 : kVideoQueueBurst + 1, nullptr);
}

// On the decoder's thread, before a picture goes in.
GstPadProbeReturn OnPictureIn(GstPad* pad, GstPadProbeInfo* /*info*/, gpointer data)
{
    auto* bursts = static_cast<Bursts*>(data);
    GstElement* queue = GST_PAD_PARENT(pad);
    if (bursts->limit == Limit::Filling && QueuedPictures(queue) >= kVideoQueueBurst) {
        LimitQueue(queue, bursts, Limit::Waiting);
    }
    return GST_PAD_PROBE_OK;
}

// On the queue's thread, after a picture went out. Only while playing: before, the queue keeps
// the limit it was made with, so that the first picture is not held up by the decoding of more.
GstPadProbeReturn OnPictureOut(GstPad* pad, GstPadProbeInfo* /*info*/, gpointer data)
{
    auto* bursts = static_cast<Bursts*>(data);
    GstElement* queue = GST_PAD_PARENT(pad);
    const Limit limit = bursts->limit;
    if (GST_STATE(queue) == GST_STATE_PLAYING &&
        (limit == Limit::Made ||
         (limit == Limit::Waiting && QueuedPictures(queue) <= kVideoQueueLow))) {
        LimitQueue(queue, bursts, Limit::Filling);
    }
    return GST_PAD_PROBE_OK;
}

void Probe(GstElement* queue, const char* padName, GstPadProbeCallback callback, Bursts* bursts)
{
    GstPad* pad = gst_element_get_static_pad(queue, padName);
    if (pad != nullptr) {
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, callback, bursts, nullptr);
        gst_object_unref(pad);
    }
}

} // namespace

bool IsVideoSinkQueue(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    return factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), "queue") == 0 &&
           g_strcmp0(GST_OBJECT_NAME(element), "vqueue") == 0;
}

void DecodeIntoQueueInBursts(GstElement* queue)
{
    auto* bursts = new Bursts;
    g_object_set_data_full(G_OBJECT(queue), kBurstsKey, bursts,
                           [](gpointer data) { delete static_cast<Bursts*>(data); });
    Probe(queue, "sink", &OnPictureIn, bursts);
    Probe(queue, "src", &OnPictureOut, bursts);
}
