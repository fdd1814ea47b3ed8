// Which video sink the player takes, from what a machine offers.

#include "playback/SinkFactory.h"

#include <gtest/gtest.h>

TEST(SinkChoice, CheapestScalingSinkTheMachineOffersSoftwareGlPassedOver)
{
    constexpr const char* kIntel = "Mesa Intel(R) UHD Graphics 620 (KBL GT2)";
    const struct
    {
        VideoOutputFacts facts;
        VideoSinkKind expected;
    } cases[] = {
        {{false, true, true, kIntel}, VideoSinkKind::Null},
        {{true, true, true, kIntel}, VideoSinkKind::XVideo},
        {{true, false, true, kIntel}, VideoSinkKind::Gl},
        {{true, false, true, "llvmpipe (LLVM 15.0.6, 256 bits)"}, VideoSinkKind::XImage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VideoSinkName(ChooseVideoSink(c.facts)), VideoSinkName(c.expected));
    }
}
