#include "app/gradient.h"

#include "app/tform13.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace gradient {

namespace {
constexpr QRgb StartColor = 0x008080;
constexpr QRgb EndColor = 0xC0C0C0;
} // namespace

int channel(int start, int end, int i, int steps) {
    const long long sum = static_cast<long long>(steps - i) * start + static_cast<long long>(end) * i;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double value = std::nearbyint(static_cast<double>(sum) / steps);
    if (value <= 0)
        return 0;
    if (value >= 255)
        return 255;
    return static_cast<int>(value);
}

QImage paint(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgba(255, 255, 255, 255));
    const int steps = width > height ? width : height;
    QPainter painter(&image);
    for (int i = 0; i < steps; ++i) {
        const QColor color(channel(qRed(StartColor), qRed(EndColor), i, steps),
                           channel(qGreen(StartColor), qGreen(EndColor), i, steps),
                           channel(qBlue(StartColor), qBlue(EndColor), i, steps));
        // Column i, then row i: later steps overwrite earlier ones, so pixel (x, y) shows step max(x, y).
        painter.fillRect(i, 0, 1, height, color);
        painter.fillRect(0, i, width, 1, color);
    }
    return image;
}

} // namespace gradient

void TForm13::UpdateGradient() {
    const int formW = width();
    const int formH = height();
    if (formW <= 0 || formH <= 0)
        return;
    Image321->setGeometry(0, 0, formW, formH);
    Image321->setPixmap(QPixmap::fromImage(gradient::paint(formW, formH)));
    Image321->lower();
}
