// Drawing of the map bitmaps (see MapImage.h).
#include "maps/image/MapImage.h"

#include <QPainter>

#include <cmath>
#include <vector>

namespace kestrova {

QImage ImageFromColours(const ColourGrid& colours, int g) {
    if (g < 1 || colours.rows < 1 || colours.cols < 1) return {};
    const long long width = static_cast<long long>(g) * colours.cols;
    const long long height = static_cast<long long>(g) * colours.rows;
    if (width > 32767 || height > 32767) return {}; // beyond what QImage holds
    QImage bitmap(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (bitmap.isNull()) return bitmap;
    for (int i = 0; i < colours.rows; ++i) {
        auto* first = reinterpret_cast<QRgb*>(bitmap.scanLine(g * i));
        for (int j = 0; j < colours.cols; ++j) {
            const QRgb pixel = colours.At(i, j).ToArgb();
            for (int k = 0; k < g; ++k)
                first[g * j + k] = pixel;
        }
        for (int k = 1; k < g; ++k)
            std::copy(first, first + width, reinterpret_cast<QRgb*>(bitmap.scanLine(g * i + k)));
    }
    return bitmap;
}

int DrawContours(QImage& bitmap, const ContourGrid& grid, double g, int count, const int* levels) {
    if (bitmap.isNull()) return 0;
    std::vector<QLine> lines;
    const int drawn = ContourSegments(grid, bitmap.width(), bitmap.height(), g, count, levels,
                                      [&lines](const ContourSegment& s) {
                                          lines.emplace_back(static_cast<int>(std::trunc(s.x1)),
                                                             static_cast<int>(std::trunc(s.y1)),
                                                             static_cast<int>(std::trunc(s.x2)),
                                                             static_cast<int>(std::trunc(s.y2)));
                                      });
    // One call for all the segments: the lines are all of one pen, so their
    // order does not matter.
    QPainter painter(&bitmap);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    return drawn;
}

namespace {

void Disc(QPainter& painter, int x, int y, const QColor& fill) {
    painter.setBrush(fill);
    // A rounded rectangle whose corner ellipse is as large as itself is a
    // circle; its one-pixel outline round a 9 x 9 box covers 10 x 10 pixels.
    painter.drawEllipse(QRect(x - 5, y - 5, 9, 9));
}

} // namespace

void DrawEndDisc(QImage& bitmap, int x, int y, const QColor& fill, const QColor& outline) {
    if (bitmap.isNull()) return;
    QPainter painter(&bitmap);
    painter.setPen(QPen(outline, 1));
    Disc(painter, x, y, fill);
}

void DrawLinkPath(QImage& bitmap, const MapFrame& frame, double txLat, double txLon, double rxLat,
                  double rxLon) {
    if (bitmap.isNull()) return;
    const MapPixel tx = PixelOf(frame, txLat, txLon);
    const MapPixel rx = PixelOf(frame, rxLat, rxLon);
    QPainter painter(&bitmap);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(tx.x, tx.y, rx.x, rx.y);
    Disc(painter, tx.x, tx.y, QColor(255, 0, 0));
    Disc(painter, rx.x, rx.y, QColor(0, 0, 255));
}

} // namespace kestrova
