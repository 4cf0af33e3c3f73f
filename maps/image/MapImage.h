// The bitmaps of the maps, drawn with QtGui (QImage and QPainter, never
// widgets), so that the window and kestrova-cli draw the same pixels: a
// colour grid as blocks of g x g pixels, contour lines, the path line and
// the end markers.
#pragma once

#include "maps/Contours.h"
#include "maps/MapArea.h"

#include <QColor>
#include <QImage>

namespace kestrova {

inline QColor ToQColor(Colour c) {
    return QColor(c.r, c.g, c.b);
}

// The grid as a bitmap of g x cols by g x rows pixels, cell (i, j) filling
// the block whose top-left corner is (g j, g i). A null image when g < 1,
// the grid is empty or the bitmap cannot be allocated.
QImage ImageFromColours(const ColourGrid& colours, int g);

// Draws the contour lines of the grid's levels (ascending, count of them)
// into the bitmap with a black one-pixel pen, each segment from its
// truncated first point to its truncated second point; g pixels per grid
// cell, fractional values allowed. Returns the number of segments (see
// ContourSegments); nothing is drawn on a null bitmap.
int DrawContours(QImage& bitmap, const ContourGrid& grid, double g, int count, const int* levels);

// A disc of 10 pixels centred on (x, y): the rounded rectangle from
// (x - 5, y - 5) to (x + 5, y + 5) (right and bottom edges excluded) with a
// 10 x 10 corner ellipse, filled and outlined.
void DrawEndDisc(QImage& bitmap, int x, int y, const QColor& fill, const QColor& outline);

// The link on a map of the frame: a white line from the transmitter's pixel
// to the receiver's, then a red disc at the transmitter and a blue one at
// the receiver, both outlined in white.
void DrawLinkPath(QImage& bitmap, const MapFrame& frame, double txLat, double txLon, double rxLat,
                  double rxLon);

} // namespace kestrova
