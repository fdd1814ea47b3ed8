#include "TestMedia.h"
#include "playback/GraphCore.h"

#include <QDir>
#include <QTemporaryDir>
#include <gst/gst.h>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

bool LibavLoaded()
{
    GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), "libav");
    const bool loaded = plugin != nullptr && gst_plugin_is_loaded(plugin) != FALSE;
    if (plugin != nullptr) {
        gst_object_unref(plugin);
    }
    return loaded;
}

// Every kind of file the player may be handed: rendered with exactly the streams it offers and
// its length, or refused without waiting out the render's time-out; and refusals, over and over,
// leave no open file behind.
TEST(RenderFile, EachKindOfFileIsRenderedWithItsStreamsOrRefusedWithoutATrace)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.avi"));
    // A reader that opened it would wait for a writer for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct
    {
        const char* what;
        QString path;
        bool audio;
        bool video;
        double seconds; // the length a rendered file reports
    } cases[] = {
        {"avi", TestMediaPath(TestClip::Avi), true, true, kTestClipSeconds},
        {"mp4", TestMediaPath(TestClip::Mp4), true, true, kTestClipSeconds},
        // Program stream lengths are estimated from the bit rate: a quarter off at most.
        {"mpeg-ps", TestMediaPath(TestClip::MpegPs), true, true, kTestClipSeconds},
        {"video only", TestMediaPath(TestClip::VideoOnly), false, true, 1.0},
        {"audio only", TestMediaPath(TestClip::AudioOnly), true, false, kTestClipSeconds},
        // Spaces, '#', '%' and letters beyond ASCII in the name must survive the trip into a URI.
        {"odd name", TestMediaPath(TestClip::OddName), true, true, kTestClipSeconds},
        // Subtitles are drawn onto the picture: the film is offered whole.
        {"subtitled", TestMediaPath(TestClip::Subtitled), false, true, 1.0},
        // The audio would play, the video has no decoder: half a film is not offered.
        {"no video decoder", TestMediaPath(TestClip::NoVideoDecoder), false, false, 0},
        {"not media", TestMediaPath(TestClip::NotMedia), false, false, 0},
        {"empty", TestMediaPath(TestClip::Empty), false, false, 0},
        {"missing", dir.filePath(QStringLiteral("missing.avi")), false, false, 0},
        {"folder", dir.path(), false, false, 0},
        {"fifo", fifo, false, false, 0},
        {"device that reads without end", QStringLiteral("/dev/zero"), false, false, 0},
    };
    std::vector<uint> files; // open after each round; the first loads the plugins
    for (int round = 0; round < 3; ++round) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            const auto start = std::chrono::steady_clock::now();
            const bool libavBefore = LibavLoaded();
            const OpenedClip opened = OpenFile(c.path);
            // MPEG video and audio have lean decoders of their own, and H.264 and AAC are
            // decoded by libavcodec alone: the libav plugin, whose load costs a quarter of a
            // second at the first picture, stays unloaded for them.
            if (c.path == TestMediaPath(TestClip::MpegPs) ||
                c.path == TestMediaPath(TestClip::Mp4)) {
                EXPECT_EQ(LibavLoaded(), libavBefore);
            }
            const bool renders = c.audio || c.video;
            ASSERT_EQ(opened.hr == S_OK, renders) << "result 0x" << std::hex << opened.hr;
            EXPECT_EQ(opened.graph->QueryMediaControl() != nullptr, renders);
            EXPECT_EQ(opened.graph->QueryBasicAudio() != nullptr, c.audio);
            EXPECT_EQ(opened.graph->QueryVideoWindow() != nullptr, c.video);
            if (renders) {
                EXPECT_NEAR(Duration(opened.graph), c.seconds * kUnitsPerSecond, c.seconds * 2.5e6);
            } else {
                EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout);
            }
        }
        files.push_back(QDir(QStringLiteral("/proc/self/fd")).count());
    }
    EXPECT_EQ(files[1], files[2]);
}

} // namespace
