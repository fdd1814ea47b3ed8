// The video panel paints black in every state: the picture lives in a window of its own inside
// the panel, and what it does not cover (nothing open, a hidden picture, after the end of a file)
// must never show what was there before.

#include "common/Globals.h"
#include "controls/CVideoPanel.h"

#include <QImage>

#include <gtest/gtest.h>
#include <utility>

TEST(VideoPanelTest, PaintsBlackWhateverPlays)
{
    CVideoPanel panel;
    panel.resize(64, 48);
    const struct
    {
        bool playing;
        bool capture;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const auto& c : cases) {
        g_bPlaying = c.playing;
        g_bCaptureActive = c.capture;
        QImage image(panel.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        panel.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        // Opposite corners: the whole panel.
        EXPECT_EQ(std::pair(image.pixel(0, 0), image.pixel(63, 47)),
                  std::pair(qRgb(0, 0, 0), qRgb(0, 0, 0)))
            << "playing " << c.playing << ", capture " << c.capture;
    }
    g_bPlaying = false;
    g_bCaptureActive = false;
}
