#pragma once

// Reading the test clips' colour-bar pattern off the screen.

#include <QColor>
#include <QPoint>
#include <QRect>

#include <string>
#include <utility>
#include <vector>

// What a pixel shows of the colour-bar pattern: its lit primaries as "rgb" letters ("rgb" is
// white, "" black), or "?" for a colour between lit and dark. Compression, colour conversion and
// scaling move the values a little, never across the wide gap.
inline std::string Bar(const QColor& pixel)
{
    std::string lit;
    for (const auto& [value, letter] :
         {std::pair{pixel.red(), 'r'}, {pixel.green(), 'g'}, {pixel.blue(), 'b'}}) {
        if (value >= 70 && value <= 150) {
            return "?";
        }
        if (value > 150) {
            lit += letter;
        }
    }
    return lit;
}

struct Probe
{
    QPoint at;
    std::string bar;
};

// The test clips are 4:3 colour bars: white on the left and blue on the right at the top; blue on
// the left and white on the right in the narrow band under the bars (at 71% of the height).
inline std::vector<Probe> PictureCorners(const QRect& picture)
{
    const int band = picture.top() + picture.height() * 71 / 100;
    const int left = picture.left() + 6;
    const int right = picture.right() - 6;
    return {{{left, picture.top() + 6}, "rgb"},
            {{right, picture.top() + 6}, "b"},
            {{left, band}, "b"},
            {{right, band}, "rgb"}};
}
