// The profile chart of the "Input Data" page: the terrain, the Earth bulge,
// the line of sight and the first Fresnel zone of the last valid link, its
// readout under the mouse, and its copy to the clipboard.
#include "app/pages/ChartTicks.h"
#include "app/pages/ImageTools.h"
#include "app/pages/InputPage.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/ChartView.h"
#include "controls/UserDialogs.h"
#include "geo/Units.h"
#include "propagation/engine/MissingTerrain.h"
#include "propagation/engine/Terrain.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QRadioButton>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr double feetPerMetre = 3.28084;
// The readout converts with the exact factors.
constexpr double readoutFeetPerMetre = 3.2808399;

} // namespace

void TInputPage::ShowProfileChart(const CTerrain& engine) {
    const double txAntenna = TX_H->GetValue();
    const double rxAntenna = RX_H->GetValue();
    const bool metric = Metric->isChecked();
    const bool flat = FlatEarth->isChecked();
    const TerrainProfile& p = engine.profile;
    const int n = p.count;

    const double m =
        std::max({p.height[0], p.height[static_cast<std::size_t>(n - 1)], p.maxHeight});
    const double scale = metric ? 1.5 : 4.9;
    double top = scale * m;
    if (!flat) top += scale * p.midPathBulge;
    leftAxis->setTitleText(metric ? QStringLiteral("Height (m)") : QStringLiteral("Height (ft)"));
    bottomAxis->setTitleText(metric ? QStringLiteral("Range (km)")
                                    : QStringLiteral("Range (miles)"));

    QList<QPointF> terrain, bulge, los, lower, upper, clutter;
    for (QList<QPointF>* list : {&terrain, &bulge, &los, &lower, &upper})
        list->reserve(n);
    for (int i = 0; i < n; ++i) {
        const auto s = static_cast<std::size_t>(i);
        double h = std::trunc(p.height[s]);
        if (i == 0) h = std::trunc(h - txAntenna);
        if (i == n - 1) h = std::trunc(h - rxAntenna);
        const double b = flat ? 0.0 : p.earthBulge[s];
        if (metric) {
            const double x = p.distance[s];
            terrain << QPointF(x, h + b);
            if (p.hasClutter) clutter << QPointF(x, h + b + p.clutter[s]);
            bulge << QPointF(x, b);
            los << QPointF(x, b + p.rayHeight[s]);
            upper << QPointF(x, b + p.rayHeight[s] + p.fresnelRadius[s]);
            lower << QPointF(x, b + p.rayHeight[s] - p.fresnelRadius[s]);
        } else {
            const double x = p.distance[s] / kmPerMile;
            const double l = (b + p.rayHeight[s]) * feetPerMetre + 0.5;
            const double f = p.fresnelRadius[s] * feetPerMetre + 0.5;
            terrain << QPointF(x, (h + b) * feetPerMetre + 0.5);
            if (p.hasClutter) clutter << QPointF(x, (h + b + p.clutter[s]) * feetPerMetre + 0.5);
            bulge << QPointF(x, b * feetPerMetre + 0.5);
            los << QPointF(x, l);
            upper << QPointF(x, l + f);
            lower << QPointF(x, l - f);
        }
    }
    Series1->upperSeries()->replace(terrain);
    Series2->upperSeries()->replace(bulge);
    Clutter->upperSeries()->replace(clutter);
    Clutter->lowerSeries()->replace(p.hasClutter ? terrain : QList<QPointF>());
    Series8->replace(los);
    Series9->replace(lower);
    Series10->replace(upper);
    Chart1->chart()->zoomReset();
    SetRoundRange(leftAxis, 0.0, top);
    SetRoundRange(bottomAxis, 0.0, n > 0 ? terrain.last().x() : 1.0);
    ShowNoTerrain(engine, metric ? 1.0 : 1.0 / kmPerMile);
    Chart1->SetHome();
}

// Each sample without terrain data stands for half a spacing either side.
void TInputPage::ShowNoTerrain(const CTerrain& engine, double xScale) {
    const TerrainProfile& p = engine.profile;
    const int n = p.count;
    const double half = n > 1 ? (p.distance[1] - p.distance[0]) / 2.0 : 0.0;
    const double end = n > 0 ? p.distance[static_cast<std::size_t>(n - 1)] : 0.0;
    const double top = leftAxis->max();
    QList<QPointF> bands;
    for (const NoTerrainStretch& stretch : NoTerrainStretches(p)) {
        const double from = std::max(0.0, stretch.from - half) * xScale;
        const double to = std::min(end, stretch.to + half) * xScale;
        bands << QPointF(from, 0.0) << QPointF(from, top) << QPointF(to, top) << QPointF(to, 0.0);
    }
    NoTerrain->upperSeries()->replace(bands);
    const double missing = p.MissingFraction();
    Chart1->chart()->setTitle(
        missing > 0.0
            ? QStringLiteral("Terrain: no data for %1 of the path (hatched), taken as 0 m")
                  .arg(QString::fromStdString(ShareText(missing)))
            : QStringLiteral("Terrain"));
}

void TInputPage::HideReadout() {
    for (QLabel* label : {ChartData, ChartLocator, CursorPos, PointData})
        label->hide();
}

void TInputPage::Chart1MouseLeave() {
    HideReadout();
}

void TInputPage::Chart1MouseMove(QPoint position) {
    LinkState& state = host.State();
    QLineSeries* terrain = Series1->upperSeries();
    if (!state.engine || terrain->count() < 2) return;
    const QPointF scene = Chart1->mapToScene(position);
    const QPointF value =
        Chart1->chart()->mapToValue(Chart1->chart()->mapFromScene(scene), Series1);
    double x = value.x();
    const double y = value.y();

    // The first sample to the right of the cursor; past the last, the last.
    const TerrainProfile& p = state.engine->profile;
    const int last = std::min(p.count, static_cast<int>(terrain->count())) - 1;
    if (last < 1) return;
    int i = 1;
    while (i < last && !(terrain->at(i).x() > x))
        ++i;
    const auto s = static_cast<std::size_t>(i);

    if (Metric->isChecked()) {
        ChartData->setText(QStringLiteral("Range ") + Fixed(x, 6, 1) +
                           QStringLiteral("km, Height ") + Fixed(y, 6, 1) + QStringLiteral(" m"));
        PointData->setText(QStringLiteral("Terrain ") + Fixed(p.height[s], 6, 0) +
                           QStringLiteral(" m asl, 1st Fresnel zone ") +
                           Fixed(p.fresnelRadius[s], 6, 1) + QStringLiteral(" m"));
    } else {
        ChartData->setText(QStringLiteral("Range ") + Fixed(x, 6, 1) +
                           QStringLiteral("mls, Height ") + Fixed(y, 6, 1) + QStringLiteral(" ft"));
        PointData->setText(
            QStringLiteral("Terrain ") + Fixed(p.height[s] * readoutFeetPerMetre, 6, 0) +
            QStringLiteral(" ft asl, 1st Fresnel zone ") +
            Fixed(p.fresnelRadius[s] * readoutFeetPerMetre, 6, 1) + QStringLiteral(" ft"));
        x *= kmPerMile;
    }
    state.cursorLocation = EndPointFromRangeBearing(state.txLocation, x, state.pathBearing);
    ChartLocator->setText(
        LocationText(state.cursorLocation, host.Link().Setup().Format(), shownPrecision));
    for (QLabel* label : {ChartData, ChartLocator, CursorPos, PointData})
        label->show();
}

void TInputPage::Chart1DblClick() {
    CopyImage(Chart1, host, QStringLiteral("Chart"));
}

} // namespace kestrova
