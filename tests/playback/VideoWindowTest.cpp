// The picture in a real window on the X server, once per video sink this machine offers, seen by
// looking at the screen. Other programs may show windows on the same server meanwhile: the
// panel is raised before each look, and only this process's windows are counted.

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
#include <sys/uio.h>
#include <unistd.h>
#include <xcb/xcbext.h>

namespace {

constexpr int kBound = 20000; // ms

// The process that made the window, as the server's X-Resource extension tells; 0 if it cannot.
std::uint32_t ClientPid(xcb_connection_t* connection, xcb_window_t window)
{
    static xcb_extension_t xres = {"X-Resource", 0};
    // The request's header (xcb fills it in), then one client, named by its window: its process id.
    std::uint32_t request[] = {0, 1, window, 2};
    iovec parts[4] = {{}, {}, {request, sizeof request}, {}};
    const xcb_protocol_request_t query = {2, &xres, 4 /* QueryClientIds */, 0};
    auto* reply = static_cast<std::uint32_t*>(xcb_wait_for_reply(
        connection, xcb_send_request(connection, XCB_REQUEST_CHECKED, parts + 2, &query), nullptr));
    // After the 32-byte header, the one id: client, mask, length, then the process id.
    const std::uint32_t pid = reply != nullptr && reply[2] > 0 ? reply[11] : 0;
    std::free(reply);
    return pid;
}

// Viewable windows this process made outside the panel, anywhere in the tree: a window a sink
// opened of its own would be one, framed by a window manager or not.
int OwnWindowsOutside(const QWidget& panel)
{
    auto* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    std::vector<xcb_window_t> parents{
        xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root};
    int own = 0;
    while (!parents.empty()) {
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, parents.back()), nullptr);
        parents.pop_back();
        for (int i = 0; tree != nullptr && i < xcb_query_tree_children_length(tree); ++i) {
            const xcb_window_t child = xcb_query_tree_children(tree)[i];
            xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, child), nullptr);
            if (child != panel.winId() && attributes != nullptr &&
                attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                own += ClientPid(connection, child) == static_cast<std::uint32_t>(getpid());
                parents.push_back(child);
            }
            std::free(attributes);
        }
        std::free(tree);
    }
    return own;
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
        // What the video panel is to the player: a native window that paints its own background.
        m_panel.setAttribute(Qt::WA_NativeWindow);
        m_panel.resize(320, 240);
        m_panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
        // Rendered before its owner is known, the way a file opened from the list is.
        m_opened = OpenFile(TestMediaPath(TestClip::Avi));
        ASSERT_EQ(m_opened.hr, S_OK);
        EXPECT_EQ(OwnWindowsOutside(m_panel), 0) << "the sink opened a window of its own";
        m_window = m_opened.graph->QueryVideoWindow();
        m_window->put_Owner(m_panel.winId());
        m_window->put_Visible(OATRUE);
        Resize(m_panel.size());
    }
    void TearDown() override { qunsetenv("VESSA_VIDEO_SINK"); }

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
    OpenedClip m_opened;
    std::shared_ptr<IVideoWindow> m_window;
};

TEST_P(VideoWindow, StoppedPictureFillsThePanelInItsAspectHidesAndShowsAgain)
{
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
        Resize(c.panel);
        std::vector<Probe> probes = PictureCorners(c.picture);
        probes.insert(probes.end(), c.black.begin(), c.black.end());
        ExpectShown(probes);
    }
    // Hidden, the panel shows its background; shown again, the picture is back.
    const QPoint middle(160, 140); // green, in the last picture above
    m_window->put_Visible(OAFALSE);
    ExpectShown({{middle, Bar(m_panel.palette().color(QPalette::Window))}});
    m_window->put_Visible(OATRUE);
    ExpectShown({{middle, "g"}});
    EXPECT_EQ(OwnWindowsOutside(m_panel), 0);
}

// A window dragged to one size after another while pictures flow never stops the stream; once it
// has ended, a window made larger (full screen) still shows its last picture, filling it.
TEST_P(VideoWindow, ResizingWhilePlayingNeverStopsItAndTheLastPictureFollowsAResize)
{
    ASSERT_EQ(m_opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int step = 0; step < 40; ++step) {
        m_window->SetWindowPosition(0, 0, 200 + step * 11, 150 + step * 7);
        QTest::qWait(5);
    }
    const REFERENCE_TIME after = Position(m_opened.graph);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Position(m_opened.graph) > after + 5 * kOneFrame; }, kBound))
        << "the stream stopped";
    ASSERT_EQ(SeekTo(m_opened.graph, kClipLength - 5 * kOneFrame), S_OK);
    long code = 0;
    LParam param = 0;
    ASSERT_EQ(m_opened.graph->QueryMediaEventEx()->GetEvent(&code, &param, &param, kBound), S_OK);
    ASSERT_EQ(code, EC_COMPLETE);
    Resize({640, 480});
    ExpectShown(PictureCorners({0, 0, 640, 480}));
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
    if (MakeVideoSink(VideoSinkKind::Gl) != nullptr) {
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
