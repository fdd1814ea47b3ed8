// The picture in a real window on the X server, once per video sink this machine offers, seen by
// looking at the screen. The panel is raised before each look, in case another window covers it.

#include "ColourBars.h"
#include "TestMedia.h"
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

constexpr int kBound = 20000; // ms

// Viewable windows at the top of the server's tree: a window a sink opened of its own would be
// one more, framed by a window manager or not.
int TopLevelWindows()
{
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    int viewable = 0;
    for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, xcb_query_tree_children(tree)[i]),
            nullptr);
        viewable += attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
    }
    std::free(tree);
    return viewable;
}

class VideoWindow : public testing::TestWithParam<VideoSinkKind>
{
protected:
    void Resize(QSize size)
    {
        m_panel.resize(size);
        m_window->SetWindowPosition(0, 0, size.width(), size.height());
    }

    // Looks at each point until it shows its bar (bounded); the bar last seen there.
    void ExpectShown(const std::vector<Probe>& probes)
    {
        for (const Probe& probe : probes) {
            const QPoint p = m_panel.mapToGlobal(probe.at);
            std::string seen;
            (void)QTest::qWaitFor(
                [&] {
                    m_panel.raise();
                    const QImage pixel =
                        m_panel.screen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage();
                    seen = Bar(pixel.pixelColor(0, 0));
                    return seen == probe.bar;
                },
                kBound);
            EXPECT_EQ(seen, probe.bar) << "panel " << m_panel.width() << "x" << m_panel.height()
                                       << " at " << probe.at.x() << "," << probe.at.y();
        }
    }

    QWidget m_panel;
    std::shared_ptr<IVideoWindow> m_window;
};

// The stopped picture fills the panel in its aspect at every size, hides and shows again; a
// window dragged to one size after another while pictures flow never stops the stream; once it
// has ended, a window made larger (full screen) still shows its last picture, filling it.
TEST_P(VideoWindow, ThePictureFollowsThePanelStoppedWhilePlayingAndAfterTheEnd)
{
    ASSERT_TRUE(MediaFrameworkStartup());
    const VideoSinkKind kind = GetParam();
    if ((kind == VideoSinkKind::XVideo && !ProbeVideoOutput().bXVideo) ||
        MakeVideoSink(kind) == nullptr) {
        GTEST_SKIP() << VideoSinkName(kind) << " cannot show video here";
    }
    qputenv("LIBGL_ALWAYS_SOFTWARE", "1"); // the GL sink as a machine without a GPU runs it
    qputenv("VESSA_VIDEO_SINK", VideoSinkName(kind));
    // What the video panel is to the player: a native window that paints its own background.
    m_panel.setAttribute(Qt::WA_NativeWindow);
    m_panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
    const int windows = TopLevelWindows();
    // Rendered before its owner is known, the way a file opened from the list is.
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Avi));
    qunsetenv("VESSA_VIDEO_SINK");
    ASSERT_EQ(opened.hr, S_OK);
    EXPECT_EQ(TopLevelWindows(), windows) << "the sink opened a window of its own";
    m_window = opened.graph->QueryVideoWindow();
    m_window->put_Owner(m_panel.winId());
    m_window->put_Visible(OATRUE);
    // The 4:3 picture, black beside it or above and below it.
    Resize({640, 360});
    std::vector<Probe> probes = PictureCorners({80, 0, 480, 360});
    probes.insert(probes.end(), {{{40, 180}, ""}, {{600, 180}, ""}});
    ExpectShown(probes);
    Resize({320, 400});
    probes = PictureCorners({0, 80, 320, 240});
    probes.insert(probes.end(), {{{160, 40}, ""}, {{160, 360}, ""}});
    ExpectShown(probes);
    // Hidden, the panel shows its background; shown again, the picture is back.
    const QPoint middle(160, 140); // green
    m_window->put_Visible(OAFALSE);
    ExpectShown({{middle, Bar(m_panel.palette().color(QPalette::Window))}});
    m_window->put_Visible(OATRUE);
    ExpectShown({{middle, "g"}});

    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int step = 0; step < 40; ++step) {
        m_window->SetWindowPosition(0, 0, 200 + step * 11, 150 + step * 7);
        QTest::qWait(5);
    }
    const REFERENCE_TIME after = Position(opened.graph);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Position(opened.graph) > after + 5 * kOneFrame; }, kBound))
        << "the stream stopped";
    ASSERT_EQ(SeekTo(opened.graph, kClipLength - 5 * kOneFrame), S_OK);
    long code = 0;
    LParam param = 0;
    ASSERT_EQ(opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, kBound), S_OK);
    ASSERT_EQ(code, EC_COMPLETE);
    Resize({640, 480});
    ExpectShown(PictureCorners({0, 0, 640, 480}));
    EXPECT_EQ(TopLevelWindows(), windows);
}

// A server without a usable X video adaptor and without a GPU (Xvfb announces the extension but
// has no adaptor): the X video sink is missed, the GL context made on Mesa's software rasteriser
// is passed over, and the scaled X sink is left. A GPU's GL, X video or no display at all choose
// otherwise.
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
    if (MakeVideoSink(VideoSinkKind::Gl) != nullptr) {
        EXPECT_TRUE(IsSoftwareGlRenderer(facts.strGlRenderer)) << facts.strGlRenderer;
    }
    EXPECT_EQ(ChooseVideoSink(facts), VideoSinkKind::XImage) << facts.strGlRenderer;
    facts.strGlRenderer = "Mesa Intel(R) UHD Graphics 620 (KBL GT2)";
    EXPECT_EQ(ChooseVideoSink(facts), VideoSinkKind::Gl);
    facts.bXVideo = true;
    EXPECT_EQ(ChooseVideoSink(facts), VideoSinkKind::XVideo);
    facts.bDisplay = false;
    EXPECT_EQ(ChooseVideoSink(facts), VideoSinkKind::Null);
}

INSTANTIATE_TEST_SUITE_P(EverySink, VideoWindow,
                         testing::Values(VideoSinkKind::XImage, VideoSinkKind::Gl,
                                         VideoSinkKind::XVideo),
                         [](const testing::TestParamInfo<VideoSinkKind>& info) {
                             return std::string(VideoSinkName(info.param));
                         });

} // namespace
