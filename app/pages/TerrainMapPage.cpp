// The "Terrain Map" page (see TerrainMapPage.h).
#include "app/pages/TerrainMapPage.h"

#include "app/pages/ImageTools.h"
#include "app/pages/MapView.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "maps/MapArea.h"
#include "maps/image/TerrainMapImage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int noTerrainHeight = -32767; // the store's height where it has none
constexpr double feetPerMetre = 3.2808399;

} // namespace

namespace kestrova {
namespace {

constexpr int linkMapSide = 480;
constexpr int localMapSide = 240;

} // namespace

TTerrainMapPage::TTerrainMapPage(TPageHost& pageHost)
    : TPage(pageHost, "map", QStringLiteral("Terrain Map")) {
    auto* columns = new QHBoxLayout(this);
    auto* controls = new QVBoxLayout;
    columns->addLayout(controls);
    BuildControls(controls);

    auto* centre = new QVBoxLayout;
    LinkMap = new TMapView("LinkMap", linkMapSide, linkMapSide, this);
    MapH = Label("MapH", QStringLiteral("Map data"), this);
    centre->addWidget(LinkMap);
    centre->addWidget(MapH);
    centre->addStretch(1);
    columns->addLayout(centre);

    auto* local = Named(new QGroupBox(this), "LocalMaps");
    auto* localLayout = new QVBoxLayout(local);
    localLayout->setSpacing(2);
    localLayout->addWidget(new QLabel(QStringLiteral("Local Maps 3 arcminute squares"), local));
    TXLocal = new TMapView("TXLocal", localMapSide, localMapSide, local);
    TXArea = Label("TXArea", QStringLiteral("TX Area"), local);
    RXLocal = new TMapView("RXLocal", localMapSide, localMapSide, local);
    RXArea = Label("RXArea", QStringLiteral("RX Area"), local);
    for (QWidget* widget : std::initializer_list<QWidget*>{TXLocal, TXArea, RXLocal, RXArea})
        localLayout->addWidget(widget);
    localLayout->addStretch(1);
    columns->addWidget(local);
    columns->addStretch(1);

    connect(LinkMap, &TMapView::MouseMoved, this, &TTerrainMapPage::LinkMapMouseMove);
    AddImageMenu(LinkMap, host, QStringLiteral("terrain-map"), QStringLiteral("Map"));
    AddImageMenu(TXLocal, host, QStringLiteral("tx-local-map"), QStringLiteral("Map"));
    AddImageMenu(RXLocal, host, QStringLiteral("rx-local-map"), QStringLiteral("Map"));
    connect(RedrawMap, &QPushButton::clicked, this, &TTerrainMapPage::RedrawMapClick);
    connect(ShowContours, &QCheckBox::toggled, this, &TTerrainMapPage::ShowContoursClick);
}

void TTerrainMapPage::BuildControls(QVBoxLayout* column) {
    // The six palettes in two groups, one choice among all of them.
    auto* palettes = new QButtonGroup(this);
    const char* const names[] = {"HSVSELECT",   "DEMSELECT",  "JETSELECT",
                                 "DEM15SELECT", "NCARSELECT", "SCHWARZWALDSELECT"};
    const char* const captions[] = {"HSV", "DEM", "JET", "DEM", "NCAR", "Schwarzwald"};
    QGroupBox* groups[] = {
        Named(new QGroupBox(QStringLiteral("Continuous Palettes"), this), "ContinuousPalettes"),
        Named(new QGroupBox(QStringLiteral("Discrete Level Palettes"), this), "DiscretePalettes")};
    for (std::size_t type = 0; type < paletteButtons.size(); ++type) {
        QGroupBox* group = groups[type / 3];
        if (!group->layout()) new QVBoxLayout(group);
        auto* button =
            Named(new QRadioButton(QString::fromLatin1(captions[type]), group), names[type]);
        group->layout()->addWidget(button);
        palettes->addButton(button, static_cast<int>(type));
        paletteButtons[type] = button;
    }
    paletteButtons[4]->setChecked(true); // NCAR
    for (QRadioButton* button : paletteButtons)
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on) PaletteClick();
        });
    for (QGroupBox* group : groups)
        column->addWidget(group);

    auto* contours = Named(new QGroupBox(QStringLiteral("Contours"), this), "ContourGroup");
    auto* contourLayout = new QGridLayout(contours);
    ShowContours =
        Named(new QCheckBox(QStringLiteral("Show Contours - spacing"), contours), "ShowContours");
    ShowContours->setChecked(true);
    ShowContours->setToolTip(QStringLiteral("If checked height contours will be drawn on the map"));
    ContourSpacing = NumField("ContourSpacing", contours);
    ContourSpacing->setToolTip(QStringLiteral("Contour spacing in metres"));
    LocalContours =
        Named(new QCheckBox(QStringLiteral("Local Contours only"), contours), "LocalContours");
    LocalContours->setChecked(true);
    contourLayout->addWidget(ShowContours, 0, 0, 1, 2);
    contourLayout->addWidget(ContourSpacing, 1, 0);
    contourLayout->addWidget(new QLabel(QStringLiteral("metres"), contours), 1, 1);
    contourLayout->addWidget(LocalContours, 2, 0, 1, 2);
    column->addWidget(contours);

    RedrawMap = Named(new QPushButton(QStringLiteral("Redraw"), this), "RedrawMap");
    column->addWidget(RedrawMap);
    LocationOnMap = Label("LocationOnMap", QStringLiteral("Location under mouse"), this);
    LocationOnMap->setWordWrap(true);
    LocationOnMap->hide();
    column->addWidget(LocationOnMap);
    HeightOnMap = Label("HeightOnMap", QStringLiteral("Terrain height under mouse"), this);
    HeightOnMap->hide();
    column->addWidget(HeightOnMap);
    column->addStretch(1);
}

void TTerrainMapPage::ShowPalette(int type) {
    if (type < 0 || type >= static_cast<int>(paletteButtons.size())) return;
    const QSignalBlocker blocker(paletteButtons[static_cast<std::size_t>(type)]);
    paletteButtons[static_cast<std::size_t>(type)]->setChecked(true);
}

void TTerrainMapPage::PaletteClick() {
    for (std::size_t type = 0; type < paletteButtons.size(); ++type)
        if (paletteButtons[type]->isChecked()) host.SetPalette(static_cast<int>(type));
    // A new palette shows at once on a page in view.
    if (isVisible() && host.State().initialised) mapShow();
}

void TTerrainMapPage::ShowContoursClick() {} // read at the next drawing

void TTerrainMapPage::RedrawMapClick() {
    mapShow();
}

int TTerrainMapPage::ContourSpacingValue() {
    if (!ShowContours->isChecked()) return 0;
    // A spacing outside its limits (10 to 1000 m) says so and draws no
    // contours, rather than thousands of levels.
    if (!ContourSpacing->IsAcceptable()) {
        if (!ContourSpacing->ProblemReported()) ContourSpacing->DoExit();
        return 0;
    }
    return static_cast<int>(std::trunc(ContourSpacing->GetValue()));
}

void TTerrainMapPage::mapShow() {
    // Every showing and every "Redraw" draws: the calculation clears any
    // abort request, and nothing here waits on window messages.
    host.Link().Calculate();
    LinkState& state = host.State();
    if (!state.terrainStore || !state.palette) return;
    const int spacing = ContourSpacingValue();
    const TerrainSource source{*state.terrainStore, *state.palette,
                               host.Link().Setup().interpolate};
    const CLocator& tx = state.txLocation;
    const CLocator& rx = state.rxLocation;

    const LinkMapImage link = DrawLinkMap(
        source, tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(), rx.GetLongitude(),
        LinkMap->width(), LinkMap->height(), LocalContours->isChecked() ? 0 : spacing);
    linkMapSouth = link.frame.south;
    linkMapWest = link.frame.west;
    linkMapSpan = link.frame.span;
    linkMapScale = link.frame.scale;
    linkMapBitmap = link.map.bitmap;
    MapH->setText(QString::fromStdString(MapHeightsText(link.map.maxHeight, link.map.minHeight)));
    if (link.map.imageFailed) host.Notify(QStringLiteral("Could not load or display bitmap"), true);
    LinkMap->Draw(linkMapBitmap);

    // The local maps share the link map's colour range.
    const int maxH = link.map.maxHeight;
    const int minH = link.map.minHeight;
    DrawLocal(TXLocal, TXArea, txLocalBitmap, true, maxH, minH, spacing);
    DrawLocal(RXLocal, RXArea, rxLocalBitmap, false, maxH, minH, spacing);
}

void TTerrainMapPage::DrawLocal(TMapView* view, QLabel* area, QImage& bitmap, bool transmitter,
                                int maxH, int minH, int spacing) {
    LinkState& state = host.State();
    const CLocator& end = transmitter ? state.txLocation : state.rxLocation;
    const TerrainSource source{*state.terrainStore, *state.palette,
                               host.Link().Setup().interpolate};
    const LocalMapImage local =
        DrawLocalMap(source, transmitter ? "TX" : "RX", end.GetLatitude(), end.GetLongitude(), maxH,
                     minH, view->width(), view->height(), spacing,
                     transmitter ? QColor(255, 0, 0) : QColor(0, 0, 255));
    bitmap = local.map.bitmap;
    // The page speaks the window's units: km in a metric window.
    const std::string areaText =
        host.Link().Setup().Metric()
            ? LocalAreaText(transmitter ? "TX" : "RX", end.GetLatitude(), local.side,
                            local.map.maxHeight, local.map.minHeight, true)
            : local.areaText;
    area->setText(QString::fromStdString(areaText));
    if (local.map.imageFailed)
        host.Notify(QStringLiteral("Could not load or display bitmap"), true);
    view->Draw(bitmap);
}

void TTerrainMapPage::LinkMapMouseMove(QPoint position) {
    double lat = 0.0;
    double lon = 0.0;
    PositionOfPixel(linkMapSouth, linkMapWest, linkMapSpan, LinkMap->width(), LinkMap->height(),
                    position.x(), position.y(), lat, lon);
    LinkState& state = host.State();
    state.cursorLocation.SetLatLon(lat, lon);
    LocationOnMap->setText(
        QStringLiteral("Cursor Position ") +
        LocationText(state.cursorLocation, host.Link().Setup().Format(), shownPrecision));
    LocationOnMap->show();
    // The terrain height there, as the map's colours show it (from the
    // same store, with the link's interpolation).
    const int height =
        state.terrainStore
            ? state.terrainStore->GetHeight(lat, lon, host.Link().Setup().interpolate)
            : noTerrainHeight;
    if (height == noTerrainHeight)
        HeightOnMap->setText(QStringLiteral("Terrain height: no data"));
    else if (host.Link().Setup().Metric())
        HeightOnMap->setText(QStringLiteral("Terrain height %1 m").arg(height));
    else
        HeightOnMap->setText(
            QStringLiteral("Terrain height %1 ft").arg(std::lround(height * feetPerMetre)));
    HeightOnMap->show();
}

} // namespace kestrova
