#include "MessageRecorder.h"
#include "TestMedia.h"
#include "common/AppMessages.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// A damaged file plays what it holds, and ends. The window is told of
// queued events once per batch: each end, once the batch before it has been drained.
TEST(Playing, ATruncatedFilePlaysToItsEndAndEachEndIsAnnouncedOnce)
{
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Truncated));
    ASSERT_EQ(opened.hr, S_OK);
    int nNotices = 0;
    CMessageRecorder window([&](std::uint32_t message) { nNotices += message == WM_GRAPH_NOTIFY; });
    opened.graph->QueryMediaEventEx()->SetNotifyWindow(&window, WM_GRAPH_NOTIFY, 0);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int end = 1; end <= 2; ++end) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return nNotices == end; }, 20000)) << end;
        EXPECT_GT(Position(opened.graph), kClipLength / 2);
        EXPECT_LT(Position(opened.graph), kClipLength);
        std::vector<long> codes;
        long code = 0;
        LParam param = 0;
        while (opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, 0) == S_OK) {
            codes.push_back(code);
        }
        EXPECT_EQ(codes, std::vector<long>{EC_COMPLETE});
        ASSERT_EQ(SeekTo(opened.graph, kClipLength / 2), S_OK);
    }
}

} // namespace
