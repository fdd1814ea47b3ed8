#pragma once

// Looking at the real executable from outside, through the X tools of the test run's server.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <gtest/gtest.h>

// Runs a tool to its end within a bound (a QProcess kills what still runs when it goes); its
// standard output, trimmed.
inline QString RunTool(const QString& program, const QStringList& arguments, int nMs = 10000)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(nMs);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// A command line of words without spaces of their own, run as RunTool runs it.
inline QString Tool(const QString& strCommand)
{
    QStringList words = strCommand.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString program = words.takeFirst();
    return RunTool(program, words);
}

// The visible window named exactly the title, once it is there; 0 if none came. Searched again
// until then: a search fails outright when another window goes while it looks.
inline unsigned long WaitForWindow(const QString& strTitle)
{
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(strTitle) + '$';
    unsigned long window = 0;
    const bool bCame = QTest::qWaitFor(
        [&] {
            window = RunTool(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), pattern})
                         .section(QLatin1Char('\n'), 0, 0)
                         .toULong();
            return window != 0;
        },
        30000);
    EXPECT_TRUE(bCame) << "no window titled " << strTitle.toStdString();
    return window;
}

// The window's client rectangle on the screen (without the frame a window manager draws).
inline QRect WindowRect(unsigned long window)
{
    const QString text = Tool(QStringLiteral("xwininfo -id %1").arg(window));
    const auto field = [&text](const char* name) {
        const QRegularExpression re(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(text).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

// The window's outer rectangle on the screen: its client rectangle and the frame the window
// manager reports around it (_NET_FRAME_EXTENTS lists left, right, top, bottom; none without a
// window manager).
inline QRect OuterRect(unsigned long window)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"))
            .match(Tool(QStringLiteral("xprop -id %1 _NET_FRAME_EXTENTS").arg(window)));
    const auto extent = [&match](int n) { return match.captured(n).toInt(); };
    return WindowRect(window).marginsAdded({extent(1), extent(3), extent(2), extent(4)});
}

constexpr const char* kPlayerPath = VESSA_RUNTIME_DIR "/vessa-video-player";

// Starts the player (or a program that runs it) under the X server with the video sink it
// chooses itself and the environment's entries ("NAME=value") added. With bKeepErrors its
// standard error is kept for the test to read instead of passed on. The QProcess kills it if it
// still runs when the test ends.
inline void StartPlayer(QProcess& player, const QStringList& arguments,
                        const QString& strWorkingDir = QString(),
                        const QStringList& environment = {}, bool bKeepErrors = false,
                        const QString& strProgram = QLatin1String(kPlayerPath))
{
    player.setWorkingDirectory(strWorkingDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VESSA_VIDEO_SINK"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    for (const QString& entry : environment) {
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    }
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(bKeepErrors ? QProcess::SeparateChannels
                                             : QProcess::ForwardedErrorChannel);
    player.start(strProgram, arguments);
}

// A screenshot of the whole screen, kept as a test artefact under the name; null if it failed.
inline QImage Screenshot(const QString& strName)
{
    QDir().mkpath(QStringLiteral(VESSA_ARTIFACT_DIR));
    const QString strShot = QStringLiteral(VESSA_ARTIFACT_DIR "/") + strName;
    RunTool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), strShot});
    return QImage(strShot);
}

// The centre of a button of the control strip (the Play List box, then Open, Prev, Play, Next,
// Stop, Delete, Compact, 32 px wide and 5 px apart) in a client area of that size.
inline QPoint StripButton(const QSize& client, int nSlot)
{
    const int x0 = std::max(0, (client.width() - 574) / 2);
    return {x0 + 10 + 60 + 5 + nSlot * 37 + 16, client.height() - 28};
}
constexpr int kStopSlot = 4;
constexpr int kCompactSlot = 6;

// Clicks the left button at a point of the window's client area, once or twice in a row.
inline void ClickInWindow(unsigned long window, QPoint at, int nClicks = 1)
{
    Tool(QStringLiteral("xdotool mousemove --window %1 %2 %3 click --repeat %4 --delay 80 1")
             .arg(window)
             .arg(at.x())
             .arg(at.y())
             .arg(nClicks));
}

// Sends a key to the window until the process ends, each try bounded: on a busy machine the X
// input focus can lag behind the request, and a key that went nowhere is sent again.
inline bool PressUntilEnded(QProcess& player, unsigned long window, const QString& strKey)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        Tool(QStringLiteral("xdotool windowfocus --sync %1").arg(window));
        Tool(QStringLiteral("xdotool key ") + strKey);
        if (player.waitForFinished(2000)) {
            return player.exitStatus() == QProcess::NormalExit;
        }
    }
    return false;
}
