// A process of its own: which plugins are loaded depends on every file the process has opened.

#include "PlaybackTestSupport.h"

#include <QTest>
#include <gst/gst.h>

#include <gtest/gtest.h>

namespace {

bool PluginLoaded(const char* name)
{
    GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), name);
    if (plugin == nullptr) {
        return false;
    }
    const bool loaded = gst_plugin_is_loaded(plugin) != FALSE;
    gst_object_unref(plugin);
    return loaded;
}

bool HasFeature(const char* name)
{
    GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (feature != nullptr) {
        gst_object_unref(feature);
    }
    return feature != nullptr;
}

} // namespace

// MPEG-2 video and MPEG audio play without the libav plugin, whose hundred-odd libraries cost a
// quarter of a second and tens of megabytes at the first picture, where decoders of their own
// play them just as well.
TEST(DecoderChoice, MpegProgramStreamPlaysWithoutLoadingLibav)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    if (!HasFeature("mpeg2dec") || !HasFeature("mpg123audiodec") || !HasFeature("avdec_mp2float")) {
        GTEST_SKIP() << "the decoders to choose between are not all installed";
    }
    ASSERT_FALSE(PluginLoaded("libav"));
    const OpenedClip opened = OpenClip(TestClip::MpegPs);
    ASSERT_EQ(opened.hr, S_OK);
    ASSERT_NE(opened.graph->QueryVideoWindow(), nullptr);
    ASSERT_NE(opened.graph->QueryBasicAudio(), nullptr);
    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Position(opened.graph) > 5 * kOneFrame; }, 5000));
    EXPECT_FALSE(PluginLoaded("libav"));
}
