// The capture preview as a person sees it on the X server: the device's picture in the video
// panel, black again after Stop or unplugging, back with a second "Video In", gone when a file
// is opened.

#include "ChooserAnswer.h"
#include "TestDeviceProvider.h"
#include "app/MainWindowFixture.h"
#include "app/MediaSession.h"

#include <QScreen>

#include <cstdlib>

namespace {

// The middle of the device's colour bars is the green one;
// the sink may scale the picture or centre it, the middle stays green.
const QColor kBarGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);

class CaptureEndToEndTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        RegisterTestDeviceProvider();
        SetTestDevices({{"Camera"}});
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        SetTestDevices({});
    }

    void VideoIn() const { PressVideoIn(Button(IDC_VIDEO_IN)); }

    // Whether the screen shows that colour in the middle of the video panel within a bounded
    // wait, whichever window drew it; the last colour seen otherwise.
    std::string MiddleOfPanelBecomes(const QColor& expected) const
    {
        QWidget* panel = Control(IDC_VIDEO_PANEL);
        const QPoint p = panel->mapToGlobal(panel->rect().center());
        QColor seen;
        const bool bNear = WaitFor([&] {
            seen = panel->screen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0);
            return std::abs(seen.red() - expected.red()) +
                       std::abs(seen.green() - expected.green()) +
                       std::abs(seen.blue() - expected.blue()) <
                   60;
        });
        return bNear ? expected.name().toStdString() : seen.name().toStdString();
    }
};

TEST_F(CaptureEndToEndTest, PictureInThePanelBlackAfterStopOrUnplugAgainOnVideoInEndedByAFile)
{
    const std::string green = kBarGreen.name().toStdString();
    const std::string black = kBlack.name().toStdString();
    ASSERT_EQ(MiddleOfPanelBecomes(kBlack), black) << "the idle panel is black";

    VideoIn();
    EXPECT_EQ(MiddleOfPanelBecomes(kBarGreen), green);

    Click(IDC_STOP);
    EXPECT_FALSE(g_bCaptureActive);
    EXPECT_EQ(MiddleOfPanelBecomes(kBlack), black);

    VideoIn();
    EXPECT_EQ(MiddleOfPanelBecomes(kBarGreen), green) << "a second Video In shows it again";

    // Unplugged, the device's error arrives as a graph event, is drained, and ends the preview.
    ASSERT_TRUE(UnplugTestDevice("Camera"));
    EXPECT_TRUE(WaitFor([] { return !g_bCaptureActive; }));
    EXPECT_EQ(MiddleOfPanelBecomes(kBlack), black);

    SetTestDevices({{"Camera"}});
    VideoIn();
    EXPECT_EQ(MiddleOfPanelBecomes(kBarGreen), green);
    OpenWithOpenCommand(TestMediaPath(TestClip::Avi));
    EXPECT_FALSE(g_bCaptureActive);
    EXPECT_FALSE(g_pCaptureBuilder);
    EXPECT_EQ(LiveTestSources(), 0) << "the device stays open under the file";
    EXPECT_EQ(Dlg().windowTitle(), TitleOf(TestMediaPath(TestClip::Avi)));
}

} // namespace
