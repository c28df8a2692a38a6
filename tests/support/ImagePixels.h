#pragma once

#include <QColor>
#include <QImage>

namespace testsupport {

// How many pixels of the image have exactly this colour.
inline int CountColour(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

} // namespace testsupport
