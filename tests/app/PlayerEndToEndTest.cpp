// The real executable under the test run's X server, with the video sink it chooses itself,
// checked as a person would: the window title, the clip's picture in the video panel (where it
// belongs, and still there after every change of layout while stopped), Escape ending it at once,
// and every command-line argument taken as a file.

#include "ColourBars.h"
#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

constexpr int kStripHeight = 64;
const QString kTitle = QStringLiteral("Vessa Video Player - ");

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

// Waits until the video panel of the window (its client area above the strip, or all of it in
// full-screen form) shows the test pattern; the number of bars last seen.
int WaitForPattern(unsigned long window, const QString& strShot, int nStrip = kStripHeight)
{
    int nBars = 0;
    const bool bShown = QTest::qWaitFor(
        [&] {
            nBars = BarsShown(Screenshot(strShot), WindowRect(window).adjusted(0, 0, 0, -nStrip));
            return nBars >= 6;
        },
        20000);
    return bShown ? nBars : std::min(nBars, 5);
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
        const unsigned long window =
            WaitForWindow(kTitle + QFileInfo(TestMediaPath(TestClip::Avi)).fileName());
        ASSERT_NE(window, 0u);
        const int nStrip = qRound(kStripHeight * QByteArray(scale).toDouble());
        const QString strShot = QStringLiteral("e2e-player-screen-%1.png").arg(scale);
        ASSERT_GE(WaitForPattern(window, strShot, nStrip), 6)
            << "the panel does not show the test pattern (see the artefact)";

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

TEST(PlayerEndToEndTest, StoppedPictureStaysThroughResizeCompactAndFullScreenRoundTrips)
{
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi)});
    const unsigned long window =
        WaitForWindow(kTitle + QFileInfo(TestMediaPath(TestClip::Avi)).fileName());
    ASSERT_NE(window, 0u);
    ASSERT_GE(WaitForPattern(window, QStringLiteral("e2e-stopped-0.png")), 6);
    ClickInWindow(window, StripButton(WindowRect(window).size(), kStopSlot));

    const QPoint panelMiddle(100, 100);
    const struct
    {
        const char* step;
        std::function<void()> act;
        int nStrip; // 0 in full-screen form
    } steps[] = {
        {"stopped", [] {}, kStripHeight},
        {"resized", [&] { Tool(QStringLiteral("xdotool windowsize %1 800 560").arg(window)); },
         kStripHeight},
        {"compact",
         [&] { ClickInWindow(window, StripButton(WindowRect(window).size(), kCompactSlot)); },
         kStripHeight},
        {"compact and back",
         [&] { ClickInWindow(window, StripButton(WindowRect(window).size(), kCompactSlot)); },
         kStripHeight},
        {"full screen", [&] { ClickInWindow(window, panelMiddle, 2); }, 0},
        {"full screen and back", [&] { ClickInWindow(window, panelMiddle, 2); }, kStripHeight},
    };
    int nStep = 0;
    for (const auto& step : steps) {
        step.act();
        QTest::qWait(300); // the change of layout is done; the frame must still (or again) be there
        EXPECT_GE(
            WaitForPattern(window, QStringLiteral("e2e-stopped-%1.png").arg(++nStep), step.nStrip),
            6)
            << "after: " << step.step << " (see the artefact)";
    }
    player.kill();
    player.waitForFinished(3000);
}

// Every argument is the file it names exactly as given: one that Qt would take for an option of
// its own, one that starts with '-' beside a file without it, and a name that is no UTF-8 text
// (the bytes a shell hands over).
TEST(PlayerEndToEndTest, EveryArgumentIsTheFileItNamesExactlyAsGiven)
{
    QTemporaryDir folder;
    for (const char* name : {"-style", "-display", "word", "style", "dash.avi", "-dash.avi"}) {
        ASSERT_TRUE(
            QFile::copy(TestMediaPath(TestClip::Avi), folder.filePath(QLatin1String(name))));
    }
    std::filesystem::copy_file(QFile::encodeName(TestMediaPath(TestClip::Avi)).toStdString(),
                               QFile::encodeName(folder.path()).toStdString() + "/bad\xff.avi");
    const struct
    {
        QStringList arguments;
        QString lastFile;
    } cases[] = {
        {{QStringLiteral("-style")}, QStringLiteral("-style")},
        {{QStringLiteral("-display"), QStringLiteral("word")}, QStringLiteral("word")},
        {{QStringLiteral("-dash.avi")}, QStringLiteral("-dash.avi")},
        {{}, QStringLiteral("bad\uFFFD.avi")},
    };
    for (const auto& c : cases) {
        QProcess player;
        if (c.arguments.isEmpty()) {
            // Through a shell, which hands the name's bytes over as they are.
            StartPlayer(player,
                        {QStringLiteral("-c"),
                         QStringLiteral("exec \"$0\" \"$(printf 'bad\\377.avi')\""),
                         QLatin1String(kPlayerPath)},
                        folder.path(), {}, false, QStringLiteral("sh"));
        } else {
            StartPlayer(player, c.arguments, folder.path());
        }
        EXPECT_NE(WaitForWindow(kTitle + c.lastFile), 0u)
            << c.arguments.join(QLatin1Char(' ')).toStdString();
        player.kill();
        player.waitForFinished(3000);
    }
}
