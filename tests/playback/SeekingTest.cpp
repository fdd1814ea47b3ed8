#include "PlaybackTestSupport.h"

#include <QTest>

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr auto kSettle = 3s;

class SeekingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_opened = OpenClip(TestClip::Avi);
        ASSERT_EQ(m_opened.hr, S_OK);
        m_control = m_opened.graph->QueryMediaControl();
        m_seeking = m_opened.graph->QueryMediaSeeking();
    }

    HRESULT SeekTo(REFERENCE_TIME target)
    {
        return m_seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                       AM_SEEKING_NoPositioning);
    }

    OpenedClip m_opened;
    std::shared_ptr<IMediaControl> m_control;
    std::shared_ptr<IMediaSeeking> m_seeking;
};

TEST(Duration, AviIsExactWithinOneFrame)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    EXPECT_NEAR(Duration(opened.graph), kTestClipSeconds * kUnitsPerSecond, kOneFrame);
}

TEST(Duration, MpegProgramStreamIsWithinTheFormatsEstimate)
{
    // GStreamer estimates program stream durations from the bit rate; several percent off is the
    // format, not a fault. A wrong unit or a missing duration is far outside this.
    const OpenedClip opened = OpenClip(TestClip::MpegPs);
    ASSERT_EQ(opened.hr, S_OK);
    EXPECT_NEAR(Duration(opened.graph), kTestClipSeconds * kUnitsPerSecond,
                0.25 * kTestClipSeconds * kUnitsPerSecond);
}

TEST(DefaultAudioSink, PlaysInRealTimeEvenWithoutASoundCard)
{
    // Without the test's null sink the layer picks the audio output itself; on a machine with no
    // sound card that is a null sink, which must still keep the clock.
    const QByteArray testSink = qgetenv("VESSA_AUDIO_SINK");
    qunsetenv("VESSA_AUDIO_SINK");
    const OpenedClip opened = OpenClip(TestClip::AudioOnly);
    qputenv("VESSA_AUDIO_SINK", testSink);
    ASSERT_EQ(opened.hr, S_OK);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(WaitForSettled(opened.graph, kSettle));
    const auto start = std::chrono::steady_clock::now();
    const REFERENCE_TIME from = Position(opened.graph);
    QTest::qWait(500);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    EXPECT_NEAR(Position(opened.graph) - from, elapsed.count() * (kUnitsPerSecond / 1000),
                3 * kOneFrame);
}

TEST_F(SeekingTest, PositionStartsAtZeroAdvancesWhileRunningAndHoldsWhileStopped)
{
    EXPECT_EQ(Position(m_opened.graph), 0);
    ASSERT_EQ(m_control->Run(), S_OK);
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return Position(m_opened.graph) > 10 * kOneFrame; }, 2000));
    ASSERT_EQ(m_control->Stop(), S_OK);
    ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
    const REFERENCE_TIME stopped = Position(m_opened.graph);
    QTest::qWait(300);
    EXPECT_NEAR(Position(m_opened.graph), stopped, kOneFrame);
    EXPECT_LT(stopped, kTestClipSeconds * kUnitsPerSecond);
}

TEST_F(SeekingTest, RunAfterStopContinuesWhereItStopped)
{
    ASSERT_EQ(m_control->Run(), S_OK);
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return Position(m_opened.graph) > kUnitsPerSecond; }, 3000));
    ASSERT_EQ(m_control->Stop(), S_OK);
    ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
    const REFERENCE_TIME stopped = Position(m_opened.graph);

    ASSERT_EQ(m_control->Run(), S_OK);
    ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
    QTest::qWait(200);
    const REFERENCE_TIME resumed = Position(m_opened.graph);
    // Neither back to the start nor a jump ahead: on from the stopped position, in real time.
    EXPECT_GE(resumed, stopped);
    EXPECT_LT(resumed, stopped + 10 * kOneFrame);
}

TEST_F(SeekingTest, AbsoluteSeekLandsWithinOneFrameWhileStoppedOrRunning)
{
    const struct
    {
        const char* what;
        bool running;
        double seconds;
    } cases[] = {
        {"stopped, middle", false, 1.52},
        {"stopped, back to start", false, 0.0},
        {"stopped, near the end", false, 2.8},
        {"running, early", true, 0.4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto target = static_cast<REFERENCE_TIME>(c.seconds * kUnitsPerSecond);
        ASSERT_EQ(c.running ? m_control->Run() : m_control->Stop(), S_OK);
        ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
        ASSERT_EQ(SeekTo(target), S_OK);
        // Until the new picture is there the target is reported, so a slider does not jump back.
        if (!c.running) {
            EXPECT_EQ(Position(m_opened.graph), target);
        }
        ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
        if (c.running) {
            // Real time goes on after the seek.
            EXPECT_GE(Position(m_opened.graph), target - kOneFrame);
            EXPECT_LT(Position(m_opened.graph), target + 5 * kOneFrame);
        } else {
            EXPECT_NEAR(Position(m_opened.graph), target, kOneFrame);
        }
    }
}

TEST_F(SeekingTest, SetPositionsWithoutPositioningLeavesThePosition)
{
    ASSERT_EQ(SeekTo(kUnitsPerSecond), S_OK);
    ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
    REFERENCE_TIME elsewhere = 2 * kUnitsPerSecond;
    EXPECT_EQ(m_seeking->SetPositions(&elsewhere, AM_SEEKING_NoPositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_EQ(m_seeking->SetPositions(nullptr, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_TRUE(WaitForSettled(m_opened.graph, kSettle));
    EXPECT_NEAR(Position(m_opened.graph), kUnitsPerSecond, kOneFrame);
}

TEST_F(SeekingTest, NullOutPointersAreRefused)
{
    EXPECT_EQ(m_seeking->GetDuration(nullptr), E_POINTER);
    EXPECT_EQ(m_seeking->GetCurrentPosition(nullptr), E_POINTER);
}

} // namespace
