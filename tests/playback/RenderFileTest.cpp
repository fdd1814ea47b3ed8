#include "PlaybackTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct FileCase
{
    const char* what;
    QString path;
    bool audio; // a file is rendered exactly when it offers a stream
    bool video;
};

// Every kind of file the player may be handed, some of them in a folder of the test's own.
class RenderFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // A reader that opened it would wait for a writer for ever.
        ASSERT_EQ(::mkfifo(QFile::encodeName(m_fifo).constData(), 0600), 0);
    }

    QTemporaryDir m_dir;
    const QString m_fifo = m_dir.filePath(QStringLiteral("pipe.avi"));
    const std::vector<FileCase> m_cases{
        {"avi", TestMediaPath(TestClip::Avi), true, true},
        {"mpeg-ps", TestMediaPath(TestClip::MpegPs), true, true},
        {"video only", TestMediaPath(TestClip::VideoOnly), false, true},
        {"audio only", TestMediaPath(TestClip::AudioOnly), true, false},
        // Spaces, '#', '%' and letters beyond ASCII in the name must survive the trip into a URI.
        {"odd name", TestMediaPath(TestClip::OddName), true, true},
        {"truncated", TestMediaPath(TestClip::Truncated), true, true},
        // The audio would play, the video has no decoder: half a film is not offered.
        {"no video decoder", TestMediaPath(TestClip::NoVideoDecoder), false, false},
        {"not media", TestMediaPath(TestClip::NotMedia), false, false},
        {"empty", TestMediaPath(TestClip::Empty), false, false},
        {"missing", m_dir.filePath(QStringLiteral("missing.avi")), false, false},
        {"folder", m_dir.path(), false, false},
        {"fifo", m_fifo, false, false},
        {"device that reads without end", QStringLiteral("/dev/zero"), false, false},
    };
};

TEST_F(RenderFileTest, EachKindOfFileIsRenderedWithItsStreamsOrRefusedQuickly)
{
    for (const FileCase& c : m_cases) {
        SCOPED_TRACE(c.what);
        const auto start = std::chrono::steady_clock::now();
        const OpenedClip opened = OpenFile(c.path);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const bool renders = c.audio || c.video;
        EXPECT_EQ(opened.hr == S_OK, renders) << "result 0x" << std::hex << opened.hr;
        if (!renders) {
            EXPECT_LT(elapsed, 1s);
        }
        EXPECT_EQ(opened.graph->QueryMediaControl() != nullptr, renders);
        EXPECT_EQ(opened.graph->QueryBasicAudio() != nullptr, c.audio);
        EXPECT_EQ(opened.graph->QueryVideoWindow() != nullptr, c.video);
    }
}

TEST_F(RenderFileTest, RefusalsLeaveNoOpenFileOrThreadBehind)
{
    const auto refuseAll = [this] {
        for (const FileCase& c : m_cases) {
            if (!c.audio && !c.video) {
                EXPECT_NE(OpenFile(c.path).hr, S_OK) << c.what;
            }
        }
    };
    // The first round loads the plugins and starts GStreamer's process-wide helpers.
    refuseAll();
    const int files = CountOpenFiles();
    const int threads = SettleThreads(0, 200ms);
    for (int round = 0; round < 3; ++round) {
        refuseAll();
    }
    EXPECT_EQ(CountOpenFiles(), files);
    EXPECT_LE(SettleThreads(threads, 5s), threads);
}

// The length loader renders and measures on a thread of its own, which has no event loop; the
// AVI's exact length there is checked through the loader itself (TrackLengthLoaderTest).
TEST(Duration, MpegIsWithinTheEstimateOnAThreadWithoutEventLoop)
{
    REFERENCE_TIME duration = -1;
    std::thread loader([&] { duration = Duration(OpenClip(TestClip::MpegPs).graph); });
    loader.join();
    // Program stream durations are estimated from the bit rate; a wrong unit or a missing
    // duration is far outside this.
    EXPECT_NEAR(duration, kClipLength, kClipLength / 4);
}

} // namespace
