#include "common/PathCodec.h"
#include "playback/GraphCore.h"
#include "playback/LateReports.h"
#include "playback/MediaFileCheck.h"
#include "playback/MediaFramework.h"
#include "playback/SinkFactory.h"
#include "playback/SparePlaybin.h"
#include "playback/VideoQueueBursts.h"

#include <gst/audio/gstaudiodecoder.h>

namespace {

struct StreamCounts
{
    gint nVideo = 0;
    gint nAudio = 0;
    gint nText = 0;
};

StreamCounts CountStreams(GstElement* playbin)
{
    StreamCounts counts;
    g_object_get(playbin, "n-video", &counts.nVideo, "n-audio", &counts.nAudio, "n-text",
                 &counts.nText, nullptr);
    return counts;
}

// What the prerolled playbin made of the file: everything rendered, a part of it, or nothing.
HRESULT JudgeRender(const StreamCounts& counts, bool missingPlugin)
{
    if (counts.nVideo + counts.nAudio == 0) {
        return VFW_E_UNSUPPORTED_STREAM;
    }
    // A stream without a decoder; or subtitles with no picture to show them on.
    if (missingPlugin || (counts.nText > 0 && counts.nVideo == 0)) {
        return VFW_S_PARTIAL_RENDER;
    }
    return S_OK;
}

// playbin's flags: video, audio and subtitles, each in the decoder's own format.
constexpr guint kPlayFlagVideo = 0x1;
constexpr guint kPlayFlagAudio = 0x2;
constexpr guint kPlayFlagText = 0x4;
constexpr guint kPlayFlagNativeAudio = 0x20;
constexpr guint kPlayFlagNativeVideo = 0x40;
constexpr guint kMeasureFlags =
    kPlayFlagVideo | kPlayFlagAudio | kPlayFlagText | kPlayFlagNativeAudio | kPlayFlagNativeVideo;

// A sink that takes whatever it is given and shows or sounds nothing. It accepts any caps, and
// playbin still decodes into it (it stops plugging decoders early only for a sink that asks for
// particular coded caps), so a stream without a decoder is refused here as it is for playing.
GstElementHandle NullSink()
{
    return AdoptElement(gst_element_factory_make("fakesink", nullptr));
}

// A sound decoder gives a buffer for each coded frame, some 20 to 25 ms of sound, and each buffer
// wakes the threads on its way to the sink, and the sink once more to wait for its time. Joined
// into buffers of a tenth of a second, sound takes a fifth of those wake-ups: a few percent of the
// whole player's time while a film plays. The same samples go out at the same times; a volume
// change may take up to this much longer to be heard where the player has to scale samples itself.
// (The base class joins only where the pipeline is not live, and only interleaved sound.)
constexpr gint64 kJoinedSound = 100 * GST_MSECOND;

// Sets up, as playbin makes them, the queue before the video sink (filled in bursts), the video
// sink (which passes on only the reports of lateness that matter upstream), sound decoders (their
// output joined), and libav's decoders of pictures that refer to others.
//
// libav's decoders keep every picture that later ones may refer to. Decoding straight into a
// GStreamer buffer ("direct rendering"), that buffer is therefore still shared when it leaves the
// decoder, and the decoder base class copies it there into newly allocated memory, page faults
// and all, for every picture. Decoding into libav's own pictures instead costs one copy into the
// output pool's reused buffers: for 720p H.264 about a tenth less CPU, the same pictures. Only
// for formats whose pictures refer to others; an intra-only decoder lets go of its pictures.
void OnElementSetup(GstElement* /*playbin*/, GstElement* element, gpointer /*data*/)
{
    if (IsVideoSinkQueue(element)) {
        DecodeIntoQueueInBursts(element);
        return;
    }
    if (SendsLateReports(element)) {
        PassOnLateReportsOnly(element);
        return;
    }
    if (GST_IS_AUDIO_DECODER(element)) {
        g_object_set(element, "min-latency", kJoinedSound, nullptr);
        return;
    }
    static constexpr const char* kReferringDecoders[] = {
        "avdec_h264", "avdec_h265", "avdec_mpeg4", "avdec_mpeg2video", "avdec_mpeg1video",
    };
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr) {
        return;
    }
    const char* name = GST_OBJECT_NAME(factory);
    for (const char* decoder : kReferringDecoders) {
        if (g_strcmp0(name, decoder) == 0 &&
            g_object_class_find_property(G_OBJECT_GET_CLASS(element), "direct-rendering") !=
                nullptr) {
            g_object_set(element, "direct-rendering", FALSE, nullptr);
            return;
        }
    }
}

} // namespace

HRESULT CGraphCore::RenderFile(const QString& path)
{
    if (m_pipeline != nullptr) {
        return E_UNEXPECTED;
    }
    if (!MediaFrameworkStartup()) {
        return E_FAIL;
    }
    if (const HRESULT check = CheckMediaFile(path); check != S_OK) {
        return check;
    }
    GstElementHandle playbin = m_spare != nullptr
                                   ? m_spare->Take()
                                   : AdoptElement(gst_element_factory_make("playbin", nullptr));
    if (playbin == nullptr) {
        return E_FAIL;
    }
    // Once per playbin, also when a kept one comes back for the next file.
    g_signal_handlers_disconnect_by_func(playbin.get(), reinterpret_cast<gpointer>(&OnElementSetup),
                                         nullptr);
    g_signal_connect(playbin.get(), "element-setup", G_CALLBACK(&OnElementSetup), nullptr);
    // Percent-encoded: spaces, '#', '%' and non-ASCII letters survive the trip through the URI.
    const QByteArray uri = PathToFileUri(AbsolutePath(path));
    g_object_set(playbin.get(), "uri", uri.constData(), nullptr);
    if (m_bMeasureOnly) {
        // Nothing is shown or heard: no converters, scalers or volume before the null sinks.
        // Which streams get a decoder does not depend on these.
        g_object_set(playbin.get(), "flags", kMeasureFlags, nullptr);
    }
    if (const GstElementHandle videoSink = m_bMeasureOnly ? NullSink() : CreateVideoSink()) {
        g_object_set(playbin.get(), "video-sink", videoSink.get(), nullptr);
    }
    if (const GstElementHandle audioSink = m_bMeasureOnly ? NullSink() : CreateAudioSink()) {
        g_object_set(playbin.get(), "audio-sink", audioSink.get(), nullptr);
    }

    if (const HRESULT hr = Preroll(std::move(playbin)); Failed(hr)) {
        return hr;
    }
    // A missing decoder is announced before prerolling can finish: the streams that remain have
    // to be linked to their sinks first.
    const CBusWatch::Preroll preroll = m_watch->PrerollState();
    const StreamCounts counts = CountStreams(m_pipeline.get());
    if (const HRESULT judged = JudgeRender(counts, preroll.bMissingPlugin); judged != S_OK) {
        Teardown();
        return judged;
    }
    return Commit(counts.nVideo > 0, counts.nAudio > 0);
}
