#include "playlist/RowImages.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage ImageOf(const QList<QPixmap>& images, int index)
{
    return images[index].toImage().convertToFormat(QImage::Format_ARGB32);
}

int CountPixels(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

TEST(RowImagesTest, FiveDistinctSixteenPixelPictures)
{
    const QList<QPixmap> images = CreateRowImages();
    ASSERT_EQ(images.size(), kRowImageCount);
    for (int i = 0; i < kRowImageCount; ++i) {
        EXPECT_EQ(images[i].size(), QSize(16, 16)) << i;
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(ImageOf(images, i), ImageOf(images, j)) << i << " and " << j;
        }
    }
}

TEST(RowImagesTest, EachPictureShowsWhatItStandsFor)
{
    const QList<QPixmap> images = CreateRowImages();
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);

    // The blue tiles: transparent corners, a white sign in the middle on blue around it.
    for (const int tile : {kImageDeckBCurrent, kImageDeckACurrent, kImageMarked}) {
        const QImage image = ImageOf(images, tile);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << tile;
        EXPECT_EQ(image.pixel(7, 8), white) << tile;
        const QColor edge = image.pixelColor(2, 13);
        EXPECT_GT(edge.blue(), edge.red() + 60) << tile;
    }
    // Stop: a filled square, so its corners are white too; play: a triangle, whose right-hand
    // corners are blue; the arrow: a shaft reaching to the left.
    EXPECT_EQ(ImageOf(images, kImageDeckBCurrent).pixel(4, 4), white);
    EXPECT_EQ(ImageOf(images, kImageDeckBCurrent).pixel(11, 11), white);
    EXPECT_NE(ImageOf(images, kImageDeckACurrent).pixel(11, 4), white);
    EXPECT_EQ(ImageOf(images, kImageMarked).pixel(3, 8), white);
    EXPECT_NE(ImageOf(images, kImageDeckACurrent).pixel(3, 8), white);

    // Blank: one cream-white colour all over.
    const QImage plain = ImageOf(images, kImagePlain);
    EXPECT_EQ(CountPixels(plain, plain.pixel(0, 0)), 256);
    EXPECT_GT(qRed(plain.pixel(0, 0)), 240);
    EXPECT_LT(qBlue(plain.pixel(0, 0)), qRed(plain.pixel(0, 0)));

    // Question mark: black strokes on white.
    const QImage question = ImageOf(images, kImageNoLength);
    EXPECT_GT(CountPixels(question, black), 8);
    EXPECT_GT(CountPixels(question, white), 100);
    EXPECT_LT(qGray(question.pixel(8, 13)), 100); // the dot
}

} // namespace
