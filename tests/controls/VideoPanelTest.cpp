// The video panel paints black in every state: the picture lives in a window of its own inside
// the panel, and what it does not cover (nothing open, a hidden picture, after the end of a file)
// must never show what was there before.

#include "controls/CVideoPanel.h"

#include <QImage>

#include <gtest/gtest.h>
#include <utility>

TEST(VideoPanelTest, PaintsBlackOverWhateverWasThere)
{
    CVideoPanel panel;
    panel.resize(64, 48);
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    panel.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    // Opposite corners: the whole panel.
    EXPECT_EQ(std::pair(image.pixel(0, 0), image.pixel(63, 47)),
              std::pair(qRgb(0, 0, 0), qRgb(0, 0, 0)));
}
