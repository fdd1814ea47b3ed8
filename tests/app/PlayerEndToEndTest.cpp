// The real executable under the test run's X server, with or without a window manager, and with
// the video sink it chooses itself, checked from outside as a person would: the first file's
// picture in the video panel at every scale, every argument taken as a file, and the windows'
// places, docking and stopped picture through the compact and full-screen forms and the user's
// moves. And the player on an X server of the test's own, which the test then kills, as a logout
// does: the player must end by itself with an exit status, not a crash, a hang or a signal.

#include "ColourBars.h"
#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <map>

// Found by the test framework's printer for the rectangles in failure messages.
inline void PrintTo(const QRect& rc, std::ostream* os)
{
    *os << rc.width() << "x" << rc.height() << "+" << rc.x() << "+" << rc.y();
}

namespace {

constexpr int kStripHeight = 64;
const QString kTitle = QStringLiteral("Vessa Video Player - ");

QString ClipTitle()
{
    return kTitle + QFileInfo(TestMediaPath(TestClip::Avi)).fileName();
}

// How many of the pattern's seven colour bars cover a fair share of the rectangle.
int BarsShown(const QImage& screen, const QRect& rc)
{
    std::map<std::string, std::size_t> counts;
    std::size_t total = 0;
    for (int y = rc.top(); y <= rc.bottom() && y < screen.height(); y += 2) {
        for (int x = rc.left(); x <= rc.right() && x < screen.width(); x += 2) {
            ++counts[Bar(screen.pixelColor(x, y))];
            ++total;
        }
    }
    return static_cast<int>(std::count_if(counts.begin(), counts.end(), [&](const auto& bar) {
        return bar.first != "" && bar.first != "?" && bar.second > total / 100;
    }));
}

// Whether the video panel of the window (its client area above the strip, or all of it in
// full-screen form) comes to show the test pattern (screenshots kept under the name).
bool PatternShows(unsigned long window, const QString& strShot, int nStrip = kStripHeight)
{
    return QTest::qWaitFor(
        [&] {
            const QRect panel = WindowRect(window).adjusted(0, 0, 0, -nStrip);
            return BarsShown(Screenshot(strShot), panel) >= 6;
        },
        20000);
}

} // namespace

// Also on a scaled (HiDPI) desktop, whole or fractional: the window lays itself out in Qt's pixels,
// the X server and the sink count the panel's own, and the picture must fill the panel in both.
TEST(PlayerEndToEndTest, FirstFilesPictureFillsThePanelInItsAspectAtEveryScale)
{
    for (const char* scale : {"1", "1.5", "2"}) {
        SCOPED_TRACE(std::string("scale ") + scale);
        QProcess player;
        StartPlayer(player, {TestMediaPath(TestClip::Avi)}, QString(),
                    {QStringLiteral("QT_SCALE_FACTOR=") + QLatin1String(scale)}, true);
        const unsigned long window = WaitForWindow(ClipTitle());
        ASSERT_NE(window, 0u);
        const int nStrip = qRound(kStripHeight * QByteArray(scale).toDouble());
        const QString strShot = QStringLiteral("e2e-player-screen-%1.png").arg(scale);
        ASSERT_TRUE(PatternShows(window, strShot, nStrip)) << "no test pattern (see the artefact)";

        // The 4:3 picture scaled into the panel (640x416 at scale 1): in the middle, black beside
        // it. At scale 2 the window reaches past the screen's right edge; what is on it is checked.
        const QRect rc = WindowRect(window);
        const QImage screen = Screenshot(strShot);
        const int nPanelHeight = rc.height() - nStrip;
        const int nPictureWidth = nPanelHeight * 4 / 3;
        const QRect picture(rc.left() + (rc.width() - nPictureWidth) / 2, rc.top(), nPictureWidth,
                            nPanelHeight);
        std::vector<Probe> probes = PictureCorners(picture);
        probes.push_back({rc.topLeft() + QPoint(6, 6), ""}); // the black beside the picture
        probes.push_back({QPoint(rc.right() - 6, picture.bottom() - 6), ""});
        for (const Probe& probe : probes) {
            if (screen.rect().contains(probe.at)) {
                EXPECT_EQ(Bar(screen.pixelColor(probe.at)), probe.bar)
                    << "at " << probe.at.x() << "," << probe.at.y();
            }
        }

        ASSERT_TRUE(PressUntilEnded(player, window, QStringLiteral("Escape"))) << "still running";
        EXPECT_EQ(player.exitCode(), 0);
        // Sound systems that are not there are not tried on every open, and not heard complaining.
        const QString strErrors = QString::fromLocal8Bit(player.readAllStandardError());
        for (const char* noise : {"ALSA lib", "AL lib", "pulse"}) {
            EXPECT_FALSE(strErrors.contains(QLatin1String(noise))) << strErrors.toStdString();
        }
    }
}

// Every argument is the file it names, also where Qt would take it for an option of its own: had
// Qt taken "-display", "-style" would have been the display's name and no window would come.
TEST(PlayerEndToEndTest, EveryArgumentIsTheFileItNames)
{
    QTemporaryDir folder;
    const QStringList names{QStringLiteral("-display"), QStringLiteral("-style"),
                            QStringLiteral("-dash.avi")};
    for (const QString& name : names) {
        ASSERT_TRUE(QFile::copy(TestMediaPath(TestClip::Avi), folder.filePath(name)));
    }
    QProcess player;
    StartPlayer(player, names, folder.path());
    EXPECT_NE(WaitForWindow(kTitle + QStringLiteral("-dash.avi")), 0u) << "the last one plays";
}

// The main window's outer rectangle (the frame the window manager draws included) stands at
// (16, 16) with 640 x 480, the playlist window's right under it, and both stay so through the
// forms and the user's own moves; the stopped picture stays in the panel all the while. Under a
// window manager the full screen is its full-screen state.
TEST(PlayerEndToEndTest, WindowsStayPlacedAndDockedAndThePictureStaysThroughFormsAndMoves)
{
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi)});
    const unsigned long main = WaitForWindow(ClipTitle());
    const unsigned long playList = WaitForWindow(QStringLiteral("Play List"));
    ASSERT_TRUE(main != 0 && playList != 0);
    ASSERT_TRUE(PatternShows(main, QStringLiteral("e2e-placement-0.png")));
    ClickInWindow(main, StripButton(WindowRect(main).size(), kStopSlot));
    const QStringList screenSize = Tool(QStringLiteral("xdotool getdisplaygeometry")).split(' ');
    ASSERT_EQ(screenSize.size(), 2);
    const QRect rcScreen(0, 0, screenSize[0].toInt(), screenSize[1].toInt());
    const bool bWindowManager = Tool(QStringLiteral("xprop -root _NET_SUPPORTING_WM_CHECK"))
                                    .contains(QLatin1String("window id"));

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
        {"full screen", doubleClickPanel, {}, true},
        {"back from full screen", doubleClickPanel, {}},
        {"compact", clickCompact, {}},
        {"back from compact", clickCompact, {}},
    };
    QRect rcHome(16, 16, 640, 480);
    int nStep = 0;
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
        EXPECT_TRUE(PatternShows(main, QStringLiteral("e2e-placement-%1.png").arg(++nStep),
                                 step.bFullScreen ? 0 : kStripHeight))
            << "the stopped picture is gone (see the artefact)";
        if (!step.ptMovedTo.isNull()) {
            rcHome = OuterRect(main);
            EXPECT_EQ(rcHome.size(), QSize(640, 480)) << "a move keeps the size";
        }
        if (bWindowManager) {
            EXPECT_EQ(Tool(QStringLiteral("xprop -id %1 _NET_WM_STATE").arg(main))
                          .contains(QLatin1String("_NET_WM_STATE_FULLSCREEN")),
                      step.bFullScreen);
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

// A crash here comes from a race between the threads that see the server go, so one run proves
// little: the server is killed twenty times, at a different moment of playing each time.
TEST(DisplayLossEndToEndTest, ThePlayerEndsWithAnExitStatusWhenItsXServerDies)
{
    constexpr int kRuns = 20;
    for (int run = 0; run < kRuns; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        // Xvfb picks a free display number itself and writes it to the descriptor given.
        QProcess server;
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000)) << "no Xvfb";
        const QString strDisplay =
            QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();

        // The player and the X tools run on that server; this process stays on its own.
        const QByteArray oldDisplay = qgetenv("DISPLAY");
        const auto restore = qScopeGuard([&] { qputenv("DISPLAY", oldDisplay); });
        qputenv("DISPLAY", strDisplay.toLocal8Bit());
        QProcess player;
        StartPlayer(player, {TestMediaPath(TestClip::Avi)});
        const QString strWindows = RunTool(
            QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
             QStringLiteral("--name"), QStringLiteral("^Vessa Video Player - ")});
        ASSERT_FALSE(strWindows.isEmpty()) << "the player's window did not come";
        QTest::qWait(100 + 50 * run); // the clip plays: the video sink draws on its own thread

        server.terminate();
        ASSERT_TRUE(server.waitForFinished(10000));
        ASSERT_TRUE(player.waitForFinished(15000)) << "the player hangs without its display";
        ASSERT_EQ(player.exitStatus(), QProcess::NormalExit) << "the player crashed";
        ASSERT_EQ(player.exitCode(), 1);
    }
}
