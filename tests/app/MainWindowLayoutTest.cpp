// The main window's initial state, its layout for several client sizes and its compact and
// full-screen forms, on the offscreen platform.

#include "MainWindowFixture.h"
#include "controls/CTavButtonCtrl.h"

#include <array>

namespace {

// The strip in left-to-right order; the first eight are the button row.
constexpr std::array<int, 11> kStrip{IDC_CHECK_PLAYLIST, IDC_OPEN,         IDC_PREV,
                                     IDC_PLAY,           IDC_NEXT,         IDC_STOP,
                                     IDC_DELETE_FILE,    IDC_COMPACT,      IDC_SLIDER_POSITION,
                                     IDC_STATIC_TIME,    IDC_SLIDER_VOLUME};
constexpr std::array<int, 11> kWidths{60, 32, 32, 32, 32, 32, 32, 32, 120, 50, 50};

// Client sizes and where the 574-wide group box goes: centred, but never left of 0.
const std::pair<QSize, int> kLayouts[] = {
    {{640, 480}, 33}, {{800, 600}, 113}, {{577, 300}, 1}, {{573, 300}, 0}, {{400, 200}, 0},
};

} // namespace

TEST_F(MainWindowTest, StartsAt16x16With640x480AndLaysTheStripOutForEachClientSize)
{
    EXPECT_EQ(Dlg().frameGeometry(), QRect(16, 16, 640, 480));
    EXPECT_EQ(Dlg().windowTitle(), QStringLiteral("Vessa Video Player"));
    EXPECT_FALSE(Button(IDC_PLAY)->isEnabled());
    EXPECT_EQ(Control<CTavButtonCtrl>(IDC_PLAY)->ImageName(), QStringLiteral("playDisabled.png"));
    EXPECT_EQ(Slider(IDC_SLIDER_VOLUME)->value(), -2000);
    for (const auto& [client, xGroup] : kLayouts) {
        SCOPED_TRACE(testing::Message() << client.width() << "x" << client.height());
        Dlg().resize(client);
        const int yGroup = client.height() - 56;
        EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), QRect(xGroup, yGroup, 574, 48));
        int x = xGroup + 10; // the strip starts 10 in
        for (std::size_t i = 0; i < kStrip.size(); ++i) {
            const bool bButton = i < 8;
            const QRect expected(x, yGroup + (bButton ? 16 : 18), kWidths[i], bButton ? 25 : 20);
            EXPECT_EQ(Control(kStrip[i])->geometry(), expected) << "control " << kStrip[i];
            x += kWidths[i] + (i == 9 ? 10 : 5); // the volume stands a little apart
        }
        EXPECT_EQ(Control(IDC_VIDEO_PANEL)->geometry(),
                  QRect(0, 0, client.width(), client.height() - 64));
    }
}

// Compact drops the frame and keeps the outer rectangle as client area; full screen fills the
// screen with the picture alone. Both come back to the same outer rectangle and layout.
TEST_F(MainWindowTest, CompactAndFullScreenRoundTripsRestoreTheOuterRectangle)
{
    Dlg().setGeometry(100, 80, 700, 500);
    const QRect rcBefore = Dlg().frameGeometry();
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    QWidget* panel = Control(IDC_VIDEO_PANEL);
    for (const bool bFullScreen : {false, true}) {
        SCOPED_TRACE(bFullScreen ? "full screen" : "compact");
        const auto Switch = [&] {
            bFullScreen ? QTest::mouseDClick(panel, Qt::LeftButton) : Click(IDC_COMPACT);
        };
        Switch();
        EXPECT_EQ(Dlg().geometry(), bFullScreen ? rcScreen : rcBefore);
        // The picture alone on the screen; in compact form the strip stays under it.
        EXPECT_EQ(panel->geometry(),
                  QRect(0, 0, Dlg().width(), Dlg().height() - (bFullScreen ? 0 : 64)));
        EXPECT_TRUE(Dlg().isVisible()) << "changing the frame must not end the window's run";
        Switch();
        EXPECT_EQ(Dlg().frameGeometry(), rcBefore);
        EXPECT_EQ(Control(IDC_GROUP_CONTROLS)->geometry(), QRect(63, 444, 574, 48));
    }
}
