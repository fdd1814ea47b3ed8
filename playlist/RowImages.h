#pragma once

#include <QList>
#include <QPixmap>

// The five 16 x 16 pictures of the playlist rows, drawn in code. The indices are the row-image
// numbers the window stores per row.
enum RowImage : int
{
    kImageDeckBCurrent = 0, // white stop square on a blue tile
    kImagePlain = 1,        // blank cream-white square
    kImageDeckACurrent = 2, // white play triangle on a blue tile
    kImageMarked = 3,       // white arrow pointing right on a blue tile
    kImageNoLength = 4,     // black question mark on white
};
inline constexpr int kRowImageCount = 5;
inline constexpr int kRowImageSize = 16;

// The pictures in index order. Needs a GUI application object.
QList<QPixmap> CreateRowImages();
