// The picture in a real window on the X server, once per video sink this machine offers, seen by
// looking at the screen.

#include "ColourBars.h"
#include "PlaybackTestSupport.h"
#include "playback/GraphCore.h"
#include "playback/SinkFactory.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

constexpr int kBound = 3000; // ms

// Top-level windows mapped on the X server now, whichever client made them.
int CountMappedTopLevels()
{
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    int mapped = 0;
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t child = xcb_query_tree_children(tree)[i];
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, child), nullptr);
        mapped += attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
    }
    std::free(tree);
    return mapped;
}

// The bar the screen shows at a point of the panel once it is the expected one, else the last one
// seen.
std::string ShownBar(const QWidget& panel, QPoint at, const std::string& expected)
{
    const QPoint p = panel.mapToGlobal(at);
    std::string seen;
    const auto isExpected = [&] {
        seen = Bar(panel.screen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0));
        return seen == expected;
    };
    return QTest::qWaitFor(isExpected, kBound) ? expected : seen;
}

class VideoWindow : public testing::TestWithParam<VideoSinkKind>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MediaFrameworkStartup());
        const VideoSinkKind kind = GetParam();
        if (kind == VideoSinkKind::XVideo && !ProbeVideoOutput().bXVideo) {
            GTEST_SKIP() << "this X server has no X video extension";
        }
        if (MakeVideoSink(kind) == nullptr) {
            GTEST_SKIP() << VideoSinkName(kind) << " is not installed";
        }
        // The GL sink as a machine without a GPU runs it.
        qputenv("LIBGL_ALWAYS_SOFTWARE", "1");
        qputenv("VESSA_VIDEO_SINK", VideoSinkName(kind));
    }
    void TearDown() override { qunsetenv("VESSA_VIDEO_SINK"); }

    // What the video panel is to the player: a native window that paints its own background.
    void ShowPanel(QSize size)
    {
        m_panel.setAttribute(Qt::WA_NativeWindow);
        m_panel.resize(size);
        m_panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
    }

    // The test clip opened with its picture in the whole panel.
    void OpenIntoPanel()
    {
        m_opened = OpenClip(TestClip::Avi);
        ASSERT_EQ(m_opened.hr, S_OK);
        m_window = m_opened.graph->QueryVideoWindow();
        m_window->put_Owner(m_panel.winId());
        m_window->put_Visible(OATRUE);
        m_window->SetWindowPosition(0, 0, m_panel.width(), m_panel.height());
    }

    QWidget m_panel;
    OpenedClip m_opened;
    std::shared_ptr<IVideoWindow> m_window;
};

TEST_P(VideoWindow, StoppedPictureFillsTheRectangleKeepsItsAspectHidesAndOpensNoWindowOfItsOwn)
{
    ASSERT_NO_FATAL_FAILURE(ShowPanel({480, 360}));
    QWidget& panel = m_panel;
    const int topLevels = CountMappedTopLevels();

    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    // Prerolled before any owner is known, the sink must not have opened a window of its own.
    EXPECT_EQ(CountMappedTopLevels(), topLevels);

    const auto window = opened.graph->QueryVideoWindow();
    window->put_Owner(panel.winId());
    window->put_Visible(OATRUE);
    const struct
    {
        QSize panel;
        QRect picture; // where the 4:3 picture belongs, black around it
        std::vector<Probe> black;
    } cases[] = {
        {{480, 360}, {0, 0, 480, 360}, {}},
        {{640, 360}, {80, 0, 480, 360}, {{{40, 180}, ""}, {{600, 180}, ""}}},
        {{320, 400}, {0, 80, 320, 240}, {{{160, 40}, ""}, {{160, 360}, ""}}},
    };
    for (const auto& c : cases) {
        panel.resize(c.panel);
        window->SetWindowPosition(0, 0, c.panel.width(), c.panel.height());
        std::vector<Probe> probes = PictureCorners(c.picture);
        probes.insert(probes.end(), c.black.begin(), c.black.end());
        for (const Probe& probe : probes) {
            EXPECT_EQ(ShownBar(panel, probe.at, probe.bar), probe.bar)
                << "panel " << c.panel.width() << "x" << c.panel.height() << " at " << probe.at.x()
                << "," << probe.at.y();
        }
    }

    // Hidden, the panel shows its background; shown again, the picture is back.
    const QPoint middle(160, 140); // green, in the last picture above
    window->put_Visible(OAFALSE);
    const std::string background = Bar(panel.palette().color(QPalette::Window));
    EXPECT_EQ(ShownBar(panel, middle, background), background);
    window->put_Visible(OATRUE);
    EXPECT_EQ(ShownBar(panel, middle, "g"), "g");
    EXPECT_EQ(CountMappedTopLevels(), topLevels);
}

// The first file of the command line is rendered on a thread of its own while the window comes
// up: told its panel ahead, it draws its first picture there with no call after rendering.
TEST_P(VideoWindow, PictureShownAheadOfRenderingFillsThePanelWhenReady)
{
    ASSERT_NO_FATAL_FAILURE(ShowPanel({480, 360}));
    const GraphPtr graph = IGraphBuilder::Create();
    graph->ShowVideoAhead(m_panel.winId(), m_panel.width(), m_panel.height());
    ASSERT_EQ(graph->RenderFile(TestMediaPath(TestClip::Avi)), S_OK);
    for (const Probe& probe : PictureCorners({0, 0, 480, 360})) {
        EXPECT_EQ(ShownBar(m_panel, probe.at, probe.bar), probe.bar)
            << "at " << probe.at.x() << "," << probe.at.y();
    }
}

TEST_P(VideoWindow, ResizingWhilePlayingNeverStopsTheStream)
{
    ASSERT_NO_FATAL_FAILURE(ShowPanel({640, 480}));
    ASSERT_NO_FATAL_FAILURE(OpenIntoPanel());
    ASSERT_EQ(m_opened.graph->QueryMediaControl()->Run(), S_OK);
    // A window dragged to a new size: one size after another while pictures flow.
    for (int step = 0; step < 40; ++step) {
        m_window->SetWindowPosition(0, 0, 200 + step * 11, 150 + step * 7);
        QTest::qWait(5);
    }
    const REFERENCE_TIME after = Position(m_opened.graph);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return Position(m_opened.graph) > after + 5 * kOneFrame; }, kBound))
        << "the stream stopped";
    for (const long code : DrainEvents(m_opened.graph)) {
        EXPECT_NE(code, EC_ERRORABORT);
    }
}

TEST_P(VideoWindow, PictureOfAnEndedStreamFollowsAResize)
{
    // A clip played to its end sends no more pictures: a window made larger afterwards (full
    // screen) still shows the last one, filling its new size.
    ASSERT_NO_FATAL_FAILURE(ShowPanel({320, 240}));
    ASSERT_NO_FATAL_FAILURE(OpenIntoPanel());
    ASSERT_EQ(SeekTo(m_opened.graph, kClipLength - 5 * kOneFrame), S_OK);
    ASSERT_EQ(m_opened.graph->QueryMediaControl()->Run(), S_OK);
    long code = 0;
    LParam param = 0;
    ASSERT_EQ(m_opened.graph->QueryMediaEventEx()->GetEvent(
                  &code, &param, &param, 5000 /* ms: the clip has 5 frames left */),
              S_OK);
    ASSERT_EQ(code, EC_COMPLETE);

    m_panel.resize(640, 480);
    m_window->SetWindowPosition(0, 0, 640, 480);
    for (const Probe& probe : PictureCorners({0, 0, 640, 480})) {
        EXPECT_EQ(ShownBar(m_panel, probe.at, probe.bar), probe.bar)
            << "at " << probe.at.x() << "," << probe.at.y();
    }
}

// The first picture of a file is made while its window is still parked. Made for the size the
// window will be placed at, it shows the moment the window is placed; made for the parked window,
// it would be a dot until the next picture.
TEST(VideoWindowFirstPicture, IsMadeForTheSizeTheWindowIsExpectedToGet)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    qputenv("VESSA_VIDEO_SINK", VideoSinkName(VideoSinkKind::XImage));
    for (const QSize expected : {QSize(400, 300), QSize(240, 180)}) {
        SetExpectedVideoWindowSize(expected.width(), expected.height());
        const OpenedClip opened = OpenClip(TestClip::Avi);
        ASSERT_EQ(opened.hr, S_OK);
        GstSample* sample = nullptr;
        g_object_get(opened.graph->Core()->Pipeline(), "sample", &sample, nullptr);
        ASSERT_NE(sample, nullptr);
        const GstStructure* format = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
        int width = 0;
        int height = 0;
        gst_structure_get_int(format, "width", &width);
        gst_structure_get_int(format, "height", &height);
        gst_sample_unref(sample);
        EXPECT_EQ(QSize(width, height), expected);
    }
    qunsetenv("VESSA_VIDEO_SINK");
}

// A server without a usable X video adaptor and without a GPU (Xvfb announces the extension but
// has no adaptor): the X video sink is missed, the GL context made on Mesa's software rasteriser
// is passed over, and the scaled X sink is left.
TEST(VideoOutputChoice, WithoutXVideoOrAGpuTheScaledPlainXSinkIsChosen)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    VideoOutputFacts facts = ProbeVideoOutput();
    if (facts.bXVideo) {
        GTEST_SKIP() << "this X server can show video through the X video extension";
    }
    EXPECT_TRUE(facts.bDisplay);
    // The probe skips the GL context where no GPU device exists; make it here regardless.
    qputenv("LIBGL_ALWAYS_SOFTWARE", "1");
    facts.strGlRenderer = ProbeGlRenderer();
    facts.bGlSink = true;
    if (!facts.strGlRenderer.empty()) {
        EXPECT_TRUE(IsSoftwareGlRenderer(facts.strGlRenderer)) << facts.strGlRenderer;
    }
    EXPECT_EQ(ChooseVideoSink(facts), VideoSinkKind::XImage) << facts.strGlRenderer;
}

INSTANTIATE_TEST_SUITE_P(EverySink, VideoWindow,
                         testing::Values(VideoSinkKind::XImage, VideoSinkKind::Gl,
                                         VideoSinkKind::XVideo),
                         [](const testing::TestParamInfo<VideoSinkKind>& info) {
                             return std::string(VideoSinkName(info.param));
                         });

} // namespace
