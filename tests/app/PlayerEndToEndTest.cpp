// The real executable under the X server of the test run, with the real X11 video sink, checked
// from outside the process as a person would: the window title, the picture in the video panel,
// and Escape ending the process at once with exit code 0.

#include "TestMedia.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace {

constexpr int kStartMs = 15000; // the window must be up by then
constexpr int kExitMs = 2000;   // "at once"

// Runs a helper tool to its end within a bound; its standard output, trimmed.
QString RunTool(const QString& program, const QStringList& arguments, bool* bOk = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool bFinished = process.waitForFinished(10000);
    if (!bFinished) {
        process.kill();
        process.waitForFinished(1000);
    }
    if (bOk != nullptr) {
        *bOk = bFinished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The X window whose name is exactly the title, or 0.
unsigned long FindWindow(const QString& strTitle)
{
    const QString pattern =
        QLatin1Char('^') + QRegularExpression::escape(strTitle) + QLatin1Char('$');
    const QStringList ids = RunTool(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--name"), pattern})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return ids.isEmpty() ? 0 : ids.first().toULong();
}

// The window's client rectangle on the screen.
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

// The seven bars of the test pattern's upper part, by which primaries are lit: white, yellow,
// cyan, green, magenta, red, blue.
constexpr std::array<int, 7> kBars{0b111, 0b110, 0b011, 0b010, 0b101, 0b100, 0b001};

// The bar a pixel shows, or -1. Video colours go through JPEG, YUV and scaling: a primary counts
// as lit well above half and as dark well below it.
int BarOf(const QColor& pixel)
{
    int lit = 0;
    for (const int value : {pixel.red(), pixel.green(), pixel.blue()}) {
        if (value > 150) {
            lit = lit * 2 + 1;
        } else if (value < 70) {
            lit = lit * 2;
        } else {
            return -1;
        }
    }
    for (std::size_t i = 0; i < kBars.size(); ++i) {
        if (kBars[i] == lit) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

class PlayerEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY"))
            << "end-to-end tests need an X server (scripts/test starts one)";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VESSA_VIDEO_SINK")); // the real X11 sink
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
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

    // Sends a key to the player's window until the process ends, within a bound each time.
    bool PressUntilEnded(unsigned long window, const QString& strKey)
    {
        // The key goes to the window that has the X input focus; on a busy machine the focus
        // can lag behind the request, so a key that went nowhere is sent again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"),
                                                QStringLiteral("--sync"), QString::number(window)});
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), strKey});
            if (m_player.waitForFinished(kExitMs)) {
                return true;
            }
        }
        return false;
    }

    // Starts the player with the clip and waits for its window, found by its title.
    unsigned long StartPlayer(const QString& strClip)
    {
        m_player.start(QStringLiteral(VESSA_RUNTIME_DIR "/vessa-video-player"), {strClip});
        EXPECT_TRUE(m_player.waitForStarted(5000));
        const QString strTitle =
            QStringLiteral("Vessa Video Player - ") + QFileInfo(strClip).fileName();
        unsigned long window = 0;
        EXPECT_TRUE(QTest::qWaitFor([&] { return (window = FindWindow(strTitle)) != 0; }, kStartMs))
            << "no window titled " << strTitle.toStdString();
        return window;
    }

    // Takes a screenshot (kept as a test artefact) and tells whether the window's video panel,
    // the client area above the 64-pixel strip, shows the test pattern rather than black.
    void ExpectPatternInPanel(unsigned long window, const QString& strArtifact)
    {
        const QRect rcClient = WindowRect(window);
        ASSERT_GT(rcClient.height(), 64);
        const QString strShot = QStringLiteral(VESSA_ARTIFACT_DIR "/") + strArtifact;
        QDir().mkpath(QStringLiteral(VESSA_ARTIFACT_DIR));
        bool bShot = false;
        RunTool(QStringLiteral("import"),
                {QStringLiteral("-window"), QStringLiteral("root"), strShot}, &bShot);
        ASSERT_TRUE(bShot) << "screenshot failed";
        const QImage screen(strShot);
        ASSERT_FALSE(screen.isNull());

        const QRect rcPanel =
            QRect(rcClient.x(), rcClient.y(), rcClient.width(), rcClient.height() - 64)
                .intersected(screen.rect());
        std::array<int, kBars.size()> barPixels{};
        int nBlack = 0;
        int nAll = 0;
        for (int y = rcPanel.top(); y <= rcPanel.bottom(); y += 2) {
            for (int x = rcPanel.left(); x <= rcPanel.right(); x += 2) {
                const QColor pixel = screen.pixelColor(x, y);
                ++nAll;
                nBlack += pixel.red() + pixel.green() + pixel.blue() < 30 ? 1 : 0;
                if (const int bar = BarOf(pixel); bar >= 0) {
                    ++barPixels[bar];
                }
            }
        }
        ASSERT_GT(nAll, 0);
        int nBarsSeen = 0;
        for (const int n : barPixels) {
            nBarsSeen += n > nAll / 100 ? 1 : 0;
        }
        EXPECT_GE(nBarsSeen, 6) << "the panel does not show the test pattern; see "
                                << strShot.toStdString();
        EXPECT_LT(nBlack, nAll / 2) << "the panel is mostly black; see " << strShot.toStdString();
    }

    QProcess m_player;
};

} // namespace

TEST_F(PlayerEndToEndTest, ShowsTheClipInTheTitledWindowAndEndsOnEscape)
{
    const QString strClip = TestMediaPath(TestClip::Avi);
    const unsigned long window = StartPlayer(strClip);
    ASSERT_NE(window, 0u);
    const QString strTitle =
        QStringLiteral("Vessa Video Player - ") + QFileInfo(strClip).fileName();
    const QString strNetName =
        RunTool(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_NAME")});
    EXPECT_TRUE(strNetName.endsWith(QLatin1Char('"') + strTitle + QLatin1Char('"')))
        << strNetName.toStdString();

    // Let the clip play a moment, then look at the screen.
    QTest::qWait(1200);
    ExpectPatternInPanel(window, QStringLiteral("e2e-player-screen.png"));

    // Escape: the process ends at once, with exit code 0.
    ASSERT_TRUE(PressUntilEnded(window, QStringLiteral("Escape"))) << "still running after Escape";
    EXPECT_EQ(m_player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_player.exitCode(), 0);
}

TEST_F(PlayerEndToEndTest, EnterEndsTheRunThroughTheOrderlyShutdown)
{
    const unsigned long window = StartPlayer(TestMediaPath(TestClip::OddName));
    ASSERT_NE(window, 0u);
    QTest::qWait(500); // playing

    // The window goes while the clip plays; the shutdown must not trip over the video sink.
    ASSERT_TRUE(PressUntilEnded(window, QStringLiteral("Return"))) << "still running after Enter";
    EXPECT_EQ(m_player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_player.exitCode(), 0);
}

TEST_F(PlayerEndToEndTest, AStoppedPictureStaysWhenTheWindowIsLaidOutAgain)
{
    const unsigned long window = StartPlayer(TestMediaPath(TestClip::Avi));
    ASSERT_NE(window, 0u);
    QTest::qWait(300);

    // Stop, clicked where the strip puts it for this client size.
    const QRect rcClient = WindowRect(window);
    const int x0 = std::max(0, (rcClient.width() - 574) / 2);
    const QPoint ptStop(x0 + 10 + 60 + 5 + 4 * 37 + 16, rcClient.height() - 64 + 24 + 12);
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
             QString::number(ptStop.x()), QString::number(ptStop.y()), QStringLiteral("click"),
             QStringLiteral("1")});
    QTest::qWait(300);

    // A new size: the window lays itself out and repaints, the panel black under the picture.
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), QString::number(window),
                                        QStringLiteral("720"), QStringLiteral("540")});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return WindowRect(window).size() == QSize(720, 540); }, 5000));
    QTest::qWait(500);
    ExpectPatternInPanel(window, QStringLiteral("e2e-stopped-after-relayout.png"));
}
