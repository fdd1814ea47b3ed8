// The capture builder through the preview's own object, on the tests' devices: what RenderStream
// builds, and what it refuses without touching the graph it was given.

#include "TestDeviceProvider.h"
#include "capture/DeviceEnum.h"
#include "capture/ISampleCaptureGraphBuilder.h"
#include "playback/BaseFilter.h"
#include "playback/GraphCore.h"
#include "playback/MediaFramework.h"

#include <gtest/gtest.h>

namespace {

// The source of the first device listed now.
std::shared_ptr<IBaseFilter> FirstDeviceSource()
{
    std::shared_ptr<IEnumMoniker> pEnum;
    std::shared_ptr<IMoniker> pMoniker;
    std::shared_ptr<IBaseFilter> pSource;
    const auto pDevEnum = ICreateDevEnum::Create();
    if (pDevEnum &&
        pDevEnum->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &pEnum, 0) == S_OK) {
        pEnum->Next(&pMoniker);
        pMoniker->BindToObject(&pSource);
    }
    return pSource;
}

struct RenderCase
{
    const char* name;
    TestSource source;
    bool bGraphGiven;    // SetFiltergraph before RenderStream
    bool bSourceInGraph; // AddFilter before RenderStream
    GUID type;
    bool bOwnRenderer; // the caller passes a renderer of its own
    int nRenders;      // RenderStream calls; the result of the last is checked
    HRESULT hrLast;
    bool bRendered; // the graph holds a pipeline afterwards
};

class CaptureGraphBuilderTest : public ::testing::TestWithParam<RenderCase>
{
protected:
    void SetUp() override { RegisterTestDeviceProvider(); }
    void TearDown() override { SetTestDevices({}); }
};

TEST_P(CaptureGraphBuilderTest, RenderStreamBuildsTheVideoPreviewOnceOrRefuses)
{
    const RenderCase& c = GetParam();
    SetTestDevices({{"Camera", true, c.source}});
    const std::shared_ptr<IBaseFilter> pSource = FirstDeviceSource();
    ASSERT_TRUE(pSource);
    const std::shared_ptr<IGraphBuilder> pGraph = IGraphBuilder::Create();
    ISampleCaptureGraphBuilder builder;
    ASSERT_TRUE(builder.HasBuilder());
    if (c.bGraphGiven) {
        ASSERT_EQ(builder.SetFiltergraph(pGraph), S_OK);
        // One graph per builder: a second is refused and the first stays.
        EXPECT_EQ(builder.SetFiltergraph(IGraphBuilder::Create()), E_UNEXPECTED);
        std::shared_ptr<IGraphBuilder> pHeld;
        EXPECT_EQ(builder.GetFiltergraph(&pHeld), S_OK);
        EXPECT_EQ(pHeld, pGraph);
    }
    if (c.bSourceInGraph) {
        ASSERT_EQ(pGraph->AddFilter(pSource, QStringLiteral("Camera")), S_OK);
    }

    HRESULT hr = E_FAIL;
    GstElement* pFirstPipeline = nullptr;
    for (int i = 0; i < c.nRenders; ++i) {
        hr = builder.RenderStream(&PIN_CATEGORY_PREVIEW, &c.type, pSource.get(), nullptr,
                                  c.bOwnRenderer ? pSource.get() : nullptr);
        if (i == 0) {
            pFirstPipeline = pGraph->Core()->Pipeline();
        }
    }

    EXPECT_EQ(hr, c.hrLast);
    EXPECT_EQ(pGraph->Core()->IsRendered(), c.bRendered);
    EXPECT_EQ(pGraph->Core()->Pipeline(), pFirstPipeline) << "a refusal changed the graph";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureGraphBuilderTest,
    ::testing::Values(
        RenderCase{"VideoPreview", TestSource::Pattern, true, true, MEDIATYPE_Video, false, 1, S_OK,
                   true},
        RenderCase{"SecondRenderRefused", TestSource::Pattern, true, true, MEDIATYPE_Video, false,
                   2, E_UNEXPECTED, true},
        RenderCase{"NoGraphGiven", TestSource::Pattern, false, false, MEDIATYPE_Video, false, 1,
                   E_UNEXPECTED, false},
        RenderCase{"SourceNotInTheGraph", TestSource::Pattern, true, false, MEDIATYPE_Video, false,
                   1, E_INVALIDARG, false},
        RenderCase{"AudioAsked", TestSource::Pattern, true, true, MEDIATYPE_Audio, false, 1,
                   E_INVALIDARG, false},
        RenderCase{"CallersRenderer", TestSource::Pattern, true, true, MEDIATYPE_Video, true, 1,
                   E_NOTIMPL, false},
        // The graph's own result for a device that cannot start, and no pipeline left behind.
        RenderCase{"SourceFailsToStart", TestSource::FailsToStart, true, true, MEDIATYPE_Video,
                   false, 1, VFW_E_NOT_FOUND, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
