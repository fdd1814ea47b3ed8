#include "playlist/RowImages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// A row's state is seen only through its picture: two alike would hide the state.
TEST(RowImagesTest, FiveDistinctSixteenPixelPictures)
{
    const QList<QPixmap> pixmaps = CreateRowImages();
    ASSERT_EQ(pixmaps.size(), kRowImageCount);
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        EXPECT_EQ(pixmaps[i].size(), QSize(16, 16)) << i;
        for (qsizetype j = 0; j < i; ++j) {
            EXPECT_NE(pixmaps[i].toImage(), pixmaps[j].toImage()) << i << " and " << j;
        }
    }
}

} // namespace
