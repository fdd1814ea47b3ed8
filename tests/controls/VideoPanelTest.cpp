// The video panel paints itself black only while nothing is shown in it; otherwise it must leave
// the sink's picture alone.

#include "common/Globals.h"
#include "controls/CVideoPanel.h"

#include <QImage>

#include <gtest/gtest.h>
#include <utility>

TEST(VideoPanelTest, PaintsBlackOnlyWhileNeitherAFileNorACapturePreviewIsShown)
{
    CVideoPanel panel;
    panel.resize(64, 48);
    const struct
    {
        bool playing;
        bool capture;
        QRgb expected; // magenta: the panel painted nothing over the marker colour
    } cases[] = {{false, false, qRgb(0, 0, 0)},
                 {true, false, qRgb(255, 0, 255)},
                 {false, true, qRgb(255, 0, 255)}};
    for (const auto& c : cases) {
        g_bPlaying = c.playing;
        g_bCaptureActive = c.capture;
        QImage image(panel.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        panel.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        // Opposite corners: the whole panel or none of it.
        EXPECT_EQ(std::pair(image.pixel(0, 0), image.pixel(63, 47)),
                  std::pair(c.expected, c.expected))
            << "playing " << c.playing << ", capture " << c.capture;
    }
    g_bPlaying = false;
    g_bCaptureActive = false;
}
