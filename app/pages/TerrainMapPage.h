// TTerrainMapPage: the "Terrain Map" page. Each time it is shown, and on
// "Redraw" or a change of palette, it runs the link calculation and draws
// the map of the link area (480 x 480) with the path, and the local maps
// around each end (240 x 240), in the selected palette with height contours
// on request; moving the mouse over the link map shows the position under
// it and the terrain height there.
#pragma once

#include "app/pages/Page.h"

#include <QImage>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kestrova {

class TMapView;
class TNumEdit;

class TTerrainMapPage : public TPage {
    Q_OBJECT
public:
    explicit TTerrainMapPage(TPageHost& host);

    void PageShow() override { mapShow(); }

    // The frame of the link map as last drawn: the south-west corner and
    // side of its square in degrees, and degrees per two pixels.
    double LinkMapSouth() const { return linkMapSouth; }
    double LinkMapWest() const { return linkMapWest; }
    double LinkMapSpan() const { return linkMapSpan; }
    double LinkMapScale() const { return linkMapScale; }
    // Shows the palette of that type as the chosen one (no drawing).
    void ShowPalette(int type);

public Q_SLOTS:
    void mapShow();
    void RedrawMapClick();
    void ShowContoursClick();
    void LinkMapMouseMove(QPoint position);

private:
    void BuildControls(QVBoxLayout* column);
    void PaletteClick();
    int ContourSpacingValue();
    void DrawLocal(TMapView* view, QLabel* area, QImage& bitmap, bool transmitter, int maxH,
                   int minH, int spacing);

    std::array<QRadioButton*, 6> paletteButtons{}; // in palette type order
    QCheckBox* ShowContours = nullptr;
    TNumEdit* ContourSpacing = nullptr;
    QCheckBox* LocalContours = nullptr;
    QPushButton* RedrawMap = nullptr;
    QLabel* LocationOnMap = nullptr;
    QLabel* HeightOnMap = nullptr;
    TMapView* LinkMap = nullptr;
    QLabel* MapH = nullptr;
    TMapView* TXLocal = nullptr;
    TMapView* RXLocal = nullptr;
    QLabel* TXArea = nullptr;
    QLabel* RXArea = nullptr;

    QImage linkMapBitmap;
    QImage txLocalBitmap;
    QImage rxLocalBitmap;
    double linkMapSouth = 0.0;
    double linkMapWest = 0.0;
    double linkMapSpan = 0.0;
    double linkMapScale = 0.0;
};

} // namespace kestrova
