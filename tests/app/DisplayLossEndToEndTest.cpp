// The real executable on an X server of the test's own, which the test then kills, as a logout
// does: the player must end by itself with an exit status, not a crash, a hang or a signal.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QScopeGuard>

namespace {

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

} // namespace
