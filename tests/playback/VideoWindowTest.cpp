// The picture in a real window on the X server, once per video sink this machine offers, seen by
// looking at the screen. The panel is raised before each look, in case another window covers it.

#include "ColourBars.h"
#include "TestMedia.h"
#include "playback/SinkFactory.h"

#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kBound = 20000; // ms

// Looks at each point of the panel until it shows its bar (bounded); the bar last seen there.
void ExpectShown(QWidget& panel, const std::vector<Probe>& probes)
{
    for (const Probe& probe : probes) {
        const QPoint p = panel.mapToGlobal(probe.at);
        std::string seen;
        (void)QTest::qWaitFor(
            [&] {
                panel.raise();
                const QImage pixel = panel.screen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage();
                seen = Bar(pixel.pixelColor(0, 0));
                return seen == probe.bar;
            },
            kBound);
        EXPECT_EQ(seen, probe.bar)
            << panel.width() << " wide, at " << probe.at.x() << "," << probe.at.y();
    }
}

using VideoWindow = testing::TestWithParam<VideoSinkKind>;

// The stopped picture fills the panel in its aspect, and comes back where another window hid it;
// a window dragged to one size after another while pictures flow never stops the stream; once it
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
    QWidget panel;
    panel.setAttribute(Qt::WA_NativeWindow);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    // Rendered before its owner is known, the way a file opened from the list is.
    const OpenedClip opened = OpenFile(TestMediaPath(TestClip::Avi));
    qunsetenv("VESSA_VIDEO_SINK");
    ASSERT_EQ(opened.hr, S_OK);
    const auto window = opened.graph->QueryVideoWindow();
    window->put_Owner(panel.winId());
    window->put_Visible(OATRUE);
    // The 4:3 picture, black beside it.
    panel.resize(640, 360);
    window->SetWindowPosition(0, 0, 640, 360);
    std::vector<Probe> probes = PictureCorners({80, 0, 480, 360});
    probes.insert(probes.end(), {{{40, 180}, ""}, {{600, 180}, ""}});
    ExpectShown(panel, probes);
    // Covered by another window and uncovered again: what was hidden is drawn anew.
    QWidget cover(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    cover.setStyleSheet(QStringLiteral("background: red"));
    cover.setGeometry(QRect(panel.mapToGlobal(QPoint(0, 0)), panel.size()));
    cover.show();
    const QPoint middle = panel.mapToGlobal(QPoint(320, 180));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage pixel =
                panel.screen()->grabWindow(0, middle.x(), middle.y(), 1, 1).toImage();
            return Bar(pixel.pixelColor(0, 0)) == "r";
        },
        kBound))
        << "the cover never came over the panel";
    cover.hide();
    ExpectShown(panel, probes);

    ASSERT_EQ(opened.graph->QueryMediaControl()->Run(), S_OK);
    for (int step = 0; step < 40; ++step) {
        window->SetWindowPosition(0, 0, 200 + step * 11, 150 + step * 7);
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
    panel.resize(640, 480);
    window->SetWindowPosition(0, 0, 640, 480);
    ExpectShown(panel, PictureCorners({0, 0, 640, 480}));
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
