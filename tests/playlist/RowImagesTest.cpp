#include "playlist/RowImages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(RowImagesTest, FiveDistinctPicturesShowingWhatTheyStandFor)
{
    std::vector<QImage> images;
    for (const QPixmap& pixmap : CreateRowImages()) {
        EXPECT_EQ(pixmap.size(), QSize(16, 16));
        images.push_back(pixmap.toImage().convertToFormat(QImage::Format_ARGB32));
        for (std::size_t j = 0; j + 1 < images.size(); ++j) {
            EXPECT_NE(images.back(), images[j]) << images.size() - 1 << " and " << j;
        }
    }
    ASSERT_EQ(images.size(), std::size_t(kRowImageCount));
    const QRgb white = qRgb(255, 255, 255);
    for (const int tile : {kImageDeckBCurrent, kImageDeckACurrent, kImageMarked}) {
        EXPECT_EQ(qAlpha(images[tile].pixel(0, 0)), 0) << tile; // a blue tile, corners clear
        EXPECT_GT(qBlue(images[tile].pixel(2, 13)), qRed(images[tile].pixel(2, 13)) + 60) << tile;
        EXPECT_EQ(images[tile].pixel(7, 8), white) << tile; // a white sign in the middle
    }
    EXPECT_EQ(images[kImageDeckBCurrent].pixel(11, 4), white); // the square fills its corner
    EXPECT_NE(images[kImageDeckACurrent].pixel(11, 4), white); // the triangle does not
    EXPECT_EQ(images[kImageMarked].pixel(3, 8), white);        // the arrow's shaft
    const QColor cream = images[kImagePlain].pixelColor(0, 0); // one near-white colour all over
    QImage solid(16, 16, QImage::Format_ARGB32);
    solid.fill(cream);
    EXPECT_EQ(images[kImagePlain], solid);
    EXPECT_GT(cream.lightness(), 230);
    EXPECT_GT(cream.red(), cream.blue());
    EXPECT_EQ(images[kImageNoLength].pixel(2, 2), white);
    EXPECT_LT(qGray(images[kImageNoLength].pixel(8, 13)), 100); // the question mark's dot
}

} // namespace
