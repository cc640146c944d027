#pragma once

#include <QImage>

namespace gradient {

// One colour channel of step i: ((steps - i) * s + e * i) / steps, integer products, floating division,
// rounded half to even, clamped to 0..255.
int channel(int start, int end, int i, int steps);
// The background: square bands around the top-left corner, teal there, silver at the far edge.
// A null image when either side is 0 or less.
QImage paint(int width, int height);

} // namespace gradient
