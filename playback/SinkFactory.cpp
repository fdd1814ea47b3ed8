#include "playback/SinkFactory.h"

#include "playback/NullAudioSink.h"
#include "playback/XImageConverter.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The capsfilter in front of the plain X sink, found again by name when the window changes size.
constexpr const char* kScalerCapsName = "vessa-window-size";

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

void KeepAspectRatio(GstElement* sink)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "force-aspect-ratio") != nullptr) {
        g_object_set(sink, "force-aspect-ratio", TRUE, nullptr);
    }
}

// Every graph gives its sink a window of the layer's, which takes no input and is redrawn by the
// layer on its expose events. An X sink left to handle either keeps a thread of its own that
// polls its X connection twenty times a second, all through playback; told before it starts, it
// never has one.
void LeaveWindowEventsToLayer(GstElement* sink)
{
    for (const char* property : {"handle-events", "handle-expose"}) {
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(sink), property) != nullptr) {
            g_object_set(sink, property, FALSE, nullptr);
        }
    }
}

// The plain X sink draws the picture at its own size, centred. A size filter in front of it has
// the picture scaled to the window's size by the converter every playbin puts before its video
// sink; its default adds black borders where the aspect ratios differ. Scaled I420 pictures are
// then turned into the server's pixels by the player's own converter, at a quarter of the cost.
// (A pipeline built by hand needs a scaler of its own in front of the sink: videoconvertscale, or
// videoconvert ! videoscale.)
GstElementHandle ScaledXImageSink()
{
    GstElementHandle bin = AdoptElement(gst_bin_new(nullptr));
    const GstElementHandle size =
        AdoptElement(gst_element_factory_make("capsfilter", kScalerCapsName));
    const GstElementHandle convert = AdoptElement(MakeXImageConverter());
    const GstElementHandle sink = AdoptElement(gst_element_factory_make("ximagesink", nullptr));
    if (size == nullptr || convert == nullptr || sink == nullptr) {
        return nullptr;
    }
    LeaveWindowEventsToLayer(sink.get());
    gst_bin_add_many(GST_BIN(bin.get()), size.get(), convert.get(), sink.get(), nullptr);
    if (!gst_element_link_many(size.get(), convert.get(), sink.get(), nullptr)) {
        return nullptr;
    }
    const GstPadHandle target(gst_element_get_static_pad(size.get(), "sink"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("sink", target.get()));
    return bin;
}

bool HasProcSoundCard()
{
    // ALSA lists its cards here; without one, opening "default" only prints errors.
    std::ifstream cards("/proc/asound/cards");
    std::string line;
    while (std::getline(cards, line)) {
        if (!line.empty() && line.find("no soundcards") == std::string::npos) {
            return true;
        }
    }
    return false;
}

// Where a sound server (PulseAudio, or PipeWire's PulseAudio service) could be listening. With
// no address set and no socket in any of the usual places, none is running, and asking would only
// load its client library and everything that library needs, at start-up.
bool SoundServerMayListen()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        return true;
    }
    QStringList sockets = {QStringLiteral("/run/pulse/native"),
                           QStringLiteral("/var/run/pulse/native"),
                           QStringLiteral("/run/user/%1/pulse/native").arg(::getuid())};
    if (const QString path = qEnvironmentVariable("PULSE_RUNTIME_PATH"); !path.isEmpty()) {
        sockets.append(path + QStringLiteral("/native"));
    }
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        sockets.append(runtime + QStringLiteral("/pulse/native"));
    }
    return std::any_of(sockets.cbegin(), sockets.cend(),
                       [](const QString& socket) { return QFileInfo::exists(socket); });
}

// A sound server answers when its sink can open its device (audio sinks do that on their way to
// READY). The sink reports a refusal on its bus only, so nothing is printed.
bool SoundServerAnswers()
{
    if (!SoundServerMayListen()) {
        return false;
    }
    const GstElementHandle probe = AdoptElement(gst_element_factory_make("pulsesink", nullptr));
    if (probe == nullptr) {
        return false;
    }
    const bool ok = gst_element_set_state(probe.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(probe.get(), GST_STATE_NULL);
    return ok;
}

GstElementHandle ClockedNullSink(const char* preferred)
{
    GstElement* sink = gst_element_factory_make(preferred, nullptr);
    if (sink == nullptr) {
        sink = gst_element_factory_make("fakesink", nullptr);
    }
    if (sink != nullptr) {
        g_object_set(sink, "sync", TRUE, nullptr);
    }
    return AdoptElement(sink);
}

} // namespace

bool IsSoftwareGlRenderer(std::string_view renderer)
{
    for (const std::string_view name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (renderer.find(name) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

VideoSinkKind ChooseVideoSink(const VideoOutputFacts& facts)
{
    if (!facts.bDisplay) {
        return VideoSinkKind::Null;
    }
    if (facts.bXVideo) {
        return VideoSinkKind::XVideo;
    }
    if (facts.bGlSink && !facts.strGlRenderer.empty() &&
        !IsSoftwareGlRenderer(facts.strGlRenderer)) {
        return VideoSinkKind::Gl;
    }
    return VideoSinkKind::XImage;
}

VideoSinkKind ProcessVideoSinkKind()
{
    // Thread-safe once: the first graph may be built beside the window, later ones on the UI
    // thread and the length loader's.
    static const VideoSinkKind kind = ChooseVideoSink(ProbeVideoOutput());
    return kind;
}

const char* VideoSinkName(VideoSinkKind kind)
{
    switch (kind) {
    case VideoSinkKind::XVideo:
        return "xvimagesink";
    case VideoSinkKind::Gl:
        return "glimagesink";
    case VideoSinkKind::XImage:
        return "ximagesink";
    case VideoSinkKind::Null:
        break;
    }
    return "fakesink";
}

GstElementHandle MakeVideoSink(VideoSinkKind kind)
{
    if (kind == VideoSinkKind::XImage) {
        return ScaledXImageSink();
    }
    if (kind == VideoSinkKind::Null) {
        return ClockedNullSink("fakevideosink");
    }
    GstElementHandle sink = AdoptElement(gst_element_factory_make(VideoSinkName(kind), nullptr));
    if (sink != nullptr) {
        KeepAspectRatio(sink.get());
        LeaveWindowEventsToLayer(sink.get());
    }
    return sink;
}

std::string CurrentVideoSinkDescription()
{
    const char* description = std::getenv("VESSA_VIDEO_SINK");
    if (description != nullptr && *description != '\0') {
        return description;
    }
    const VideoSinkKind kind = ProcessVideoSinkKind();
    return std::string(VideoSinkName(kind)) + (kind == VideoSinkKind::XImage ? " (scaled)" : "");
}

GstElementHandle CreateVideoSink()
{
    // One of the sinks the player would choose itself, named: made the way the player makes it
    // (scaled, aspect ratio kept), so that each can be tried on a machine that offers several.
    if (const char* name = std::getenv("VESSA_VIDEO_SINK"); name != nullptr) {
        for (const VideoSinkKind kind : {VideoSinkKind::XVideo, VideoSinkKind::Gl,
                                         VideoSinkKind::XImage, VideoSinkKind::Null}) {
            if (std::strcmp(name, VideoSinkName(kind)) == 0) {
                return MakeVideoSink(kind);
            }
        }
    }
    if (auto sink = SinkFromEnvironment("VESSA_VIDEO_SINK")) {
        return sink;
    }
    return MakeVideoSink(ProcessVideoSinkKind());
}

bool ProcessHasSoundOutput()
{
    static const bool hasSoundOutput = SoundServerAnswers() || HasProcSoundCard();
    return hasSoundOutput;
}

GstElementHandle CreateAudioSink()
{
    if (auto sink = SinkFromEnvironment("VESSA_AUDIO_SINK")) {
        return sink;
    }
    if (!ProcessHasSoundOutput()) {
        return MakeNullAudioSink();
    }
    return AdoptElement(gst_element_factory_make("autoaudiosink", nullptr));
}

bool FollowWindowSize(GstElement* sink, int width, int height)
{
    if (sink == nullptr || width <= 0 || height <= 0) {
        return false;
    }
    GstObject* parent = gst_object_get_parent(GST_OBJECT(sink));
    if (parent == nullptr) {
        return false;
    }
    const GstElementHandle size =
        GST_IS_BIN(parent) ? GstElementHandle(gst_bin_get_by_name(GST_BIN(parent), kScalerCapsName))
                           : nullptr;
    gst_object_unref(parent);
    if (size == nullptr) {
        return false;
    }
    GstCaps* wanted = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, width, "height",
                                          G_TYPE_INT, height, nullptr);
    GstCaps* current = nullptr;
    g_object_get(size.get(), "caps", &current, nullptr);
    // Setting caps asks upstream to negotiate again; only a real change is worth that.
    const bool changed = current == nullptr || !gst_caps_is_equal(current, wanted);
    if (changed) {
        // While pictures flow, the converter may be half-way through the old size: its pictures
        // must still pass until it has caught up, or the stream stops as not negotiated. While
        // paused nothing is under way, and only the new size may pass (the converter would
        // otherwise keep the size it has).
        GstElement* top = sink;
        while (GST_ELEMENT_PARENT(top) != nullptr) {
            top = GST_ELEMENT_PARENT(top);
        }
        const bool flowing =
            GST_STATE(top) == GST_STATE_PLAYING || GST_STATE_PENDING(top) == GST_STATE_PLAYING;
        gst_util_set_object_arg(G_OBJECT(size.get()), "caps-change-mode",
                                flowing ? "delayed" : "immediate");
        g_object_set(size.get(), "caps", wanted, nullptr);
    }
    if (current != nullptr) {
        gst_caps_unref(current);
    }
    gst_caps_unref(wanted);
    return changed;
}

bool ScalesToItsWindow(GstElement* sink)
{
    GstElementFactory* factory = sink != nullptr ? gst_element_get_factory(sink) : nullptr;
    if (factory == nullptr) {
        return false;
    }
    // The GL sink is a bin around "glimagesinkelement", which is what asks for the window.
    const char* name = GST_OBJECT_NAME(factory);
    return g_str_has_prefix(name, VideoSinkName(VideoSinkKind::Gl)) ||
           std::strcmp(name, VideoSinkName(VideoSinkKind::XVideo)) == 0;
}
