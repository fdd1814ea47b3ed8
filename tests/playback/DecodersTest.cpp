#include "TestMedia.h"
#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
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
    // How an interlaced picture's fields are to be shown.
    const guint fields =
        GST_BUFFER_FLAGS(buffer) & (GST_VIDEO_BUFFER_FLAG_INTERLACED | GST_VIDEO_BUFFER_FLAG_TFF |
                                    GST_VIDEO_BUFFER_FLAG_RFF | GST_VIDEO_BUFFER_FLAG_ONEFIELD);
    decoded->buffers.push_back(std::to_string(GST_BUFFER_PTS(buffer)) + '/' +
                               std::to_string(fields) + ':' + Content(buffer, caps));
    gst_caps_unref(caps);
}

// Everything the decoder gives for the clip's stream, from the start or, when `from` is set, from
// there on after a flushing seek made once the first picture or sound is ready. `stream` demuxes
// and parses the clip; `decoder` may go on with elements of its own after the decoder. The stream
// must end, and end well unless `mayFail`.
Decoded Decode(const QString& clip, const char* stream, const std::string& decoder,
               GstClockTime from, bool mayFail = false)
{
    const std::string description = "filesrc name=in ! " + std::string(stream) + " ! " + decoder +
                                    " ! fakesink name=out signal-handoffs=true";
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
        GError* failure = nullptr;
        gchar* details = nullptr;
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            gst_message_parse_error(message, &failure, &details);
        }
        EXPECT_TRUE(mayFail || GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS)
            << decoder << ": " << (failure != nullptr ? failure->message : "") << " "
            << (details != nullptr ? details : "");
        g_clear_error(&failure);
        g_free(details);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return decoded;
}

// Caps alike field by field, in whatever order their fields were set.
::testing::AssertionResult SameCaps(const std::string& a, const std::string& b)
{
    GstCaps* first = gst_caps_from_string(a.c_str());
    GstCaps* second = gst_caps_from_string(b.c_str());
    const bool same = first != nullptr && second != nullptr && gst_caps_is_equal(first, second);
    gst_clear_caps(&first);
    gst_clear_caps(&second);
    return same ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << a << " / " << b;
}

GstClockTime TimeOf(const std::string& buffer)
{
    return std::stoull(buffer.substr(0, buffer.find('/')));
}

// A recorded buffer without its time.
std::string Picture(const std::string& buffer)
{
    return buffer.substr(buffer.find('/'));
}

// mpeg2enc carries state from one encoder to the next within a process: a clip encoded after
// another one comes out different on every run, and now and then so large that the program
// stream demuxer misses its first time stamps. Encoded in a process of its own, each clip comes
// out the same every time. `description` ends with the file sink.
QString MakeClip(const QTemporaryDir& dir, const char* name, const QString& description)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    QProcess launch;
    launch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    launch.start(QStringLiteral("gst-launch-1.0"), QStringList{QStringLiteral("-q")} +
                                                       QProcess::splitCommand(description) +
                                                       QStringList{"location=" + path});
    EXPECT_TRUE(launch.waitForFinished(60'000) && launch.exitStatus() == QProcess::NormalExit &&
                launch.exitCode() == 0)
        << description.toStdString();
    return path;
}

// The player's own H.264 and AAC decoders are libavcodec's, without the libav plugin around
// them, and its MPEG video decoder is libmpeg2, as GStreamer's own is: every picture and every
// sound sample is the same as those decoders', bit for bit, with the same caps and fields, also
// the pictures held back for reordering at the end and those after a seek. The clips' sizes are
// no whole number of macroblocks, so the decoders' pictures are cropped on the way out. Where
// downstream cannot take pictures laid out as the decoder lays them out (a bare sink), they are
// copied out; where it can (a converter), the decoded pictures themselves are handed on.
TEST(Decoders, GiveWhatGStreamersOwnGiveBitForBit)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    QTemporaryDir dir;
    // Beside the usual kind, pictures of two bytes a sample.
    const QString deep = MakeClip(dir, "deep.mp4",
                                  QStringLiteral("videotestsrc pattern=ball num-buffers=25 ! "
                                                 "video/x-raw,format=I420_10LE,width=200,"
                                                 "height=120,framerate=25/1 ! x264enc "
                                                 "speed-preset=superfast ! h264parse ! mp4mux ! "
                                                 "filesink"));
    // MPEG-2 with bidirectional pictures and open groups, progressive and interlaced, and MPEG-1.
    const QString mpeg2 = QStringLiteral("videotestsrc pattern=ball num-buffers=50 ! "
                                         "video/x-raw,format=I420,width=200,height=120,"
                                         "framerate=25/1 ! mpeg2enc format=3 b-per-refframe=2 "
                                         "constraints=false %1 ! mpegpsmux ! filesink");
    const QString bidirectional = MakeClip(dir, "b.mpg", mpeg2.arg(QString()));
    const QString interlaced =
        MakeClip(dir, "interlaced.mpg", mpeg2.arg(QStringLiteral("interlace-mode=1")));
    const QString mpeg1 = MakeClip(dir, "mpeg1.mpg", mpeg2.arg(QStringLiteral("format=0")));
    const std::string converted = " ! videoconvert ! video/x-raw,format=Y444";
    const std::string written = " ! videobalance brightness=0.25";
    const std::string interleaved = " ! audioconvert ! audio/x-raw,layout=interleaved";
    constexpr const char* kMp4 = "qtdemux ! h264parse";
    constexpr const char* kPs = "mpegpsdemux ! mpegvideoparse";
    // GStreamer's libmpeg2 decoder gives no picture after a seek into a program stream: there
    // the player's must give the pictures it gives from the start.
    const struct
    {
        QString clip;
        const char* stream;
        std::string ours;
        std::string theirs;
        size_t count; // from the start, where the clip's stream is known to begin at once
        bool theirsSeeks;
        GstClockTime seekTo = 700 * GST_MSECOND;
    } cases[] = {
        {TestMediaPath(TestClip::Mp4), kMp4, "vessah264dec", "avdec_h264",
         static_cast<size_t>(kTestClipSeconds * kTestClipFps), true},
        {deep, kMp4, "vessah264dec", "avdec_h264", 25, true},
        {deep, kMp4, "vessah264dec" + converted, "avdec_h264" + converted, 25, true},
        // Pictures brightened where they are on their way: the decoder's own stay as they were.
        {TestMediaPath(TestClip::Mp4), kMp4, "vessah264dec" + written + converted,
         "avdec_h264" + written + converted, static_cast<size_t>(kTestClipSeconds * kTestClipFps),
         true},
        // Sound a sample of each channel in turn, as sinks take it.
        {TestMediaPath(TestClip::Mp4), "qtdemux ! aacparse", "vessaaacdec",
         "avdec_aac" + interleaved, 0, true},
        // The program stream muxer times these clips' pictures in decoding order, and the first
        // ones fall before the stream's start: a seek lands well inside what plays.
        {TestMediaPath(TestClip::MpegPs), kPs, "vessampeg2dec", "mpeg2dec", 0, false},
        {bidirectional, kPs, "vessampeg2dec", "mpeg2dec", 0, false, 1500 * GST_MSECOND},
        {bidirectional, kPs, "vessampeg2dec" + converted, "mpeg2dec" + converted, 0, false,
         1500 * GST_MSECOND},
        {interlaced, kPs, "vessampeg2dec", "mpeg2dec", 0, false, 1500 * GST_MSECOND},
        {mpeg1, kPs, "vessampeg2dec", "mpeg2dec", 0, false, 1500 * GST_MSECOND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ours + " " + c.clip.toStdString());
        const Decoded theirs = Decode(c.clip, c.stream, c.theirs, GST_CLOCK_TIME_NONE);
        const Decoded ours = Decode(c.clip, c.stream, c.ours, GST_CLOCK_TIME_NONE);
        EXPECT_TRUE(SameCaps(ours.caps, theirs.caps));
        ASSERT_FALSE(ours.buffers.empty());
        EXPECT_EQ(ours.buffers.size(), theirs.buffers.size());
        EXPECT_TRUE(ours.buffers == theirs.buffers);
        if (c.count != 0) {
            EXPECT_EQ(ours.buffers.size(), c.count);
        }
        const Decoded seeked = Decode(c.clip, c.stream, c.ours, c.seekTo);
        EXPECT_TRUE(SameCaps(seeked.caps, theirs.caps));
        if (c.theirsSeeks) {
            const Decoded theirsSeeked = Decode(c.clip, c.stream, c.theirs, c.seekTo);
            EXPECT_TRUE(seeked.buffers == theirsSeeked.buffers);
            continue;
        }
        // The pictures from the start, from about the target on to the end; the first one's time
        // may be moved up to the target. A few after it may be missing: those that predict from
        // pictures before the place the demuxer went back to.
        ASSERT_GE(seeked.buffers.size(), 2U);
        const auto second =
            std::find(theirs.buffers.cbegin(), theirs.buffers.cend(), seeked.buffers[1]);
        ASSERT_NE(second, theirs.buffers.cend());
        ASSERT_NE(second, theirs.buffers.cbegin());
        EXPECT_EQ(Picture(seeked.buffers.front()), Picture(*(second - 1)));
        EXPECT_LE(TimeOf(*(second - 1)), c.seekTo + 100 * GST_MSECOND);
        EXPECT_TRUE(std::equal(seeked.buffers.cbegin() + 1, seeked.buffers.cend(), second,
                               theirs.buffers.cend()));
    }
}

// A recording that begins inside a group of pictures shows nothing until its first whole picture:
// every picture it gives is one the whole file gives. Two recordings of different sizes joined give
// the pictures of both, as GStreamer's decoder gives them. Damaged data ends the stream quietly or
// goes on; it never takes the process down (the sanitizer build reads every byte it touches).
TEST(Decoders, MpegVideoCutJoinedOrDamagedShowsOnlyWholePictures)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    QTemporaryDir dir;
    const QString whole = MakeClip(dir, "whole.mpg",
                                   QStringLiteral("videotestsrc pattern=ball num-buffers=75 ! "
                                                  "video/x-raw,format=I420,width=200,height=120,"
                                                  "framerate=25/1 ! mpeg2enc format=3 "
                                                  "b-per-refframe=2 constraints=false "
                                                  "sequence-header-every-gop=true ! "
                                                  "mpegpsmux ! filesink"));
    QFile file(whole);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto write = [&dir](const char* name, const QByteArray& data) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(data) == data.size());
        return path;
    };
    constexpr const char* kPs = "mpegpsdemux ! mpegvideoparse";
    const Decoded reference = Decode(whole, kPs, "vessampeg2dec", GST_CLOCK_TIME_NONE);
    ASSERT_FALSE(reference.buffers.empty());
    std::vector<std::string> pictures;
    std::transform(reference.buffers.cbegin(), reference.buffers.cend(),
                   std::back_inserter(pictures), &Picture);
    for (const double from : {0.35, 0.5, 0.65}) {
        SCOPED_TRACE(from);
        const QString cut = write("cut.mpg", bytes.mid(static_cast<int>(bytes.size() * from)));
        const Decoded decoded = Decode(cut, kPs, "vessampeg2dec", GST_CLOCK_TIME_NONE);
        EXPECT_FALSE(decoded.buffers.empty());
        for (const std::string& buffer : decoded.buffers) {
            EXPECT_NE(std::find(pictures.cbegin(), pictures.cend(), Picture(buffer)),
                      pictures.cend())
                << "a picture at " << TimeOf(buffer);
        }
    }
    QByteArray damaged = bytes;
    for (int at = 3000; at + 64 < damaged.size(); at += 2500) {
        for (int i = 0; i < 64; ++i) {
            damaged[at + i] = static_cast<char>((at * 31 + i * 97) & 0xff);
        }
    }
    // Two recordings of different sizes, one after the other.
    const QString other = MakeClip(dir, "other.mpg",
                                   QStringLiteral("videotestsrc pattern=smpte num-buffers=50 ! "
                                                  "video/x-raw,format=I420,width=320,height=240,"
                                                  "framerate=25/1 ! mpeg2enc format=3 "
                                                  "b-per-refframe=2 constraints=false "
                                                  "sequence-header-every-gop=true ! "
                                                  "mpegpsmux ! filesink"));
    QFile otherFile(other);
    ASSERT_TRUE(otherFile.open(QIODevice::ReadOnly));
    const QString joined = write("joined.mpg", bytes + otherFile.readAll());
    const Decoded ours = Decode(joined, kPs, "vessampeg2dec", GST_CLOCK_TIME_NONE);
    const Decoded theirs = Decode(joined, kPs, "mpeg2dec", GST_CLOCK_TIME_NONE);
    EXPECT_NE(ours.caps.find("width=(int)320"), std::string::npos);
    EXPECT_GT(ours.buffers.size(), 75U);
    EXPECT_TRUE(ours.buffers == theirs.buffers);
    const QString path = write("damaged.mpg", damaged);
    EXPECT_FALSE(Decode(path, kPs, "vessampeg2dec", GST_CLOCK_TIME_NONE, true).buffers.empty());
}

} // namespace
