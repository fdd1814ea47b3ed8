// The converter in front of the plain X sink: the colours it draws, and the pictures it leaves to
// the converter before it.

#include "playback/XImageConverter.h"

#include "TestMedia.h"
#include "playback/GstHandle.h"
#include "playback/MediaFramework.h"

#include <gst/check/gstharness.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Colorimetry
{
    const char* name; // as caps spell it (1:4:0:0, full-range BT.601, has no name)
    double kr;
    double kb;
    bool fullRange;
};

// Every sample value turns up: luma runs through 0-255 along each row (below black and above
// white included), chroma through its whole range in another rhythm, so that each chroma sample
// meets many lumas.
guint8 LumaAt(int x, int y)
{
    return static_cast<guint8>((x * 7 + y * 61) & 0xff);
}

guint8 ChromaAt(int x, int y, int plane)
{
    return static_cast<guint8>((x * (plane == 1 ? 29 : 47) + y * 89 + plane * 101) & 0xff);
}

int Expected(double value)
{
    return static_cast<int>(std::clamp(std::lround(value), 0L, 255L));
}

// One I420 picture of the given caps, each sample(plane, x, y), its rows padded in memory, through
// the converter: its BGRx pixels, row after row.
std::vector<guint8> Converted(const std::string& caps,
                              const std::function<guint8(int, int, int)>& sample)
{
    GstVideoInfo info;
    GstCaps* parsed = gst_caps_from_string(caps.c_str());
    EXPECT_TRUE(gst_video_info_from_caps(&info, parsed));
    gst_caps_unref(parsed);
    const int width = GST_VIDEO_INFO_WIDTH(&info);
    const int height = GST_VIDEO_INFO_HEIGHT(&info);
    EXPECT_GT(GST_VIDEO_INFO_PLANE_STRIDE(&info, 1), (width + 1) / 2) << "rows not padded";
    GstBuffer* picture = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
    gst_buffer_memset(picture, 0, 0x5a, GST_VIDEO_INFO_SIZE(&info));
    GstVideoFrame frame;
    EXPECT_TRUE(gst_video_frame_map(&frame, &info, picture, GST_MAP_WRITE));
    for (int plane = 0; plane < 3; ++plane) {
        auto* data = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, plane));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, plane);
        for (int y = 0; y < GST_VIDEO_FRAME_COMP_HEIGHT(&frame, plane); ++y) {
            for (int x = 0; x < GST_VIDEO_FRAME_COMP_WIDTH(&frame, plane); ++x) {
                data[y * stride + x] = sample(plane, x, y);
            }
        }
    }
    gst_video_frame_unmap(&frame);

    GstHarness* harness = gst_harness_new_with_element(MakeXImageConverter(), "sink", "src");
    GstCaps* out = gst_caps_from_string(caps.c_str());
    gst_caps_set_simple(out, "format", G_TYPE_STRING, "BGRx", nullptr);
    gst_harness_set_caps(harness, gst_caps_from_string(caps.c_str()), out);
    std::vector<guint8> pixels;
    if (gst_harness_push(harness, picture) == GST_FLOW_OK) {
        GstBuffer* converted = gst_harness_pull(harness);
        GstMapInfo map;
        if (converted != nullptr && gst_buffer_map(converted, &map, GST_MAP_READ)) {
            pixels.assign(map.data, map.data + std::min<gsize>(map.size, width * height * 4));
            gst_buffer_unmap(converted, &map);
        }
        gst_clear_buffer(&converted);
    }
    gst_harness_teardown(harness);
    EXPECT_EQ(pixels.size(), static_cast<size_t>(width * height * 4));
    return pixels;
}

// A picture 53 pixels wide (three runs of sixteen and five on their own, an odd chroma column)
// and 9 high (an odd chroma row), converted through each matrix and range a stream may carry:
// every pixel within one step of the exact conversion, fully opaque, and not darker or lighter on
// the whole.
TEST(XImageConverter, DrawsEveryPixelInTheColoursOfTheStreamsMatrix)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    constexpr int kWidth = 53;
    constexpr int kHeight = 9;
    for (const Colorimetry& c :
         {Colorimetry{"bt601", 0.299, 0.114, false}, Colorimetry{"bt709", 0.2126, 0.0722, false},
          Colorimetry{"bt2020", 0.2627, 0.0593, false},
          Colorimetry{"1:4:0:0", 0.299, 0.114, true}}) {
        SCOPED_TRACE(c.name);
        const std::vector<guint8> pixels =
            Converted("video/x-raw,format=I420,width=53,height=9,framerate=25/1,colorimetry=" +
                          std::string(c.name),
                      [](int plane, int x, int y) {
                          return plane == 0 ? LumaAt(x, y) : ChromaAt(x, y, plane);
                      });
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kWidth * kHeight * 4));

        const double lumaGain = c.fullRange ? 1.0 : 255.0 / 219.0;
        const double chromaGain = c.fullRange ? 1.0 : 255.0 / 224.0;
        const double black = c.fullRange ? 0.0 : 16.0;
        const double kg = 1.0 - c.kr - c.kb;
        int wrong = 0;
        long drift = 0; // the signed differences added up: rounding, not truncating
        for (int y = 0; y < kHeight && wrong < 5; ++y) {
            for (int x = 0; x < kWidth && wrong < 5; ++x) {
                const double luma = (LumaAt(x, y) - black) * lumaGain;
                const double pb = (ChromaAt(x / 2, y / 2, 1) - 128) * chromaGain;
                const double pr = (ChromaAt(x / 2, y / 2, 2) - 128) * chromaGain;
                const int red = Expected(luma + 2 * (1 - c.kr) * pr);
                const int green =
                    Expected(luma - (2 * c.kb * (1 - c.kb) * pb + 2 * c.kr * (1 - c.kr) * pr) / kg);
                const int blue = Expected(luma + 2 * (1 - c.kb) * pb);
                const guint8* pixel = &pixels[(y * kWidth + x) * 4];
                drift += pixel[2] - red + pixel[1] - green + pixel[0] - blue;
                if (std::abs(pixel[2] - red) > 1 || std::abs(pixel[1] - green) > 1 ||
                    std::abs(pixel[0] - blue) > 1 || pixel[3] != 0xff) {
                    ++wrong;
                    ADD_FAILURE() << "at " << x << "," << y << ": drew " << int(pixel[2]) << ","
                                  << int(pixel[1]) << "," << int(pixel[0]) << "," << int(pixel[3])
                                  << ", not " << red << "," << green << "," << blue << ",255";
                }
            }
        }
        EXPECT_LT(std::abs(drift), kWidth * kHeight * 3 / 10) << "colours lean one way";
    }
}

// An interlaced picture's chroma rows take turns between its two fields: each row of a field
// gets its own field's colour, not the other's (red fringes on a blue field).
TEST(XImageConverter, InterlacedPicturesTakeEachFieldsOwnColour)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    // Chroma rows 0, 2 belong to the first field (red), 1, 3 to the second (blue).
    const std::vector<guint8> pixels =
        Converted("video/x-raw,format=I420,width=34,height=8,framerate=25/1,colorimetry=bt601,"
                  "interlace-mode=interleaved",
                  [](int plane, int, int y) -> guint8 {
                      if (plane == 0) {
                          return 81;
                      }
                      const bool red = y % 2 == 0;
                      return plane == 1 ? (red ? 90 : 240) : (red ? 240 : 110);
                  });
    ASSERT_EQ(pixels.size(), 34u * 8u * 4u);
    for (int y = 0; y < 8; ++y) {
        const guint8* pixel = &pixels[y * 34 * 4];
        const bool red = y % 2 == 0;
        EXPECT_EQ(pixel[2] > pixel[0], red)
            << "row " << y << ": " << int(pixel[2]) << "," << int(pixel[1]) << "," << int(pixel[0]);
    }
}

// What reaches the converter: I420 by itself, but a picture of any other format goes to the sink
// converted only by the converter before, as without this one (4:2:2 keeps its chroma rows), and
// a sink that takes no BGRx (a 16-bit server) still gets its pictures.
TEST(XImageConverter, LeavesOtherFormatsAndOtherServersToTheConverterBefore)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    struct Case
    {
        const char* decoded;
        const char* sinkTakes;
        const char* reachingIt;
    };
    for (const Case& c : {Case{"I420", "BGRx", "I420"}, Case{"Y42B", "BGRx", "BGRx"},
                          Case{"I420", "RGB16", "RGB16"}}) {
        SCOPED_TRACE(std::string(c.decoded) + " to " + c.sinkTakes);
        const std::string description =
            std::string("videotestsrc num-buffers=2 ! video/x-raw,format=") + c.decoded +
            ",width=64,height=48 ! videoconvert name=before";
        GError* error = nullptr;
        GstElement* head = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
        ASSERT_EQ(error, nullptr);
        const GstElementHandle pipeline = AdoptElement(gst_pipeline_new(nullptr));
        GstElement* convert = MakeXImageConverter();
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        GstElement* takes = gst_element_factory_make("capsfilter", nullptr);
        GstCaps* caps =
            gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, c.sinkTakes, nullptr);
        g_object_set(takes, "caps", caps, nullptr);
        gst_caps_unref(caps);
        gst_bin_add_many(GST_BIN(pipeline.get()), head, convert, takes, sink, nullptr);
        ASSERT_TRUE(gst_element_link_many(head, convert, takes, sink, nullptr));
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
        EXPECT_TRUE(PlaysToItsEnd(pipeline.get()));

        const GstPadHandle pad(gst_element_get_static_pad(convert, "sink"));
        GstCaps* negotiated = gst_pad_get_current_caps(pad.get());
        ASSERT_NE(negotiated, nullptr);
        EXPECT_STREQ(gst_structure_get_string(gst_caps_get_structure(negotiated, 0), "format"),
                     c.reachingIt);
        gst_caps_unref(negotiated);
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    }
}

} // namespace
