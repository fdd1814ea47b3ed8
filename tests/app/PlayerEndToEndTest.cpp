// The real executable under the test run's X server, with the real X11 video sink, checked as a
// person would: the window title, the clip's picture in the video panel, Escape ending it at once.

#include "TestMedia.h"
#include "X11Helpers.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

// The bar of the test pattern a pixel shows (its lit primaries as bits, 1 to 7), or 0 for black
// or an unclear colour. After JPEG, YUV and scaling a primary counts as lit well above half and as
// dark well below it.
int BarOf(const QColor& pixel)
{
    int lit = 0;
    for (const int value : {pixel.red(), pixel.green(), pixel.blue()}) {
        if (value >= 70 && value <= 150) {
            return 0;
        }
        lit = lit * 2 + (value > 150 ? 1 : 0);
    }
    return lit;
}

} // namespace

TEST(PlayerEndToEndTest, ShowsTheClipInTheTitledWindowAndEndsAtOnceOnEscape)
{
    QProcess player;
    StartPlayer(player, {TestMediaPath(TestClip::Avi)});
    const unsigned long window = WaitForWindow(QStringLiteral("Vessa Video Player - ") +
                                               QFileInfo(TestMediaPath(TestClip::Avi)).fileName());
    ASSERT_NE(window, 0u);

    // Let the clip play a moment; the panel above the 64-pixel strip shows the test pattern.
    QTest::qWait(1200);
    const std::vector<QColor> pixels = ScreenPixels(QStringLiteral("e2e-player-screen.png"),
                                                    WindowRect(window).adjusted(0, 0, 0, -64));
    ASSERT_FALSE(pixels.empty()) << "screenshot failed";
    std::array<std::size_t, 8> barPixels{};
    for (const QColor& pixel : pixels) {
        ++barPixels[BarOf(pixel)];
    }
    const auto nBarsSeen = std::count_if(barPixels.begin() + 1, barPixels.end(),
                                         [&](std::size_t n) { return n > pixels.size() / 100; });
    EXPECT_GE(nBarsSeen, 6) << "the panel does not show the test pattern (see the artefact)";

    ASSERT_TRUE(PressUntilEnded(player, window, QStringLiteral("Escape"))) << "still running";
    EXPECT_EQ(player.exitCode(), 0);
}
