// The link calculation: locations and geometry, site heights, gaseous loss,
// the engine call, and the results handed to the pages that show them.
#include "app/MainForm.h"
#include "app/pages/InputPage.h"
#include "app/pages/PageTools.h"
#include "app/pages/RefractivityPage.h"
#include "app/pages/TablePage.h"
#include "controls/NumEdit.h"
#include "controls/UserDialogs.h"
#include "geo/Path.h"
#include "geo/Units.h"
#include "propagation/FieldStrength.h"
#include "propagation/P676.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/MissingTerrain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <cmath>

namespace kestrova {
namespace {

constexpr double feetPerMetre = 3.28084;

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
    inputPage->HideReadout();
    if (!inputPage->LinkFieldsAcceptable()) {
        inputPage->ClearResults(QStringLiteral("No results: an input lies outside its limits"));
        return;
    }

    if (const std::string problem =
            inputPage->CurrentEdition() == Edition::P452_18
                ? std::string()
                : WeatherProblem(TEMPERATURE->GetValue(), PRESSURE->GetValue(), RH->GetValue());
        !problem.empty()) {
        inputPage->ClearResults(QStringLiteral("No results: see the weather inputs"));
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
        EndLoc->setText(LocationText(state.rxLocation, format, computedPrecision));
    }
    const QString rxHeight = state.rxLocation.IsValid()
                                 ? QStringLiteral("RX ") + SiteHeightText(state.rxLocation)
                                 : QStringLiteral("Invalid RX Locator");
    const QString txHeight = state.txLocation.IsValid()
                                 ? QStringLiteral("TX ") + SiteHeightText(state.txLocation)
                                 : QStringLiteral("Invalid TX Locator");
    inputPage->ShowEndHeights(txHeight, rxHeight);
    if (!state.txLocation.IsValid() || !state.rxLocation.IsValid()) {
        inputPage->ClearResults(state.txLocation.IsValid()
                                    ? QStringLiteral("No results: invalid RX location")
                                    : QStringLiteral("No results: invalid TX location"));
        return;
    }

    CPath path;
    double range = 0.0;
    double bearing = 0.0;
    path.SetPath(state.rxLocation, state.txLocation);
    path.GetRangeBearing(range, bearing);
    inputPage->ShowBackBearing(bearing);
    path.SetPath(state.txLocation, state.rxLocation);
    path.GetRangeBearing(range, bearing);
    state.pathBearing = bearing;
    GasLossStep(range);
    inputPage->ShowRangeBearing();
    ShowProfileResults();
    // A tile found but unusable was read as missing terrain: the status
    // bar names it.
    if (state.terrainStore && !state.terrainStore->TileProblems().empty()) UpdateDataStatus();
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
    if (inputPage->CurrentEdition() == Edition::P452_18) {
        // Inside each of the edition's losses.
        state.pathGasLoss = 0.0;
        inputPage->ShowGasLoss(0.0);
        return;
    }
    const double temperature = TEMPERATURE->GetValue();
    const double rho = P676::WaterVapourDensity(RH->GetValue(), temperature, true);
    refractivityPage->ShowWaterVapour(rho);
    const double gamma =
        P676::GaseousAttenuation(FREQ->GetValue(), PRESSURE->GetValue(), temperature, rho);
    state.pathGasLoss = GaseousLossDb(gamma, rangeKm);
    inputPage->ShowGasLoss(state.pathGasLoss);
}

CalculationSettings TMainForm::CurrentSettings() {
    CalculationSettings settings;
    settings.frequency = FREQ->GetValue();
    settings.timePercent = Percent->GetValue();
    settings.htg = TX_H->GetValue();
    settings.hrg = RX_H->GetValue();
    settings.temperature = TEMPERATURE->GetValue();
    settings.pressure = PRESSURE->GetValue();
    settings.humidity = RH->GetValue();
    if (ForcedKFactor->isChecked()) settings.forcedK = K_FACT->GetValue();
    inputPage->FillEditionSettings(settings);
    settings.landCover = state.landCover;
    return settings;
}

CalculationInputs TMainForm::CurrentCalculationInputs() {
    return BuildCalculationInputs(
        CurrentSettings(), state.refractivity.get(), &state.txLocation, &state.rxLocation,
        RefractivitySource::PathCentreBlended,
        RefractivityFallback{state.lastN0, state.lastDeltaN, state.lastFromMaps});
}

LinkInputs TMainForm::CurrentLinkInputs() {
    return CurrentCalculationInputs().link;
}

double TMainForm::TimePercent() {
    return Percent->GetValue();
}

bool TMainForm::RunEngine() {
    const CalculationInputs inputs = CurrentCalculationInputs();
    if (!inputs.Usable()) {
        Notify(QString::fromStdString(inputs.problem), true);
        return false;
    }
    if (!state.terrainStore || !state.zoneMap) return false;
    const bool valid =
        state.engine->CalculateLink(*state.terrainStore, *state.zoneMap, state.txLocation,
                                    state.rxLocation, state.interpolate, inputs.link);
    if (valid && !ForcedKFactor->isChecked()) K_FACT->SetValue(state.engine->kMedian);
    ShowN0Source(inputs);
    if (valid) {
        const QString source =
            ForcedKFactor->isChecked() ? QStringLiteral("fixed on the Input Data page")
            : inputs.fromMaps
                ? QStringLiteral("from the refractivity map at the path centre")
                : QStringLiteral("no map value at the path centre: from %1 N-units/km")
                      .arg(inputs.link.deltaN, 0, 'f', 1);
        refractivityPage->ShowKFactor(state.engine->kMedian, source);
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

void TMainForm::ShowProfileResults() {
    if (!state.engine) {
        UserDialogs::Current().Message(this, UserDialogs::Kind::Error,
                                       QStringLiteral("Memory allocation failure"));
        return;
    }
    if (!RunEngine() || !state.engine->valid || state.engine->profile.count < 1) {
        ShowTerrainStatus(0.0);
        inputPage->ShowPathTooShort();
        return;
    }
    const CTerrain& e = *state.engine;
    ShowTerrainStatus(e.profile.MissingFraction());
    if (const std::string problem = LossProblem(e.loss, state.pathGasLoss); !problem.empty()) {
        inputPage->ShowPathTooShort();
        Notify(QString::fromStdString(problem), true);
        return;
    }
    refractivityPage->ShowPathData(e);
    inputPage->ShowResults(e, state.pathGasLoss);
    tablePage->ShowProfile(e.profile, Metric->isChecked());
}

void TMainForm::ShowTerrainStatus(double missingFraction) {
    QString text = QString::fromStdString(MissingTerrainText(missingFraction, "the path"));
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    terrainStatus->setText(text);
    terrainStatus->setVisible(!text.isEmpty());
}

void TMainForm::ShowInputMode(bool startEnd) {
    inputPage->ShowInputMode(startEnd);
}

void TMainForm::LOCClick() {
    inputPage->LOCClick();
}

void TMainForm::Panel1Click() {
    inputPage->Panel1Click();
}

void TMainForm::Panel2Click() {
    inputPage->Panel2Click();
}

} // namespace kestrova
