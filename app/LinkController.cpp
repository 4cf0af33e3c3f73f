// The link calculation: the ends and their geometry, the site heights, the
// gaseous loss, the engine call, and the results handed on by signal.
#include "app/LinkController.h"

#include "app/pages/PageTools.h"
#include "geo/Path.h"
#include "geo/Units.h"
#include "propagation/FieldStrength.h"
#include "propagation/P676.h"
#include "propagation/engine/MissingTerrain.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <cmath>

namespace kestrova {
namespace {

constexpr double feetPerMetre = 3.28084;

} // namespace

TLinkController::TLinkController(LinkState& linkState, QObject* parent)
    : QObject(parent), state(linkState) {}

void TLinkController::EditText(bool start, const std::string& text) {
    (start ? setup.startText : setup.endText) = text;
}

void TLinkController::SetNumber(double LinkSetup::*member, double value) {
    setup.*member = value;
    Q_EMIT Changed();
}

void TLinkController::SetText(bool start, const std::string& text) {
    EditText(start, text);
    Q_EMIT Changed();
}

void TLinkController::SetLocatorFormat(int format) {
    if (format < 0 || format > 3) return;
    setup.locatorFormat = format;
    setup.startText = LocationText(state.txLocation, format, shownPrecision).toStdString();
    setup.endText = LocationText(state.rxLocation, format, shownPrecision).toStdString();
    Q_EMIT Changed();
}

void TLinkController::SetInputMode(bool startEnd) {
    setup.startEndInput = startEnd ? 1.0 : 0.0;
    Q_EMIT Changed();
}

CalculationSettings TLinkController::Settings() const {
    CalculationSettings settings;
    settings.frequency = setup.frequency;
    settings.timePercent = setup.percent;
    settings.htg = setup.txHeight;
    settings.hrg = setup.rxHeight;
    settings.temperature = setup.temperature;
    settings.pressure = setup.pressure;
    settings.humidity = setup.humidity;
    if (setup.ForcedK()) settings.forcedK = setup.kFactor;
    settings.edition = setup.EditionUsed();
    settings.polarisation = setup.polarisation == 1.0 ? p452v18::Polarisation::Horizontal
                                                      : p452v18::Polarisation::Vertical;
    settings.txGain = setup.txGain;
    settings.rxGain = setup.rxGain;
    settings.landCover = state.landCover;
    return settings;
}

std::optional<CalculationSettings> TLinkController::LinkSettings(bool report) const {
    if (!InputsAcceptable(report)) return std::nullopt;
    return Settings();
}

CalculationInputs TLinkController::CalculationInputsNow() const {
    return BuildCalculationInputs(
        Settings(), state.refractivity.get(), &state.txLocation, &state.rxLocation,
        RefractivitySource::PathCentreBlended,
        RefractivityFallback{state.lastN0, state.lastDeltaN, state.lastFromMaps});
}

LinkInputs TLinkController::CurrentLinkInputs() const {
    return CalculationInputsNow().link;
}

std::optional<CoverageLinkInputs> TLinkController::CoverageLink() {
    if (!InputsAcceptable(true)) return std::nullopt;
    const CalculationSettings settings = Settings();
    // A coverage cell never looks the maps up.
    const CalculationInputs calculation = BuildCalculationInputs(
        settings, nullptr, nullptr, nullptr, RefractivitySource::Fallback,
        RefractivityFallback{state.lastN0, state.lastDeltaN, state.lastFromMaps});
    if (!calculation.Usable()) {
        Q_EMIT Problem(QString::fromStdString(calculation.problem));
        return std::nullopt;
    }
    CoverageLinkInputs inputs;
    inputs.link = calculation.link;
    inputs.gamma = calculation.gamma;
    inputs.temperature = settings.temperature;
    inputs.pressure = settings.pressure;
    inputs.humidity = settings.humidity;
    return inputs;
}

void TLinkController::Calculate() {
    if (!state.initialised) return;
    state.abortRequested = false;
    Q_EMIT Started();
    if (!InputsAcceptable(true)) {
        Q_EMIT Cleared(QStringLiteral("No results: an input lies outside its limits"));
        return;
    }
    if (const std::string problem =
            setup.EditionUsed() == Edition::P452_18
                ? std::string()
                : WeatherProblem(setup.temperature, setup.pressure, setup.humidity);
        !problem.empty()) {
        Q_EMIT Cleared(QStringLiteral("No results: see the weather inputs"));
        Q_EMIT Problem(QString::fromStdString(problem));
        return;
    }
    if (!PlaceEnds()) return;

    CPath path;
    double range = 0.0;
    double bearing = 0.0;
    path.SetPath(state.rxLocation, state.txLocation);
    path.GetRangeBearing(range, bearing);
    Q_EMIT BackBearing(bearing);
    path.SetPath(state.txLocation, state.rxLocation);
    path.GetRangeBearing(range, bearing);
    state.pathBearing = bearing;
    GasLossStep(range);
    Q_EMIT RangeBearing();
    ShowProfileResults();
    if (state.terrainStore && !state.terrainStore->TileProblems().empty()) Q_EMIT TerrainProblems();
}

// The two ends from the inputs, and their heights; false (the results
// cleared) when one is not a valid location.
bool TLinkController::PlaceEnds() {
    const int format = setup.Format();
    state.txLocation = CLocator(setup.startText, format);
    if (setup.StartEnd()) {
        state.rxLocation = CLocator(setup.endText, format);
    } else {
        const double range = setup.Metric() ? setup.range : setup.range * kmPerMile;
        state.rxLocation = EndPointFromRangeBearing(state.txLocation, range, setup.bearing);
        setup.endText = LocationText(state.rxLocation, format, computedPrecision).toStdString();
        Q_EMIT Changed();
    }
    const QString rxHeight = state.rxLocation.IsValid()
                                 ? QStringLiteral("RX ") + SiteHeightText(state.rxLocation)
                                 : QStringLiteral("Invalid RX Locator");
    const QString txHeight = state.txLocation.IsValid()
                                 ? QStringLiteral("TX ") + SiteHeightText(state.txLocation)
                                 : QStringLiteral("Invalid TX Locator");
    Q_EMIT EndHeights(txHeight, rxHeight);
    if (state.txLocation.IsValid() && state.rxLocation.IsValid()) return true;
    Q_EMIT Cleared(state.txLocation.IsValid() ? QStringLiteral("No results: invalid RX location")
                                              : QStringLiteral("No results: invalid TX location"));
    return false;
}

QString TLinkController::SiteHeightText(const CLocator& location) const {
    const int h = state.terrainStore
                      ? state.terrainStore->GetHeight(location.GetLatitude(),
                                                      location.GetLongitude(), setup.interpolate)
                      : -32767;
    if (h <= -9999) return QStringLiteral("Sea or missing data");
    if (setup.Metric()) return QStringLiteral("ASL: %1 m").arg(h);
    return QStringLiteral("ASL: %1 ft")
        .arg(static_cast<long long>(std::floor(h * feetPerMetre + 0.5)));
}

void TLinkController::GasLossStep(double rangeKm) {
    if (setup.EditionUsed() == Edition::P452_18) {
        // Inside each of the edition's losses.
        state.pathGasLoss = 0.0;
        Q_EMIT GasLoss(0.0);
        return;
    }
    const double rho = P676::WaterVapourDensity(setup.humidity, setup.temperature, true);
    Q_EMIT WaterVapour(rho);
    const double gamma =
        P676::GaseousAttenuation(setup.frequency, setup.pressure, setup.temperature, rho);
    state.pathGasLoss = GaseousLossDb(gamma, rangeKm);
    Q_EMIT GasLoss(state.pathGasLoss);
}

bool TLinkController::RunEngine() {
    const CalculationInputs inputs = CalculationInputsNow();
    if (!inputs.Usable()) {
        Q_EMIT Problem(QString::fromStdString(inputs.problem));
        return false;
    }
    if (!state.engine || !state.terrainStore || !state.zoneMap) return false;
    const bool valid =
        state.engine->CalculateLink(*state.terrainStore, *state.zoneMap, state.txLocation,
                                    state.rxLocation, setup.interpolate, inputs.link);
    if (valid && !setup.ForcedK()) SetNumber(&LinkSetup::kFactor, state.engine->kMedian);
    Q_EMIT N0Source(inputs);
    if (valid) {
        const QString source =
            setup.ForcedK() ? QStringLiteral("fixed on the Input Data page")
            : inputs.fromMaps
                ? QStringLiteral("from the refractivity map at the path centre")
                : QStringLiteral("no map value at the path centre: from %1 N-units/km")
                      .arg(inputs.link.deltaN, 0, 'f', 1);
        Q_EMIT KFactor(state.engine->kMedian, source);
    }
    // The fallback of later calculations keeps map values only: a fixed
    // k-factor's ΔN never outlives its own calculation.
    if (valid && inputs.fromMaps) {
        state.lastN0 = inputs.mapN0;
        state.lastDeltaN = inputs.mapDeltaN;
        state.lastFromMaps = true;
    }
    return valid;
}

void TLinkController::ShowProfileResults() {
    if (!state.engine) {
        Q_EMIT Problem(QStringLiteral("Memory allocation failure"));
        return;
    }
    if (!RunEngine() || !state.engine->valid || state.engine->profile.count < 1) {
        Q_EMIT TerrainMissing(0.0);
        Q_EMIT PathTooShort();
        return;
    }
    const CTerrain& e = *state.engine;
    Q_EMIT TerrainMissing(e.profile.MissingFraction());
    if (const std::string problem = LossProblem(e.loss, state.pathGasLoss); !problem.empty()) {
        Q_EMIT PathTooShort();
        Q_EMIT Problem(QString::fromStdString(problem));
        return;
    }
    Q_EMIT Calculated(e, state.pathGasLoss);
}

} // namespace kestrova
