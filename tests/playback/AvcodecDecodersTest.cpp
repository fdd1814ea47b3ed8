#include "ClipEncoder.h"
#include "TestMedia.h"
#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"

#include <QTemporaryDir>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Decoded
{
    std::string caps;
    std::vector<std::string> buffers; // each one's time stamp and bytes
};

// A picture's visible pixels, row by row, leaving out whatever pads the rows; sound as it is.
std::string Content(GstBuffer* buffer, GstCaps* caps)
{
    GstVideoInfo info;
    GstVideoFrame frame;
    std::string content;
    if (gst_video_info_from_caps(&info, caps) &&
        gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
        for (guint plane = 0; plane < GST_VIDEO_FRAME_N_PLANES(&frame); ++plane) {
            const auto* data = static_cast<const char*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
            const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
            const int rowBytes = GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane) *
                                 GST_VIDEO_FRAME_COMP_PSTRIDE(&frame, plane);
            for (int row = 0; row < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane); ++row) {
                content.append(data + static_cast<ptrdiff_t>(row) * stride,
                               static_cast<size_t>(rowBytes));
            }
        }
        gst_video_frame_unmap(&frame);
        return content;
    }
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        content.assign(reinterpret_cast<const char*>(map.data), map.size);
        gst_buffer_unmap(buffer, &map);
    }
    return content;
}

void OnHandoff(GstElement* /*sink*/, GstBuffer* buffer, GstPad* pad, gpointer data)
{
    auto* decoded = static_cast<Decoded*>(data);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    ASSERT_NE(caps, nullptr);
    gchar* text = gst_caps_to_string(caps);
    decoded->caps = text;
    g_free(text);
    decoded->buffers.push_back(std::to_string(GST_BUFFER_PTS(buffer)) + ':' +
                               Content(buffer, caps));
    gst_caps_unref(caps);
}

// Everything the decoder gives for the clip's stream, from the start or, when `from` is set, from
// there on after a flushing seek made once the first picture or sound is ready.
Decoded Decode(const QString& clip, const char* stream, const char* decoder, GstClockTime from)
{
    const std::string description = "filesrc name=in ! qtdemux ! " + std::string(stream) + " ! " +
                                    decoder + " ! fakesink name=out signal-handoffs=true";
    GError* error = nullptr;
    GstElementHandle pipeline = AdoptElement(gst_parse_launch(description.c_str(), &error));
    EXPECT_EQ(error, nullptr) << (error != nullptr ? error->message : "");
    g_clear_error(&error);
    Decoded decoded;
    if (pipeline == nullptr) {
        return decoded;
    }
    GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline.get()), "in");
    g_object_set(in, "location", clip.toUtf8().constData(), nullptr);
    gst_object_unref(in);
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline.get()), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(&OnHandoff), &decoded);
    gst_object_unref(out);
    if (GST_CLOCK_TIME_IS_VALID(from)) {
        gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
        gst_element_get_state(pipeline.get(), nullptr, nullptr, 10 * GST_SECOND);
        decoded.buffers.clear();
        EXPECT_TRUE(gst_element_seek_simple(
            pipeline.get(), GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), from));
    }
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline.get());
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    EXPECT_NE(message, nullptr);
    if (message != nullptr) {
        EXPECT_EQ(GST_MESSAGE_TYPE(message), GST_MESSAGE_EOS) << decoder;
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return decoded;
}

// The player's own H.264 and AAC decoders are libavcodec's, without the libav plugin around
// them: every picture and every sound sample is the plugin's, bit for bit, with the same caps,
// also the pictures held back for reordering at the end and those after a seek. The clip's size
// is no whole number of macroblocks, so the decoder's pictures are cropped on the way out.
TEST(AvcodecDecoders, GiveWhatTheLibavPluginGivesBitForBit)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    // Beside the usual kind, pictures of two bytes a sample.
    QTemporaryDir dir;
    const QString deep = dir.filePath(QStringLiteral("deep.mp4"));
    QString error;
    ASSERT_TRUE(EncodeClip(QStringLiteral("videotestsrc pattern=ball num-buffers=25 ! "
                                          "video/x-raw,format=I420_10LE,width=200,height=120,"
                                          "framerate=25/1 ! x264enc speed-preset=superfast ! "
                                          "h264parse ! mp4mux ! filesink name=out"),
                           deep, std::chrono::seconds(60), &error))
        << error.toStdString();
    const struct
    {
        QString clip;
        const char* stream;
        const char* ours;
        const char* theirs;
        size_t count; // from the start
    } cases[] = {
        {TestMediaPath(TestClip::Mp4), "h264parse", "vessah264dec", "avdec_h264",
         static_cast<size_t>(kTestClipSeconds * kTestClipFps)},
        {deep, "h264parse", "vessah264dec", "avdec_h264", 25},
        {TestMediaPath(TestClip::Mp4), "aacparse", "vessaaacdec", "avdec_aac", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ours + (" " + c.clip.toStdString()));
        for (const GstClockTime from : {GST_CLOCK_TIME_NONE, GstClockTime{700 * GST_MSECOND}}) {
            const Decoded ours = Decode(c.clip, c.stream, c.ours, from);
            const Decoded theirs = Decode(c.clip, c.stream, c.theirs, from);
            EXPECT_EQ(ours.caps, theirs.caps);
            ASSERT_FALSE(ours.buffers.empty());
            EXPECT_EQ(ours.buffers.size(), theirs.buffers.size());
            EXPECT_TRUE(ours.buffers == theirs.buffers);
            if (c.count != 0 && !GST_CLOCK_TIME_IS_VALID(from)) {
                EXPECT_EQ(ours.buffers.size(), c.count);
            }
        }
    }
}

} // namespace
