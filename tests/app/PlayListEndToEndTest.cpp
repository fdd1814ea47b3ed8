// The real executable under the X server of the test run, with two clips on its command line:
// the playlist window stands right under the main window, as a person sees it, and follows it
// when the main window is moved.

#include "TestMedia.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kStartMs = 15000; // the windows must be up by then

// Runs a helper tool to its end within a bound; its standard output, trimmed.
QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The X window whose name is exactly the title, or 0.
unsigned long FindWindow(const QString& strTitle)
{
    const QString pattern =
        QLatin1Char('^') + QRegularExpression::escape(strTitle) + QLatin1Char('$');
    const QStringList ids = RunTool(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), pattern})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return ids.isEmpty() ? 0 : ids.first().toULong();
}

// The window's rectangle on the screen (there is no window manager: no frames).
QRect WindowRect(unsigned long window)
{
    const QString text =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const auto field = [&text](const char* name) {
        const QRegularExpression re(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(text).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

QPoint BelowOf(const QRect& rc)
{
    return {rc.left(), rc.top() + rc.height()};
}

class PlayListEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"))
            << "end-to-end tests need an X server (scripts/test starts one)";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("VESSA_VIDEO_SINK")); // the real X11 sink
        m_player.setProcessEnvironment(env);
        m_player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    void TearDown() override
    {
        if (m_player.state() != QProcess::NotRunning) {
            m_player.kill();
            m_player.waitForFinished(2000);
        }
    }

    QProcess m_player;
};

} // namespace

TEST_F(PlayListEndToEndTest, ThePlayListStandsUnderTheMainWindowAndFollowsIt)
{
    const QString strFirst = TestMediaPath(TestClip::Avi);
    const QString strLast = TestMediaPath(TestClip::OddName);
    m_player.start(QStringLiteral(VESSA_RUNTIME_DIR "/vessa-video-player"), {strFirst, strLast});
    ASSERT_TRUE(m_player.waitForStarted(5000));

    // The last file plays; the playlist window is shown under the main window.
    const QString strTitle =
        QStringLiteral("Vessa Video Player - ") + QFileInfo(strLast).fileName();
    unsigned long main = 0;
    unsigned long playList = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            main = FindWindow(strTitle);
            playList = FindWindow(QStringLiteral("Play List"));
            return main != 0 && playList != 0;
        },
        kStartMs))
        << "main window " << main << ", playlist window " << playList;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return WindowRect(playList).topLeft() == BelowOf(WindowRect(main)); }, 5000))
        << "main window at " << WindowRect(main).y() << " + " << WindowRect(main).height()
        << ", playlist window at " << WindowRect(playList).y();
    EXPECT_EQ(WindowRect(main), QRect(16, 16, 640, 480));

    // What a person sees, kept beside the other end-to-end pictures.
    QTest::qWait(500);
    QDir().mkpath(QStringLiteral(VESSA_ARTIFACT_DIR));
    const QString strShot = QStringLiteral(VESSA_ARTIFACT_DIR "/e2e-playlist-docked.png");
    RunTool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), strShot});
    const QImage screen(strShot);
    ASSERT_FALSE(screen.isNull()) << "screenshot failed";
    // The playlist window is drawn: its area is not the bare black root window.
    const QRect rcList = WindowRect(playList).intersected(screen.rect());
    int nLit = 0;
    int nAll = 0;
    for (int y = rcList.top(); y <= rcList.bottom(); y += 3) {
        for (int x = rcList.left(); x <= rcList.right(); x += 3) {
            const QColor pixel = screen.pixelColor(x, y);
            nLit += pixel.red() + pixel.green() + pixel.blue() > 300 ? 1 : 0;
            ++nAll;
        }
    }
    EXPECT_GT(nLit, nAll / 2) << "see " << strShot.toStdString();

    // Moved by the window system, the main window takes the playlist window along.
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QString::number(main),
                                        QStringLiteral("200"), QStringLiteral("100")});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return WindowRect(main).topLeft() == QPoint(200, 100) &&
                   WindowRect(playList).topLeft() == BelowOf(WindowRect(main));
        },
        5000))
        << "playlist window at " << WindowRect(playList).x() << ", " << WindowRect(playList).y();
}
