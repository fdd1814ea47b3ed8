// The real executable on an X server of the test's own, which the test then kills, as a logout
// does: the player must end by itself with an exit status, not a crash, a hang or a signal.

#include "TestMedia.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Runs a tool against the display; its standard output, trimmed.
QString RunOn(const QString& strDisplay, const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), strDisplay);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

TEST(DisplayLossEndToEndTest, ThePlayerEndsWithAnExitStatusWhenItsXServerDies)
{
    // Xvfb picks a free display number itself and writes it to the descriptor given.
    QProcess server;
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.canReadLine(); }, 10000)) << "no Xvfb";
    const QString strDisplay = QLatin1Char(':') + QString::fromLatin1(server.readLine()).trimmed();

    QProcess player;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VESSA_VIDEO_SINK"));
    env.insert(QStringLiteral("DISPLAY"), strDisplay);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(QStringLiteral(VESSA_RUNTIME_DIR "/vessa-video-player"),
                 {TestMediaPath(TestClip::Avi)});
    const QString strWindows =
        RunOn(strDisplay, QStringLiteral("xdotool"),
              {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
               QStringLiteral("--name"), QStringLiteral("^Vessa Video Player - ")});
    ASSERT_FALSE(strWindows.isEmpty()) << "the player's window did not come";
    QTest::qWait(800); // the clip plays: the video sink draws on its own thread

    server.terminate();
    ASSERT_TRUE(server.waitForFinished(10000));
    ASSERT_TRUE(player.waitForFinished(15000)) << "the player hangs without its display";
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit) << "the player crashed";
    EXPECT_EQ(player.exitCode(), 1);
}

} // namespace
