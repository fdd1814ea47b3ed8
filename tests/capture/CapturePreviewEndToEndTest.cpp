// The capture preview as a person sees it on the X server, with the real video sink: the
// device's picture in the video panel, and the panel black again once the preview has ended.

#include "ChooserAnswer.h"
#include "MainWindowFixture.h"
#include "TestDeviceProvider.h"

#include <QScreen>

#include <cstdlib>

namespace {

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

    // The expected colour once the screen shows one near it in the middle of the video panel,
    // whichever window drew it; the last colour seen when the bounded wait is over.
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
        return (bNear ? expected : seen).name().toStdString();
    }
};

TEST_F(CaptureEndToEndTest, TheDevicesPictureShowsInThePanelUntilStop)
{
    // The middle of the device's colour bars is the green one, however the sink scales them.
    ASSERT_EQ(MiddleOfPanelBecomes(Qt::black), "#000000") << "the idle panel is black";
    PressVideoIn(Button(IDC_VIDEO_IN));
    EXPECT_EQ(MiddleOfPanelBecomes(Qt::green), "#00ff00");
    Click(IDC_STOP);
    EXPECT_EQ(MiddleOfPanelBecomes(Qt::black), "#000000");
}

} // namespace
