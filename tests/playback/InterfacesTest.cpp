#include "PlaybackTestSupport.h"
#include "playback/GraphCore.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(BasicAudio, VolumeInHundredthsOfADecibelSetsTheStreamVolume)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto audio = opened.graph->QueryBasicAudio();
    ASSERT_NE(audio, nullptr);
    const struct
    {
        long volume;
        double linear; // what the pipeline's volume property must read
        long readBack; // what get_Volume gives afterwards
    } cases[] = {
        {-2000, std::pow(10.0, -20.0 / 20.0), -2000}, // the player's start-up volume
        {0, 1.0, 0},                                  // full volume
        {-5000, std::pow(10.0, -2.5), -5000},         // the slider's lowest position
        {-10000, std::pow(10.0, -5.0), -10000},
        {-20000, std::pow(10.0, -5.0), -10000}, // below the range: clamped to -100 dB
        {500, 1.0, 0},                          // above the range: clamped to full, no gain
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        ASSERT_EQ(audio->put_Volume(c.volume), S_OK);
        gdouble linear = -1.0;
        g_object_get(opened.graph->Core()->Pipeline(), "volume", &linear, nullptr);
        EXPECT_NEAR(linear, c.linear, c.linear * 1e-6);
        long readBack = 1;
        ASSERT_EQ(audio->get_Volume(&readBack), S_OK);
        EXPECT_EQ(readBack, c.readBack);
    }
}

struct StreamsCase
{
    TestClip clip;
    bool audio;
    bool video;
};

void PrintTo(const StreamsCase& c, std::ostream* os)
{
    *os << TestClipName(c.clip);
}

class InterfacePresenceTest : public testing::TestWithParam<StreamsCase>
{};

TEST_P(InterfacePresenceTest, AudioAndVideoInterfacesFollowTheStreams)
{
    const StreamsCase& c = GetParam();
    const OpenedClip opened = OpenClip(c.clip);
    ASSERT_EQ(opened.hr, S_OK);
    EXPECT_EQ(opened.graph->QueryBasicAudio() != nullptr, c.audio);
    EXPECT_EQ(opened.graph->QueryVideoWindow() != nullptr, c.video);
    EXPECT_NE(opened.graph->QueryMediaControl(), nullptr);
    EXPECT_NE(opened.graph->QueryMediaSeeking(), nullptr);
    EXPECT_NE(opened.graph->QueryMediaEventEx(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Clips, InterfacePresenceTest,
                         testing::Values(StreamsCase{TestClip::Avi, true, true},
                                         StreamsCase{TestClip::MpegPs, true, true},
                                         StreamsCase{TestClip::VideoOnly, false, true},
                                         StreamsCase{TestClip::AudioOnly, true, false}),
                         [](const testing::TestParamInfo<StreamsCase>& info) {
                             return TestClipName(info.param.clip);
                         });

TEST(GraphBuilder, AnEmptyGraphOffersNoInterface)
{
    const auto graph = IGraphBuilder::Create();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->QueryMediaControl(), nullptr);
    EXPECT_EQ(graph->QueryMediaSeeking(), nullptr);
    EXPECT_EQ(graph->QueryBasicAudio(), nullptr);
    EXPECT_EQ(graph->QueryVideoWindow(), nullptr);
    EXPECT_EQ(graph->QueryMediaEventEx(), nullptr);
}

TEST(VideoWindow, KeepsOwnerRectangleAndVisibilityWithoutADisplay)
{
    // Headless, the sink has no window to draw in; the settings are still kept and answered.
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto window = opened.graph->QueryVideoWindow();
    ASSERT_NE(window, nullptr);
    constexpr OAHWND kOwner = 0x4200007;
    EXPECT_EQ(window->put_Owner(kOwner), S_OK);
    EXPECT_EQ(window->put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN), S_OK);
    EXPECT_EQ(window->SetWindowPosition(0, 0, 640, 360), S_OK);
    EXPECT_EQ(window->put_MessageDrain(kOwner), S_OK);
    EXPECT_EQ(window->put_Visible(OAFALSE), S_OK);
    OAHWND owner = 0;
    long left = -1, top = -1, width = -1, height = -1, visible = OATRUE;
    EXPECT_EQ(window->get_Owner(&owner), S_OK);
    EXPECT_EQ(window->GetWindowPosition(&left, &top, &width, &height), S_OK);
    EXPECT_EQ(window->get_Visible(&visible), S_OK);
    EXPECT_EQ(owner, kOwner);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
    EXPECT_EQ(visible, OAFALSE);
    // The graph still plays.
    EXPECT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    EXPECT_TRUE(WaitForSettled(opened.graph, std::chrono::seconds(3)));
}

} // namespace
