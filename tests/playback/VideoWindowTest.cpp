#include "PlaybackTestSupport.h"
#include "XScreenProbe.h"

#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kPanelWidth = 480;
constexpr int kPanelHeight = 360;
constexpr int kBound = 3000; // ms

// What the video panel is to the player: a native window that paints itself black and takes the
// mouse.
class CPanelStandIn : public QWidget
{
public:
    CPanelStandIn()
    {
        setAttribute(Qt::WA_NativeWindow);
        setAutoFillBackground(true);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        setFixedSize(kPanelWidth, kPanelHeight);
    }
    int Presses() const { return m_nPresses; }

protected:
    void mousePressEvent(QMouseEvent* /*event*/) override { ++m_nPresses; }

private:
    int m_nPresses = 0;
};

struct SinkCase
{
    const char* name;
    const char* description; // empty: the layer's default sink
    bool scalesToTheRectangle;
};

void PrintTo(const SinkCase& c, std::ostream* os)
{
    *os << c.name;
}

class VideoWindowTest : public testing::TestWithParam<SinkCase>
{
protected:
    void SetUp() override
    {
        const char* description = GetParam().description;
        if (*description == '\0') {
            qunsetenv("VESSA_VIDEO_SINK");
        } else {
            qputenv("VESSA_VIDEO_SINK", description);
        }
        ASSERT_TRUE(m_probe.IsOpen());
        m_panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
        m_probe.TakeMappedTopLevels();
    }

    QColor At(int x, int y) { return m_probe.ColorAt(m_panel.winId(), x, y); }

    bool WaitForColor(int x, int y, const QColor& expected)
    {
        return QTest::qWaitFor([&] { return IsNear(At(x, y), expected); }, kBound);
    }

    CXScreenProbe m_probe;
    CPanelStandIn m_panel;
};

// The colour bars of the test clips: the middle one is green, the last one blue.
const QColor kGreenBar(0, 255, 0);
const QColor kBlueBar(0, 0, 255);
constexpr int kMiddleX = kPanelWidth / 2;
constexpr int kLastBarX = kPanelWidth * 13 / 14;
constexpr int kBarsY = kPanelHeight / 4;

TEST_P(VideoWindowTest, PictureDrawsOnlyIntoTheOwnerNeverIntoAWindowOfItsOwn)
{
    const OpenedClip opened = OpenClip(TestClip::Avi);
    ASSERT_EQ(opened.hr, S_OK);
    const auto control = opened.graph->QueryMediaControl();
    // Prerolled and even running before any owner is known: the sink must not open a window.
    ASSERT_EQ(control->Run(), S_OK);
    QTest::qWait(300);
    ASSERT_EQ(control->Stop(), S_OK);
    ASSERT_TRUE(WaitForSettled(opened.graph, std::chrono::seconds(3)));
    EXPECT_TRUE(m_probe.TakeMappedTopLevels().empty());

    const auto window = opened.graph->QueryVideoWindow();
    ASSERT_NE(window, nullptr);
    window->put_Owner(m_panel.winId());
    window->put_WindowStyle(WS_CHILD | WS_CLIPCHILDREN);
    window->SetWindowPosition(0, 0, kPanelWidth, kPanelHeight);
    window->put_MessageDrain(m_panel.winId());
    window->put_Visible(OATRUE);
    // The paused picture appears in the panel without playing on.
    EXPECT_TRUE(WaitForColor(kMiddleX, kBarsY, kGreenBar))
        << At(kMiddleX, kBarsY).name().toStdString();
    if (GetParam().scalesToTheRectangle) {
        EXPECT_TRUE(WaitForColor(kLastBarX, kBarsY, kBlueBar))
            << At(kLastBarX, kBarsY).name().toStdString();
    }

    // A click on the picture reaches the panel: the sink takes no input.
    const QPoint onPicture = m_panel.mapToGlobal(QPoint(kMiddleX, kBarsY));
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(onPicture.x()),
                   QString::number(onPicture.y()), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(xdotool.waitForFinished(kBound));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_panel.Presses() == 1; }, kBound));

    // Hidden: the panel shows its own black; shown again: the picture is back.
    window->put_Visible(OAFALSE);
    EXPECT_TRUE(WaitForColor(kMiddleX, kBarsY, Qt::black))
        << At(kMiddleX, kBarsY).name().toStdString();
    window->put_Visible(OATRUE);
    EXPECT_TRUE(WaitForColor(kMiddleX, kBarsY, kGreenBar))
        << At(kMiddleX, kBarsY).name().toStdString();

    EXPECT_TRUE(m_probe.TakeMappedTopLevels().empty());
}

INSTANTIATE_TEST_SUITE_P(Sinks, VideoWindowTest,
                         testing::Values(SinkCase{"Default", "", true},
                                         SinkCase{"XImageSink", "ximagesink", false}),
                         [](const testing::TestParamInfo<SinkCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
