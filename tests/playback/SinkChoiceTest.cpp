// Which video sink the player takes, from what a machine offers.

#include "playback/SinkFactory.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kIntel = "Mesa Intel(R) UHD Graphics 620 (KBL GT2)";
constexpr const char* kLlvmpipe = "llvmpipe (LLVM 15.0.6, 256 bits)";

TEST(SinkChoice, CheapestScalingSinkTheMachineOffersSoftwareGlPassedOver)
{
    const struct
    {
        const char* what;
        VideoOutputFacts facts;
        VideoSinkKind expected;
    } cases[] = {
        {"no display, whatever else", {false, true, true, kIntel}, VideoSinkKind::Null},
        {"X video extension", {true, true, true, kIntel}, VideoSinkKind::XVideo},
        {"hardware GL", {true, false, true, kIntel}, VideoSinkKind::Gl},
        {"NVIDIA GL", {true, false, true, "NVIDIA GeForce GTX 1060/PCIe/SSE2"}, VideoSinkKind::Gl},
        {"llvmpipe", {true, false, true, kLlvmpipe}, VideoSinkKind::XImage},
        {"softpipe", {true, false, true, "softpipe"}, VideoSinkKind::XImage},
        {"swrast", {true, false, true, "Mesa DRI swrast"}, VideoSinkKind::XImage},
        {"old software rasteriser",
         {true, false, true, "Software Rasterizer"},
         VideoSinkKind::XImage},
        {"no GL context", {true, false, true, ""}, VideoSinkKind::XImage},
        {"GL sink not installed", {true, false, false, kIntel}, VideoSinkKind::XImage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VideoSinkName(ChooseVideoSink(c.facts)), VideoSinkName(c.expected)) << c.what;
    }
}

} // namespace
