#pragma once

#include <QColor>

// Colour, size in points and weight of one kind of line in the output log.
struct LogStyle {
    QRgb color;
    int size;
    bool bold;
};

namespace logcolor {
constexpr QRgb Maroon = 0x800000;
constexpr QRgb Blue = 0x0000FF;
constexpr QRgb Black = 0x000000;
constexpr QRgb Green = 0x008000;
constexpr QRgb Red = 0xFF0000;
constexpr QRgb Grey = 0x808080;
constexpr QRgb Orange = 0xFF8000;
} // namespace logcolor
