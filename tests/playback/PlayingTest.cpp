#include "MessageRecorder.h"
#include "TestMedia.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kBound = 20000; // ms, for what a 3 s clip does

TEST(Playing, VolumeInHundredthsOfADecibelReachesTheStreamWithinItsRange)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Avi));
    ASSERT_EQ(opened.hr, S_OK);
    // Below the range the volume is held at -100 dB, above it at full volume rather than a gain.
    for (const auto& [volume, linear] : {std::pair{-2000L, 0.1}, {-20000L, 1e-5}, {500L, 1.0}}) {
        ASSERT_EQ(opened.graph->QueryBasicAudio()->put_Volume(volume), S_OK);
        gdouble set = -1.0;
        g_object_get(opened.graph->Core()->Pipeline(), "volume", &set, nullptr);
        EXPECT_NEAR(set, linear, linear * 1e-6) << volume;
    }
}

// The window is told of queued events once per batch: each end, once the last batch is drained.
TEST(Playing, EachEndIsQueuedAndAnnouncedOnceTheLastBatchIsDrained)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Avi));
    ASSERT_EQ(opened.hr, S_OK);
    int nNotices = 0;
    CMessageRecorder window([&](std::uint32_t message) { nNotices += message == WM_GRAPH_NOTIFY; });
    opened.graph->QueryMediaEventEx()->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, 0);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int end = 1; end <= 2; ++end) {
        ASSERT_EQ(SeekTo(opened.graph, kClipLength - 5 * kOneFrame), S_OK);
        ASSERT_TRUE(QTest::qWaitFor([&] { return nNotices == end; }, kBound)) << end;
        EXPECT_EQ(DrainEvents(opened.graph), std::vector<long>{EC_COMPLETE});
    }
}

TEST(Playing, ATruncatedFilePlaysWhatItHoldsAndEnds)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Truncated));
    ASSERT_EQ(opened.hr, S_OK);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam param = 0;
    // Waits in GetEvent itself, without an event loop.
    ASSERT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, kBound), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_GT(Position(opened.graph), kClipLength / 2);
    EXPECT_LT(Position(opened.graph), kClipLength);
}

// Without a sound card the audio goes to a null sink, which must still keep the clock: the first
// graph plays on in real time while a second one is rendered and played beside it, and the
// second's threads go with it.
TEST(Playing, ASecondGraphLeavesTheFirstPlayingAndLeavesNoThreadBehind)
{
    const QByteArray testSink = qgetenv("VESSA_AUDIO_SINK");
    qunsetenv("VESSA_AUDIO_SINK");
    const OpenedClip first = OpenFile(TestMediaPath(TestClip::AudioOnly));
    qputenv("VESSA_AUDIO_SINK", testSink);
    ASSERT_EQ(first.hr, S_OK);
    ASSERT_EQ(first.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position(first.graph) > 5 * kOneFrame; }, kBound));
    const int threads = SettleThreads(0, 200);
    const auto start = std::chrono::steady_clock::now();
    const REFERENCE_TIME firstFrom = Position(first.graph);
    {
        const OpenedClip second = OpenFile(TestMediaPath(TestClip::Avi));
        ASSERT_EQ(second.hr, S_OK);
        ASSERT_EQ(second.graph->QueryMediaControl()->Run(), S_OK);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Position(second.graph) > 5 * kOneFrame; }, kBound));
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_NEAR(Position(first.graph) - firstFrom,
                std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100,
                6 * kOneFrame);
    EXPECT_LE(SettleThreads(threads, 5000), threads);
}

} // namespace
