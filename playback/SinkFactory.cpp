#include "playback/SinkFactory.h"

#include <cstdlib>
#include <cstring>

namespace {

GstElementHandle SinkFromEnvironment(const char* variable)
{
    const char* description = std::getenv(variable);
    if (description == nullptr || *description == '\0') {
        return nullptr;
    }
    GError* error = nullptr;
    GstElementHandle bin = AdoptElement(gst_parse_bin_from_description(description, TRUE, &error));
    const GErrorHandle errorHandle(error);
    if (error != nullptr) {
        return nullptr; // a description that parsed only in part is not what was asked for
    }
    return bin;
}

bool IsNullSink(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr) {
        return false;
    }
    const char* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    return std::strcmp(name, "fakesink") == 0 || std::strcmp(name, "fakeaudiosink") == 0;
}

// autoaudiosink picks its device when it gets ready; with nothing usable it holds a null sink.
bool HasSoundOutput()
{
    const GstElementHandle probe = AdoptElement(gst_element_factory_make("autoaudiosink", nullptr));
    if (probe == nullptr) {
        return false;
    }
    if (gst_element_set_state(probe.get(), GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(probe.get(), GST_STATE_NULL);
        return false;
    }
    bool real = false;
    GstIterator* children = gst_bin_iterate_elements(GST_BIN(probe.get()));
    GValue item = G_VALUE_INIT;
    while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
        auto* child = GST_ELEMENT(g_value_get_object(&item));
        real = real || !IsNullSink(child);
        g_value_reset(&item);
    }
    g_value_unset(&item);
    gst_iterator_free(children);
    gst_element_set_state(probe.get(), GST_STATE_NULL);
    return real;
}

GstElementHandle ClockedNullAudioSink()
{
    GstElement* sink = gst_element_factory_make("fakeaudiosink", nullptr);
    if (sink == nullptr) {
        sink = gst_element_factory_make("fakesink", nullptr);
    }
    if (sink != nullptr) {
        g_object_set(sink, "sync", TRUE, nullptr);
    }
    return AdoptElement(sink);
}

} // namespace

GstElementHandle CreateVideoSink()
{
    if (auto sink = SinkFromEnvironment("VESSA_VIDEO_SINK")) {
        return sink;
    }
    return AdoptElement(gst_element_factory_make("autovideosink", nullptr));
}

GstElementHandle CreateAudioSink()
{
    if (auto sink = SinkFromEnvironment("VESSA_AUDIO_SINK")) {
        return sink;
    }
    // Thread-safe once: graphs are built on the UI thread and the length loader's thread.
    static const bool hasSoundOutput = HasSoundOutput();
    if (!hasSoundOutput) {
        return ClockedNullAudioSink();
    }
    return AdoptElement(gst_element_factory_make("autoaudiosink", nullptr));
}
