#include "PlaybackTestSupport.h"
#include "playback/GraphCore.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kSettle = 3s;

TEST(MediaControl, PositionRunsHoldsWhileStoppedContinuesAndSeeksWithinOneFrame)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const GraphPtr& graph = opened.graph;
    const auto control = graph->QueryMediaControl();
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position(graph) > kUnitsPerSecond; }, 3000));
    ASSERT_EQ(control->Stop(), S_OK);
    ASSERT_TRUE(WaitForSettled(graph, kSettle));
    const REFERENCE_TIME stopped = Position(graph);
    EXPECT_GT(stopped, kUnitsPerSecond);
    QTest::qWait(300);
    EXPECT_NEAR(Position(graph), stopped, kOneFrame);

    // On from where it stopped: neither back to the start nor a jump ahead.
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_TRUE(WaitForSettled(graph, kSettle));
    QTest::qWait(200);
    EXPECT_GE(Position(graph), stopped);
    EXPECT_LT(Position(graph), stopped + 10 * kOneFrame);

    ASSERT_EQ(control->Stop(), S_OK);
    for (const double seconds : {1.52, 0.0, 2.8}) {
        SCOPED_TRACE(seconds);
        const auto target = static_cast<REFERENCE_TIME>(seconds * kUnitsPerSecond);
        ASSERT_TRUE(WaitForSettled(graph, kSettle));
        ASSERT_EQ(SeekTo(graph, target), S_OK);
        // Until the new picture is there the target is reported, so a slider does not jump back.
        EXPECT_EQ(Position(graph), target);
        ASSERT_TRUE(WaitForSettled(graph, kSettle));
        EXPECT_NEAR(Position(graph), target, kOneFrame);
    }
}

TEST(BasicAudio, VolumeInHundredthsOfADecibelReachesTheStreamWithinItsRange)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto audio = opened.graph->QueryBasicAudio();
    // Outside the range the volume is held at -100 dB, and at full volume rather than a gain.
    const struct
    {
        long volume;
        double linear;
    } cases[] = {{-2000, 0.1}, {0, 1.0}, {-10000, 1e-5}, {-20000, 1e-5}, {500, 1.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        ASSERT_EQ(audio->put_Volume(c.volume), S_OK);
        gdouble linear = -1.0;
        g_object_get(opened.graph->Core()->Pipeline(), "volume", &linear, nullptr);
        EXPECT_NEAR(linear, c.linear, c.linear * 1e-6);
    }
}

// The first graph plays on the audio output the layer picks itself: with no sound card that is a
// null sink, which must still keep the clock.
TEST(GraphLifetime, ASecondGraphLeavesTheFirstPlayingAndReleasingItLeavesNoThread)
{
    const QByteArray testSink = qgetenv("VESSA_AUDIO_SINK");
    qunsetenv("VESSA_AUDIO_SINK");
    const OpenedClip first = OpenClip(TestClip::AudioOnly);
    qputenv("VESSA_AUDIO_SINK", testSink);
    ASSERT_EQ(first.hr, S_OK);
    ASSERT_EQ(first.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position(first.graph) > 5 * kOneFrame; }, 3000));
    const int threads = SettleThreads(0, 200ms);
    const auto start = Clock::now();
    const REFERENCE_TIME firstFrom = Position(first.graph);
    {
        const OpenedClip second = OpenClip(TestClip::Avi);
        ASSERT_EQ(second.hr, S_OK);
        QTest::qWait(300);
        EXPECT_EQ(Position(second.graph), 0); // rendered, not started
        ASSERT_EQ(second.graph->QueryMediaControl()->Run(), S_OK);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Position(second.graph) > 5 * kOneFrame; }, 3000));
        EXPECT_GT(CountThreads(), threads);
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_NEAR(Position(first.graph) - firstFrom, elapsed.count() * (kUnitsPerSecond / 1000),
                6 * kOneFrame);
    EXPECT_LE(SettleThreads(threads, 5s), threads);
}

} // namespace
