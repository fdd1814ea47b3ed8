#include "PlaybackTestSupport.h"
#include "common/AppMessages.h"
#include "playback/GraphCore.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// A pipeline built outside the layer (as the capture preview builds its own) and handed to a graph.
std::shared_ptr<IGraphBuilder> GraphWithPipeline(const char* description, HRESULT* hr)
{
    auto graph = IGraphBuilder::Create();
    GError* error = nullptr;
    GstElementHandle pipeline = AdoptElement(gst_parse_launch(description, &error));
    EXPECT_EQ(error, nullptr);
    if (error != nullptr) {
        g_error_free(error);
    }
    *hr = graph->Core()->RenderPipeline(std::move(pipeline), true, false);
    return graph;
}

TEST(RenderPipeline, ALiveSourceNeedsNoPrerollAndOffersVideoInterfacesOnly)
{
    HRESULT hr = E_FAIL;
    const auto graph = GraphWithPipeline("videotestsrc is-live=true ! fakesink sync=true", &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_NE(graph->QueryMediaControl(), nullptr);
    EXPECT_NE(graph->QueryVideoWindow(), nullptr);
    EXPECT_NE(graph->QueryMediaEventEx(), nullptr);
    EXPECT_EQ(graph->QueryBasicAudio(), nullptr);
    ASSERT_EQ(graph->QueryMediaControl()->Run(), S_OK);
    EXPECT_TRUE(WaitForSettled(graph, std::chrono::seconds(3)));
}

TEST(RenderPipeline, APipelineThatCannotStartIsRefusedAndDropped)
{
    HRESULT hr = S_OK;
    // The file source fails as it starts: nothing to read.
    const auto graph = GraphWithPipeline("filesrc location=/nonexistent/file ! fakesink", &hr);
    EXPECT_TRUE(Failed(hr)) << std::hex << hr;
    EXPECT_EQ(graph->Core()->Pipeline(), nullptr);
    EXPECT_EQ(graph->QueryMediaControl(), nullptr);
}

TEST(RenderPipeline, APipelineThatNeverPrerollsIsRefusedAfterTheBoundAndDropped)
{
    HRESULT hr = S_OK;
    const auto start = std::chrono::steady_clock::now();
    // Nothing is ever pushed into the app source, so the sink waits for its first buffer forever.
    const auto graph = GraphWithPipeline("appsrc ! fakesink", &hr);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(hr, VFW_E_TIMEOUT);
    EXPECT_GE(elapsed, CGraphCore::kRenderTimeout);
    EXPECT_LT(elapsed, CGraphCore::kRenderTimeout + std::chrono::seconds(1));
    EXPECT_EQ(graph->Core()->Pipeline(), nullptr);
}

TEST(RenderPipeline, AnErrorWhilePlayingBecomesAnErrorAbortEvent)
{
    HRESULT hr = E_FAIL;
    // Prerolls on its first buffer, fails at the tenth while running.
    const auto graph =
        GraphWithPipeline("videotestsrc ! video/x-raw,framerate=25/1 ! identity error-after=10 ! "
                          "fakesink sync=true",
                          &hr);
    ASSERT_EQ(hr, S_OK);
    const auto events = graph->QueryMediaEventEx();
    CMessageCounter window(WM_GRAPH_NOTIFY);
    events->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, 0);
    ASSERT_EQ(graph->QueryMediaControl()->Run(), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Count() == 1; }, 3000));
    long code = 0;
    LParam param1 = 0;
    LParam param2 = 0;
    ASSERT_EQ(events->GetEvent(&code, &param1, &param2, 0), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_TRUE(Failed(static_cast<HRESULT>(param1)));
}

} // namespace
