// The link calculation: locations and geometry, site heights, gaseous loss,
// the engine call, the loss figures, the profile chart and table, the chart
// readout and the refractivity page.
#include "app/ChartView.h"
#include "app/MainForm.h"
#include "app/Panel.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/P676.h"
#include "propagation/engine/EngineInputs.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrova {
namespace {

constexpr double kmPerMile = 1.6093;
constexpr double feetPerMetre = 3.28084;
// The chart readout converts with the exact factors.
constexpr double readoutFeetPerMetre = 3.2808399;
constexpr double readoutKmPerMile = 1.609344;

// GetText precisions by format: for a computed end point, and for showing
// stored locations (format change, start-up, reset).
constexpr int computedPrecision[] = {8, 8, 3, 3};
constexpr int shownPrecision[] = {10, 8, 3, 3};

int Precision(const int (&table)[4], int format) {
    return format >= 0 && format < 4 ? table[format] : 0;
}

QString Fixed(double value, int precision, int decimals) {
    return QString::fromStdString(FormatFixed(value, precision, decimals));
}

QString Text(CLocator location, int format, const int (&table)[4]) {
    return QString::fromStdString(location.GetText(format, Precision(table, format)));
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

int TMainForm::LocatorFormat() const {
    if (NGR->isChecked()) return FormatNGR;
    if (DEG->isChecked()) return FormatDegrees;
    if (DMS->isChecked()) return FormatDMS;
    return FormatMaidenhead;
}

void TMainForm::CalculateBtnClick() {
    if (!state.initialised) return;
    state.abortRequested = false;
    HideReadout();
    if (!LinkFieldsAcceptable()) return;

    if (const std::string problem =
            WeatherProblem(TEMPERATURE->GetValue(), PRESSURE->GetValue(), RH->GetValue());
        !problem.empty()) {
        Notify(QString::fromStdString(problem), true);
        return;
    }

    const int format = LocatorFormat();
    state.txLocation = CLocator(StartLoc->text().toStdString(), format);
    if (state.startEndInput) {
        state.rxLocation = CLocator(EndLoc->text().toStdString(), format);
    } else {
        double range = Range->GetValue();
        if (!Metric->isChecked()) range *= kmPerMile;
        state.rxLocation = EndPointFromRangeBearing(state.txLocation, range, Bearing->GetValue());
        EndLoc->setText(Text(state.rxLocation, format, computedPrecision));
    }
    EndHeight->setText(state.rxLocation.IsValid()
                           ? QStringLiteral("RX ") + SiteHeightText(state.rxLocation)
                           : QStringLiteral("Invalid RX Locator"));
    StartHeight->setText(state.txLocation.IsValid()
                             ? QStringLiteral("TX ") + SiteHeightText(state.txLocation)
                             : QStringLiteral("Invalid TX Locator"));
    if (!state.txLocation.IsValid() || !state.rxLocation.IsValid()) return;

    CPath path;
    double range = 0.0;
    double bearing = 0.0;
    path.SetPath(state.rxLocation, state.txLocation);
    path.GetRangeBearing(range, bearing);
    BackBearing->setText(QStringLiteral("(Back bearing ") + Fixed(bearing, 4, 1) +
                         QStringLiteral(" deg)"));
    path.SetPath(state.txLocation, state.rxLocation);
    path.GetRangeBearing(range, bearing);
    state.pathBearing = bearing;
    GasLossStep(range);
    ShowRangeBearing();
    ShowProfileResults();
}

bool TMainForm::LinkFieldsAcceptable() {
    // A field whose text is not a number or lies outside its limits stops
    // the calculation (rather than run the engine on 0 or on a value it is
    // not made for); the field reports it unless its exit check just did.
    std::vector<TNumEdit*> fields{FREQ, TX_H, RX_H, RH, TEMPERATURE, PRESSURE, Percent};
    if (ForcedKFactor->isChecked()) fields.push_back(K_FACT);
    if (!state.startEndInput) fields.insert(fields.end(), {Range, Bearing});
    for (TNumEdit* field : fields) {
        if (field->IsAcceptable()) continue;
        if (field->ProblemReported())
            field->setFocus();
        else
            field->DoExit();
        return false;
    }
    return true;
}

QString TMainForm::SiteHeightText(const CLocator& location) {
    const int h = state.terrainStore
                      ? state.terrainStore->GetHeight(location.GetLatitude(),
                                                      location.GetLongitude(), state.interpolate)
                      : -32767;
    if (h <= -9999) return QStringLiteral("Sea or missing data");
    if (Metric->isChecked()) return QStringLiteral("ASL: %1 m").arg(h);
    return QStringLiteral("ASL: %1 ft")
        .arg(static_cast<long long>(std::floor(h * feetPerMetre + 0.5)));
}

void TMainForm::GasLossStep(double rangeKm) {
    const double temperature = TEMPERATURE->GetValue();
    const double rho = P676::WaterVapourDensity(RH->GetValue(), temperature, true);
    RHO->setText(Fixed(rho, 3, 1) + QStringLiteral(" g/m3"));
    const double gamma =
        P676::GaseousAttenuation(FREQ->GetValue(), PRESSURE->GetValue(), temperature, rho);
    state.pathGasLoss = gamma * rangeKm;
    GasLoss->setText(QStringLiteral("Gaseous Loss: ") + Fixed(state.pathGasLoss, 6, 1) +
                     QStringLiteral(" dB"));
}

void TMainForm::ShowRangeBearing() {
    CPath path;
    path.SetPath(state.txLocation, state.rxLocation);
    double range = 0.0;
    double bearing = 0.0;
    path.GetRangeBearing(range, bearing);
    Bearing->setText(Fixed(bearing, 4, 1));
    const bool metric = Metric->isChecked();
    Range->setText(Fixed(metric ? range : range / kmPerMile, 6, 1));
    RangeUnitLabel->setText(metric ? QStringLiteral("km") : QStringLiteral("mls"));
}

void TMainForm::ShowInputMode(bool startEnd) {
    const QColor highlight = palette().color(QPalette::Light);
    const QColor face = palette().color(QPalette::Button);
    SetColour(startEnd ? Panel2 : Panel1, QPalette::Window, highlight);
    SetColour(startEnd ? Panel1 : Panel2, QPalette::Window, face);
    EndLoc->setReadOnly(!startEnd);
    SetColour(EndLoc, QPalette::Base,
              startEnd ? palette().color(QPalette::Base) : QColor(192, 192, 192));
    Range->setReadOnly(startEnd);
    Bearing->setReadOnly(startEnd);
}

void TMainForm::Panel1Click() {
    state.startEndInput = false;
    ShowInputMode(false);
}

void TMainForm::Panel2Click() {
    state.startEndInput = true;
    ShowInputMode(true);
}

void TMainForm::MetricClick() {
    CalculateBtnClick();
}

void TMainForm::FlatEarthClick() {
    CalculateBtnClick();
}

void TMainForm::INTERPOLATEClick() {
    state.interpolate = INTERPOLATE->isChecked();
}

void TMainForm::ForcedKFactorClick() {
    SetColour(K_FACT, QPalette::Base,
              ForcedKFactor->isChecked() ? QColor(Qt::red)
                                         : palette().color(QPalette::Inactive, QPalette::Window));
}

void TMainForm::ShowContoursClick() {}

void TMainForm::LOCClick() {
    const int format = LocatorFormat();
    EndLoc->setText(Text(state.rxLocation, format, shownPrecision));
    StartLoc->setText(Text(state.txLocation, format, shownPrecision));
}

bool TMainForm::RunEngine() {
    CalculationSettings settings;
    settings.frequency = FREQ->GetValue();
    settings.timePercent = Percent->GetValue();
    settings.htg = TX_H->GetValue();
    settings.hrg = RX_H->GetValue();
    settings.temperature = TEMPERATURE->GetValue();
    settings.pressure = PRESSURE->GetValue();
    settings.humidity = RH->GetValue();
    if (ForcedKFactor->isChecked()) settings.forcedK = K_FACT->GetValue();
    const CalculationInputs inputs =
        BuildCalculationInputs(settings, state.refractivity.get(), &state.txLocation,
                               &state.rxLocation, RefractivitySource::PathCentreBlended,
                               RefractivityFallback{state.lastN0, state.lastDeltaN});
    if (!inputs.Usable()) {
        Notify(QString::fromStdString(inputs.problem), true);
        return false;
    }
    if (!state.terrainStore || !state.zoneMap) return false;
    const bool valid =
        state.engine->CalculateLink(*state.terrainStore, *state.zoneMap, state.txLocation,
                                    state.rxLocation, state.interpolate, inputs.link);
    if (valid && !settings.forcedK) K_FACT->SetValue(state.engine->kMedian);
    // The fallback of later calculations keeps map values only: a fixed
    // k-factor's ΔN never outlives its own calculation.
    if (valid && inputs.fromMaps) {
        state.lastN0 = inputs.mapN0;
        state.lastDeltaN = inputs.mapDeltaN;
    }
    return valid;
}

void TMainForm::ShowProfileResults() {
    if (!state.engine) {
        UserDialogs::Current().Message(this, UserDialogs::Kind::Error,
                                       QStringLiteral("Memory allocation failure"));
        return;
    }
    const double txAntenna = TX_H->GetValue();
    const double rxAntenna = RX_H->GetValue();
    if (!RunEngine() || !state.engine->ready || !state.engine->valid ||
        state.engine->profile.count < 1) {
        InvalidPath->show();
        return;
    }
    const CTerrain& e = *state.engine;
    if (const std::string problem = LossProblem(e.loss, state.pathGasLoss); !problem.empty()) {
        InvalidPath->show();
        Notify(QString::fromStdString(problem), true);
        return;
    }
    InvalidPath->hide();

    BETA0->setText(Fixed(e.beta0, 3, 1) + QStringLiteral(" %"));
    SEAFRACTION->setText(Fixed(e.omega * 100.0, 3, 1) + QStringLiteral(" %"));
    DCT->setText(Fixed(e.dct, 4, 1) + QStringLiteral(" km"));
    DCR->setText(Fixed(e.dcr, 4, 1) + QStringLiteral(" km"));
    PLEN->setText(Fixed(e.pathLength, 4, 1) + QStringLiteral(" km"));

    const auto loss = [&](QLabel* label, const char* caption, double value) {
        label->setText(QString::fromLatin1(caption) + Fixed(value + state.pathGasLoss, 3, 0) +
                       QStringLiteral(" dB"));
    };
    loss(FSLoss, "Line of sight loss: ", e.loss.lb0p);
    loss(DiffLoss, "Diffraction path loss: ", e.loss.lbd);
    loss(TropoLoss, "Troposcatter path loss: ", e.loss.lbs);
    loss(DuctLoss, "Ducting path loss: ", e.loss.lba);
    loss(OverallLoss, "Overall path loss: ", e.loss.lb);

    const bool metric = Metric->isChecked();
    const bool flat = FlatEarth->isChecked();
    const TerrainProfile& p = e.profile;
    const int n = p.count;
    Profile->clear();
    QStringList lines;
    lines.reserve(n + 1);
    lines << (metric ? QStringLiteral("meters") : QStringLiteral("Range (m)  Height (ft)"));

    const double m =
        std::max({p.height[0], p.height[static_cast<std::size_t>(n - 1)], p.maxHeight});
    const double scale = metric ? 1.5 : 4.9;
    double top = scale * m;
    if (!flat) top += scale * p.midPathBulge;
    leftAxis->setTitleText(metric ? QStringLiteral("Height (m)") : QStringLiteral("Height (ft)"));
    bottomAxis->setTitleText(metric ? QStringLiteral("Range (km)")
                                    : QStringLiteral("Range (miles)"));

    QList<QPointF> terrain, bulge, los, lower, upper;
    for (QList<QPointF>* list : {&terrain, &bulge, &los, &lower, &upper})
        list->reserve(n);
    for (int i = 0; i < n; ++i) {
        const auto s = static_cast<std::size_t>(i);
        double h = std::trunc(p.height[s]);
        if (i == 0) h = std::trunc(h - txAntenna);
        if (i == n - 1) h = std::trunc(h - rxAntenna);
        const double b = flat ? 0.0 : p.earthBulge[s];
        if (metric) {
            lines << Fixed(p.distance[s] * 1000.0, 8, 0) + QStringLiteral(", ") +
                         QString::number(static_cast<long long>(p.height[s] + 0.5));
            const double x = p.distance[s];
            terrain << QPointF(x, h + b);
            bulge << QPointF(x, b);
            los << QPointF(x, b + p.rayHeight[s]);
            upper << QPointF(x, b + p.rayHeight[s] + p.fresnelRadius[s]);
            lower << QPointF(x, b + p.rayHeight[s] - p.fresnelRadius[s]);
        } else {
            lines << Fixed(p.distance[s] / kmPerMile, 4, 2) + QString(10, u' ') +
                         QString::number(static_cast<long long>(p.height[s] * feetPerMetre + 0.5));
            const double x = p.distance[s] / kmPerMile;
            const double l = (b + p.rayHeight[s]) * feetPerMetre + 0.5;
            const double f = p.fresnelRadius[s] * feetPerMetre + 0.5;
            terrain << QPointF(x, (h + b) * feetPerMetre + 0.5);
            bulge << QPointF(x, b * feetPerMetre + 0.5);
            los << QPointF(x, l);
            upper << QPointF(x, l + f);
            lower << QPointF(x, l - f);
        }
    }
    Profile->addItems(lines);
    // Columns as wide as the widest line.
    const QFontMetrics metrics(Profile->font());
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    Profile->setGridSize(QSize(width + 16, metrics.height() + 2));
    Series1->upperSeries()->replace(terrain);
    Series2->upperSeries()->replace(bulge);
    Series8->replace(los);
    Series9->replace(lower);
    Series10->replace(upper);
    Chart1->chart()->zoomReset();
    leftAxis->setRange(0.0, top);
    bottomAxis->setRange(0.0, n > 0 ? terrain.last().x() : 1.0);
}

void TMainForm::HideReadout() {
    for (QLabel* label : {ChartData, ChartLocator, CursorPos, PointData})
        label->hide();
}

void TMainForm::Chart1MouseLeave() {
    HideReadout();
}

void TMainForm::Chart1MouseMove(QPoint position) {
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
                           QStringLiteral(" m asl, 1st Frenel zone ") +
                           Fixed(p.fresnelRadius[s], 6, 1) + QStringLiteral(" m"));
    } else {
        ChartData->setText(QStringLiteral("Range ") + Fixed(x, 6, 1) +
                           QStringLiteral("mls, Height ") + Fixed(y, 6, 1) + QStringLiteral(" ft"));
        PointData->setText(
            QStringLiteral("Terrain ") + Fixed(p.height[s] * readoutFeetPerMetre, 6, 0) +
            QStringLiteral(" ft asl, 1st Frenel zone ") +
            Fixed(p.fresnelRadius[s] * readoutFeetPerMetre, 6, 1) + QStringLiteral(" ft"));
        x *= readoutKmPerMile;
    }
    state.cursorLocation = EndPointFromRangeBearing(state.txLocation, x, state.pathBearing);
    ChartLocator->setText(Text(state.cursorLocation, LocatorFormat(), shownPrecision));
    for (QLabel* label : {ChartData, ChartLocator, CursorPos, PointData})
        label->show();
}

void TMainForm::TabSheet1Show() {
    PTime->setText(QString::number(Percent->GetValue(), 'g', 5) + QStringLiteral(" %"));
    const CRefractivity* maps = state.refractivity.get();
    const CLocator& tx = state.txLocation;
    const CLocator& rx = state.rxLocation;
    const double centreLat = (tx.GetLatitude() + rx.GetLatitude()) / 2.0;
    const double centreLon = (tx.GetLongitude() + rx.GetLongitude()) / 2.0;
    double deltaN = 0.0;
    if (maps && maps->GetDeltaN(centreLat, centreLon, true, deltaN))
        Kfact->setText(Fixed(157.0 / (157.0 - deltaN), 4, 1));
    else
        Kfact->setText(QStringLiteral("Defaulting to 1.333"));

    using Lookup = bool (CRefractivity::*)(double, double, bool, double&) const;
    struct Item {
        Lookup lookup;
        QLabel* tx;
        QLabel* rx;
        const char* unit;
    };
    const Item items[] = {{&CRefractivity::GetN0, TXN_0, RXN_0, " N units"},
                          {&CRefractivity::GetDeltaN, TXDNDZ, RXDNDZ, " N units/km"},
                          {&CRefractivity::GetSurfaceDuctOccurrence, TXBETA0, RXBETA0, " %"},
                          {&CRefractivity::GetElevatedDuctOccurrence, TXBETAE, RXBETAE, " %"}};
    const auto show = [&](const CLocator& at, QLabel* label, Lookup lookup, const char* unit) {
        double value = 0.0;
        if (maps && (maps->*lookup)(at.GetLatitude(), at.GetLongitude(), true, value))
            label->setText(Fixed(value, 4, 1) + QString::fromLatin1(unit));
        else
            label->setText(QStringLiteral("No data"));
    };
    for (const Item& item : items)
        show(tx, item.tx, item.lookup, item.unit);
    for (const Item& item : items)
        show(rx, item.rx, item.lookup, item.unit);
}

} // namespace kestrova
