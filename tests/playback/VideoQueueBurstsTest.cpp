#include "playback/VideoQueueBursts.h"

#include "TestMedia.h"
#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"

#include <gst/gst.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

struct Levels
{
    std::mutex lock;
    std::vector<guint> afterEachOut;
};

GstPadProbeReturn RecordLevel(GstPad* pad, GstPadProbeInfo* /*info*/, gpointer data)
{
    auto* levels = static_cast<Levels*>(data);
    guint level = 0;
    g_object_get(GST_PAD_PARENT(pad), "current-level-buffers", &level, nullptr);
    const std::lock_guard<std::mutex> hold(levels->lock);
    levels->afterEachOut.push_back(level);
    return GST_PAD_PROBE_OK;
}

// A source far quicker than the sink it feeds, as a decoder is on a machine with time to spare:
// while playing, the queue before the sink fills up to the burst, runs down to its low mark while
// the source waits, and fills up again, never holding more than the burst. A seek made meanwhile,
// whether the source waits or not, plays on to the end.
TEST(VideoQueueBursts, TheQueueFillsRunsDownAndFillsAgainAcrossASeek)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    const GstElementHandle pipeline = AdoptElement(gst_parse_launch(
        "videotestsrc num-buffers=120 ! video/x-raw,width=64,height=48,framerate=100/1 ! "
        "queue name=vqueue max-size-buffers=3 ! fakesink sync=true",
        nullptr));
    ASSERT_NE(pipeline, nullptr);
    GstElement* queue = gst_bin_get_by_name(GST_BIN(pipeline.get()), "vqueue");
    ASSERT_TRUE(IsVideoSinkQueue(queue));
    DecodeIntoQueueInBursts(queue);
    Levels levels;
    GstPad* out = gst_element_get_static_pad(queue, "src");
    gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_BUFFER, &RecordLevel, &levels, nullptr);
    gst_object_unref(out);

    // Before playing, the queue takes no more than it was made to: the first picture waits for
    // no more decoding than it did.
    gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
    ASSERT_EQ(gst_element_get_state(pipeline.get(), nullptr, nullptr, 5 * GST_SECOND),
              GST_STATE_CHANGE_SUCCESS);
    g_usleep(100000);
    guint prerolled = 0;
    g_object_get(queue, "current-level-buffers", &prerolled, nullptr);
    EXPECT_EQ(prerolled, 3U);
    gst_object_unref(queue);

    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    for (const GstClockTime to : {200 * GST_MSECOND, 430 * GST_MSECOND}) {
        g_usleep(150000);
        EXPECT_TRUE(
            gst_element_seek_simple(pipeline.get(), GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, to));
    }
    EXPECT_TRUE(PlaysToItsEnd(pipeline.get()));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);

    const std::lock_guard<std::mutex> hold(levels.lock);
    const std::vector<guint>& seen = levels.afterEachOut;
    ASSERT_GT(seen.size(), 40U);
    // Read once a picture has gone out, the level may already count the next one in.
    const guint most = *std::max_element(seen.cbegin(), seen.cend());
    EXPECT_GE(most, kVideoQueueBurst - 1);
    EXPECT_LE(most, kVideoQueueBurst);
    // It ran down to the low mark between one time it was full and the next (the picture let in
    // there may be counted already as the one before it goes out).
    int fills = 0;
    bool full = false;
    for (const guint level : seen) {
        if (!full && level >= kVideoQueueBurst - 1) {
            full = true;
            ++fills;
        } else if (full && level <= kVideoQueueLow + 1) {
            full = false;
        }
    }
    EXPECT_GE(fills, 5);
}

} // namespace
