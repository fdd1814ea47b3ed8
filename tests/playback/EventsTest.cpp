#include "PlaybackTestSupport.h"
#include "common/AppMessages.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr LParam kInstance = 7;
constexpr int kEndBound = 5000; // ms: the clips are 3 s long, most tests start near the end

REFERENCE_TIME NearTheEnd()
{
    return static_cast<REFERENCE_TIME>((kTestClipSeconds - 0.2) * kUnitsPerSecond);
}

void SeekTo(const std::shared_ptr<IGraphBuilder>& graph, REFERENCE_TIME target)
{
    ASSERT_EQ(graph->QueryMediaSeeking()->SetPositions(&target, AM_SEEKING_AbsolutePositioning,
                                                       nullptr, AM_SEEKING_NoPositioning),
              S_OK);
}

TEST(GraphEvents, EndOfStreamQueuesCompleteAndPostsOneMessagePerBatch)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto events = opened.graph->QueryMediaEventEx();
    CMessageCounter window(WM_GRAPH_NOTIFY);
    ASSERT_EQ(events->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, kInstance), S_OK);

    SeekTo(opened.graph, NearTheEnd());
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Count() >= 1; }, kEndBound));
    EXPECT_EQ(window.LastLParam(), kInstance);

    // A second end while the first is still queued joins its batch: no second message.
    SeekTo(opened.graph, NearTheEnd());
    QTest::qWait(1000);
    EXPECT_EQ(window.Count(), 1);
    EXPECT_EQ(DrainEvents(events), (std::vector<long>{EC_COMPLETE, EC_COMPLETE}));

    // The queue was drained: the next end starts a new batch and is announced again.
    SeekTo(opened.graph, NearTheEnd());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Count() >= 2; }, kEndBound));
    EXPECT_EQ(DrainEvents(events), (std::vector<long>{EC_COMPLETE}));
    QTest::qWait(200);
    EXPECT_EQ(window.Count(), 2);
}

TEST(GraphEvents, EventsQueuedBeforeRegistrationAreAnnouncedWhenItComes)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto events = opened.graph->QueryMediaEventEx();
    SeekTo(opened.graph, NearTheEnd());
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam p1 = 0;
    LParam p2 = 0;
    // Waits in GetEvent itself, without an event loop, as a worker thread would.
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, kEndBound), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    // Another end, queued with nobody listening.
    SeekTo(opened.graph, NearTheEnd());
    QTest::qWait(1000);
    CMessageCounter window(WM_GRAPH_NOTIFY);
    ASSERT_EQ(events->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, kInstance), S_OK);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.Count() == 1; }, 1000));
    EXPECT_EQ(DrainEvents(events), (std::vector<long>{EC_COMPLETE}));
}

TEST(GraphEvents, GetEventWithoutEventsWaitsOnlyItsTimeOut)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto events = opened.graph->QueryMediaEventEx();
    long code = 0;
    LParam p1 = 0;
    LParam p2 = 0;
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 100), E_ABORT);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 90ms);
    EXPECT_LT(waited, 1s);
    EXPECT_EQ(events->GetEvent(nullptr, &p1, &p2, 0), E_POINTER);
}

TEST(GraphEvents, TruncatedFilePlaysWhatItHoldsAndCompletes)
{
    const OpenedClip opened = OpenClip(TestClip::Truncated);
    ASSERT_EQ(opened.hr, S_OK);
    const auto events = opened.graph->QueryMediaEventEx();
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam p1 = 0;
    LParam p2 = 0;
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 2 * kEndBound), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    // It ended where its data ended, before the full clip's length.
    EXPECT_LT(Position(opened.graph), kTestClipSeconds * kUnitsPerSecond);
}

TEST(GraphEvents, NothingIsPostedAfterTheGraphIsReleased)
{
    CMessageCounter window(WM_GRAPH_NOTIFY);
    {
        const OpenedClip opened = OpenClip(TestClip::Avi);
        ASSERT_EQ(opened.hr, S_OK);
        opened.graph->QueryMediaEventEx()->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, kInstance);
        SeekTo(opened.graph,
               static_cast<REFERENCE_TIME>((kTestClipSeconds - 0.05) * kUnitsPerSecond));
        ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    }
    QTest::qWait(500);
    EXPECT_EQ(window.Count(), 0);
}

TEST(GraphLifetime, ReleasingAPlayingGraphLeavesNoThreadRunning)
{
    const int threads = SettleThreads(0, 200ms);
    {
        const OpenedClip opened = OpenClip(TestClip::Avi);
        ASSERT_EQ(opened.hr, S_OK);
        ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Position(opened.graph) > 5 * kOneFrame; }, 3000));
        EXPECT_GT(CountThreads(), threads);
    }
    EXPECT_LE(SettleThreads(threads, 5s), threads);
}

TEST(GraphLifetime, ASecondGraphRendersWhileTheFirstPlaysWithoutDisturbingIt)
{
    const OpenedClip first = OpenClip(TestClip::Avi);
    ASSERT_EQ(first.hr, S_OK);
    CMessageCounter firstWindow(WM_GRAPH_NOTIFY);
    first.graph->QueryMediaEventEx()->SetNotifyWindow(&firstWindow, WM_GRAPH_NOTIFY, 1);
    ASSERT_EQ(first.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Position(first.graph) > 5 * kOneFrame; }, 3000));

    const auto before = std::chrono::steady_clock::now();
    const REFERENCE_TIME firstBefore = Position(first.graph);
    const OpenedClip second = OpenClip(TestClip::MpegPs);
    ASSERT_EQ(second.hr, S_OK);
    CMessageCounter secondWindow(WM_GRAPH_NOTIFY);
    second.graph->QueryMediaEventEx()->SetNotifyWindow(&secondWindow, WM_GRAPH_NOTIFY, 2);
    // A program stream's first picture need not be at 0.
    const REFERENCE_TIME secondStart = Position(second.graph);
    QTest::qWait(300);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - before);
    // The first went on in real time meanwhile; the second stays stopped where it prerolled.
    const REFERENCE_TIME advanced = Position(first.graph) - firstBefore;
    EXPECT_NEAR(advanced, elapsed.count() * (kUnitsPerSecond / 1000), 6 * kOneFrame);
    EXPECT_EQ(Position(second.graph), secondStart);

    // Each graph's end reaches only its own window.
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstWindow.Count() == 1; }, kEndBound));
    EXPECT_EQ(secondWindow.Count(), 0);
    SeekTo(second.graph, NearTheEnd());
    ASSERT_EQ(second.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondWindow.Count() == 1; }, kEndBound));
    EXPECT_EQ(firstWindow.Count(), 1);
}

} // namespace
