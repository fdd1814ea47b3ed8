// The real executable with two clips on its command line: the playlist window stands right under
// the main window, drawn, as a person sees it; Enter ends the run through the orderly shutdown.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFileInfo>

#include <algorithm>

namespace {

TEST(PlayListEndToEndTest, ThePlayListStandsDrawnUnderTheMainWindowAndEnterEndsTheRun)
{
    const QString strLast = TestMediaPath(TestClip::OddName);
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi), strLast});
    const unsigned long main =
        WaitForWindow(QStringLiteral("Vessa Video Player - ") + QFileInfo(strLast).fileName());
    const unsigned long playList = WaitForWindow(QStringLiteral("Play List"));
    ASSERT_TRUE(main != 0 && playList != 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return OuterRect(playList).topLeft() == QPoint(16, 496); }, 5000))
        << "main window at y " << OuterRect(main).y() << " + " << OuterRect(main).height()
        << ", playlist window at y " << OuterRect(playList).y();

    // What a person sees: the playlist window is drawn, not the bare black root window.
    QTest::qWait(500);
    const std::vector<QColor> pixels =
        ScreenPixels(QStringLiteral("e2e-playlist-docked.png"), WindowRect(playList));
    ASSERT_FALSE(pixels.empty()) << "screenshot failed";
    const std::size_t nLit = std::count_if(pixels.begin(), pixels.end(), [](const QColor& pixel) {
        return pixel.red() + pixel.green() + pixel.blue() > 300;
    });
    EXPECT_GT(nLit, pixels.size() / 2) << "the playlist window is not drawn (see the artefact)";

    // Enter while the clip plays: the orderly shutdown must not trip over the video sink.
    ASSERT_TRUE(PressUntilEnded(player, main, QStringLiteral("Return"))) << "still running";
    EXPECT_EQ(player.exitCode(), 0);
}

} // namespace
