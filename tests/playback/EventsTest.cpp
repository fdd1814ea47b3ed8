#include "MessageRecorder.h"
#include "PlaybackTestSupport.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

constexpr int kEndBound = 5000; // ms: the clips are 3 s long

TEST(GraphEvents, EndOfStreamQueuesCompleteAndPostsOneMessagePerBatch)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    int nNotices = 0;
    CMessageRecorder window([&](std::uint32_t message) { nNotices += message == WM_GRAPH_NOTIFY; });
    opened.graph->QueryMediaEventEx()->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, 0);
    const REFERENCE_TIME nearTheEnd = kClipLength - 5 * kOneFrame;
    ASSERT_EQ(SeekTo(opened.graph, nearTheEnd), S_OK);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return nNotices >= 1; }, kEndBound));

    // A second end while the first is still queued joins its batch: no second message.
    ASSERT_EQ(SeekTo(opened.graph, nearTheEnd), S_OK);
    QTest::qWait(1000);
    EXPECT_EQ(nNotices, 1);
    EXPECT_EQ(DrainEvents(opened.graph), (std::vector<long>{EC_COMPLETE, EC_COMPLETE}));

    // Drained: the next end starts a new batch and is announced again.
    ASSERT_EQ(SeekTo(opened.graph, nearTheEnd), S_OK);
    EXPECT_TRUE(QTest::qWaitFor([&] { return nNotices == 2; }, kEndBound));
    EXPECT_EQ(DrainEvents(opened.graph), (std::vector<long>{EC_COMPLETE}));
}

TEST(GraphEvents, TruncatedFilePlaysWhatItHoldsAndCompletes)
{
    const OpenedClip opened = OpenClip(TestClip::Truncated);
    ASSERT_EQ(opened.hr, S_OK);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam param = 0;
    // Waits in GetEvent itself, without an event loop.
    ASSERT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 2 * kEndBound),
              S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    // It ended where its data ended.
    EXPECT_LT(Position(opened.graph), kClipLength);
}

// The bound on prerolling that keeps a stalled file from hanging the player, shown on a pipeline
// that never gets its first buffer, handed to the graph as a capture preview hands its own.
TEST(RenderPipeline, APipelineThatNeverPrerollsIsRefusedAfterTheBoundAndDropped)
{
    const GraphPtr graph = IGraphBuilder::Create();
    const auto start = std::chrono::steady_clock::now();
    const HRESULT hr = graph->Core()->RenderPipeline(
        AdoptElement(gst_parse_launch("appsrc ! fakesink", nullptr)), true, false);
    EXPECT_LT(std::chrono::steady_clock::now() - start, CGraphCore::kRenderTimeout + 1s);
    EXPECT_EQ(hr, VFW_E_TIMEOUT);
    EXPECT_EQ(graph->Core()->Pipeline(), nullptr);
}

} // namespace
