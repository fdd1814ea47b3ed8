// The real executable under the test run's X server, with or without a window manager: the main
// window's outer rectangle (the frame the window manager draws included) stands at (16, 16) with
// 640 x 480, the playlist window's outer rectangle right under it, and both stay so through the
// compact and full-screen round trips and the user's own moves. Under a window manager the full
// screen is the window manager's full-screen state, above a panel that reserves the screen's top.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFileInfo>
#include <QPalette>
#include <QWidget>

#include <functional>
#include <memory>

// Found by the test framework's printer for the rectangles in failure messages.
inline void PrintTo(const QRect& rc, std::ostream* os)
{
    *os << rc.width() << "x" << rc.height() << "+" << rc.x() << "+" << rc.y();
}

namespace {

bool HasFullScreenState(unsigned long window)
{
    return Tool(QStringLiteral("xprop -id %1 _NET_WM_STATE").arg(window))
        .contains(QLatin1String("_NET_WM_STATE_FULLSCREEN"));
}

// A desktop panel along the top of the screen, as GNOME's, KDE's and XFCE's: a dock window that
// reserves its strip of the screen (_NET_WM_STRUT_PARTIAL) and stays above normal windows.
constexpr int kPanelHeight = 40;
const QColor kPanelColour(255, 0, 255);

std::unique_ptr<QWidget> ShowTopPanel(const QRect& rcScreen)
{
    auto panel = std::make_unique<QWidget>();
    panel->setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    panel->setWindowFlag(Qt::FramelessWindowHint);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    panel->setPalette(palette);
    panel->setGeometry(0, 0, rcScreen.width(), kPanelHeight);
    panel->winId();
    Tool(QStringLiteral("xprop -id %1 -f _NET_WM_STRUT_PARTIAL 32c -set _NET_WM_STRUT_PARTIAL "
                        "0,0,%2,0,0,0,0,0,0,%3,0,0")
             .arg(panel->winId())
             .arg(kPanelHeight)
             .arg(rcScreen.width() - 1));
    panel->show();
    return panel;
}

// Whether any of the panel's strip shows the panel's colour (a screenshot kept as an artefact).
bool PanelShows(const QRect& rcScreen)
{
    const std::vector<QColor> strip = ScreenPixels(QStringLiteral("e2e-placement-panel.png"),
                                                   QRect(0, 0, rcScreen.width(), kPanelHeight));
    return std::count(strip.begin(), strip.end(), kPanelColour) > 0;
}

} // namespace

TEST(WindowPlacementEndToEndTest, OuterRectanglesStayPlacedAndDockedThroughFormsAndMoves)
{
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi)});
    const unsigned long main = WaitForWindow(QStringLiteral("Vessa Video Player - ") +
                                             QFileInfo(TestMediaPath(TestClip::Avi)).fileName());
    const unsigned long playList = WaitForWindow(QStringLiteral("Play List"));
    ASSERT_TRUE(main != 0 && playList != 0);
    const QStringList screenSize = Tool(QStringLiteral("xdotool getdisplaygeometry")).split(' ');
    ASSERT_EQ(screenSize.size(), 2);
    const QRect rcScreen(0, 0, screenSize[0].toInt(), screenSize[1].toInt());
    const bool bWindowManager = Tool(QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK"))
                                    .contains(QLatin1String("window id"));
    std::unique_ptr<QWidget> panel;

    const auto doubleClickPanel = [&] {
        ClickInWindow(main, QPoint(WindowRect(main).width() / 2, 100), 2);
    };
    const auto clickCompact = [&] {
        ClickInWindow(main, StripButton(WindowRect(main).size(), kCompactSlot));
    };
    const auto moveTo = [&](int x, int y) {
        return [&, x, y] {
            Tool(QStringLiteral("xdotool windowmove %1 %2 %3").arg(main).arg(x).arg(y));
        };
    };
    // Each step, and where the main window's outer rectangle stands after it: the screen in
    // full-screen form (the playlist window hidden), else where it stood before the step; a move
    // puts its client area's top-left corner where asked. The first request after start-up is a
    // move, and the forms come back to the moved rectangle.
    struct Step
    {
        const char* name;
        std::function<void()> act;
        QPoint ptMovedTo; // null: no move
        bool bFullScreen = false;
    };
    const Step steps[] = {
        {"start", [] {}, {}},
        {"moved", moveTo(200, 100), {200, 100}},
        {"panel shown",
         [&] {
             if (bWindowManager) {
                 panel = ShowTopPanel(rcScreen);
                 EXPECT_TRUE(QTest::qWaitFor([&] { return PanelShows(rcScreen); }, 20000))
                     << "the panel never showed";
             }
         },
         {}},
        {"full screen", doubleClickPanel, {}, true},
        {"back from full screen", doubleClickPanel, {}},
        {"compact", clickCompact, {}},
        {"back from compact", clickCompact, {}},
        {"moved again", moveTo(60, 300), {60, 300}},
        {"full screen again", doubleClickPanel, {}, true},
        {"back again", doubleClickPanel, {}},
    };
    QRect rcHome(16, 16, 640, 480);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        const auto placed = [&] {
            if (!step.ptMovedTo.isNull()) {
                return WindowRect(main).topLeft() == step.ptMovedTo;
            }
            return OuterRect(main) == (step.bFullScreen ? rcScreen : rcHome);
        };
        EXPECT_TRUE(QTest::qWaitFor(placed, 20000))
            << "main window at " << testing::PrintToString(OuterRect(main)) << " (client "
            << testing::PrintToString(WindowRect(main)) << ")";
        // Nothing takes the window back afterwards: the window manager's late reports do not
        // undo a form or a move.
        QTest::qWait(700);
        EXPECT_TRUE(placed()) << "main window went on to "
                              << testing::PrintToString(OuterRect(main));
        if (!step.ptMovedTo.isNull()) {
            rcHome = OuterRect(main);
            EXPECT_EQ(rcHome.size(), QSize(640, 480)) << "a move keeps the size";
        }
        if (bWindowManager) {
            EXPECT_EQ(HasFullScreenState(main), step.bFullScreen);
        }
        if (step.bFullScreen && panel) {
            EXPECT_FALSE(PanelShows(rcScreen))
                << "the panel shows above the full-screen window (see the artefact)";
        }
        if (!step.bFullScreen) {
            const QRect rcMain = OuterRect(main);
            const QPoint ptDocked(rcMain.left(), rcMain.bottom() + 1);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return OuterRect(playList).topLeft() == ptDocked; }, 20000))
                << "playlist window at " << testing::PrintToString(OuterRect(playList))
                << ", main window at " << testing::PrintToString(rcMain);
        }
    }
    ASSERT_TRUE(PressUntilEnded(player, main, QStringLiteral("Escape"))) << "still running";
    EXPECT_EQ(player.exitCode(), 0);
}
