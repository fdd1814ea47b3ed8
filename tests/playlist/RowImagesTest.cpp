#include "playlist/RowImages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// A row's state is seen only through its picture: two alike would hide the state. Each picture
// is solid across its middle line, so the row's selection colour cannot show through and wash
// it out.
TEST(RowImagesTest, FiveDistinctSolidSixteenPixelPictures)
{
    const QList<QPixmap> pixmaps = CreateRowImages();
    ASSERT_EQ(pixmaps.size(), kRowImageCount);
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        const QImage image = pixmaps[i].toImage();
        EXPECT_EQ(image.size(), QSize(16, 16)) << i;
        for (int x = 0; x < image.width(); ++x) {
            EXPECT_EQ(qAlpha(image.pixel(x, 8)), 255) << i << " at " << x;
        }
        for (qsizetype j = 0; j < i; ++j) {
            EXPECT_NE(image, pixmaps[j].toImage()) << i << " and " << j;
        }
    }
}

} // namespace
