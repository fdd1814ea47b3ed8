// The real executable under the test run's X server, with or without a window manager: the main
// window's outer rectangle (the frame the window manager draws included) stands at (16, 16) with
// 640 x 480, the playlist window's outer rectangle right under it, and both stay so through the
// compact and full-screen round trips and the user's own moves.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFileInfo>

#include <functional>

// Found by the test framework's printer for the rectangles in failure messages.
inline void PrintTo(const QRect& rc, std::ostream* os)
{
    *os << rc.width() << "x" << rc.height() << "+" << rc.x() << "+" << rc.y();
}

TEST(WindowPlacementEndToEndTest, OuterRectanglesStayPlacedAndDockedThroughFormsAndMoves)
{
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi)});
    const unsigned long main = WaitForWindow(QStringLiteral("Vessa Video Player - ") +
                                             QFileInfo(TestMediaPath(TestClip::Avi)).fileName());
    const unsigned long playList = WaitForWindow(QStringLiteral("Play List"));
    ASSERT_TRUE(main != 0 && playList != 0);
    const QStringList screenSize =
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")})
            .split(QLatin1Char(' '));
    ASSERT_EQ(screenSize.size(), 2);
    const QRect rcScreen(0, 0, screenSize[0].toInt(), screenSize[1].toInt());

    const auto doubleClickPanel = [&] {
        ClickInWindow(main, QPoint(WindowRect(main).width() / 2, 100), 2);
    };
    const auto clickCompact = [&] {
        ClickInWindow(main, StripButton(WindowRect(main).size(), kCompactSlot));
    };
    const auto moveTo = [&](int x, int y) {
        return [&, x, y] {
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QString::number(main),
                                                QString::number(x), QString::number(y)});
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
        EXPECT_TRUE(QTest::qWaitFor(placed, 5000))
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
        if (!step.bFullScreen) {
            const QRect rcMain = OuterRect(main);
            const QPoint ptDocked(rcMain.left(), rcMain.bottom() + 1);
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return OuterRect(playList).topLeft() == ptDocked; }, 5000))
                << "playlist window at " << testing::PrintToString(OuterRect(playList))
                << ", main window at " << testing::PrintToString(rcMain);
        }
    }
    ASSERT_TRUE(PressUntilEnded(player, main, QStringLiteral("Escape"))) << "still running";
    EXPECT_EQ(player.exitCode(), 0);
}
