// TLinkController: the window's link, without a widget. It owns the link's
// inputs as one typed struct (LinkSetup), runs the link calculation over
// the window's data objects, reads and writes the inputs' lines of the
// settings file and puts the first-start values back on "Reset". The Input
// Data page edits the inputs and shows the results; the other pages read
// and change the inputs here, never through another page's controls.
#pragma once

#include "app/LinkState.h"
#include "inputs/InputLimits.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kestrova {

class SettingsFile;

// The link's inputs as the user set them: the two ends (as typed, in the
// chosen location format) or the start with range and bearing, the radio
// and weather inputs, and the switches. Every number starts at its
// first-start value of the table of inputs.
struct LinkSetup {
    std::string startText = "IO91IN";
    std::string endText = "IO91IO";
    double frequency = limits::frequency.initial;     // GHz
    double txHeight = limits::txHeight.initial;       // m above ground
    double rxHeight = limits::rxHeight.initial;       // m above ground
    double humidity = limits::humidity.initial;       // %
    double temperature = limits::temperature.initial; // °C
    double pressure = limits::pressure.initial;       // hPa
    double percent = limits::percent.initial;         // % of time
    double kFactor = limits::kFactor.initial;         // used when forcedK
    double range = limits::range.initial;             // km, or miles when !metric
    double bearing = limits::bearing.initial;         // degrees
    double txGain = limits::txGain.initial;           // dBi (P.452-18)
    double rxGain = limits::rxGain.initial;           // dBi (P.452-18)
    double forcedK = limits::forcedKFactor.initial;   // 1: kFactor as given
    double metric = limits::metric.initial;           // 1 metric, 0 imperial
    double locatorFormat = limits::locatorFormat.initial;
    double startEndInput = limits::startEndInput.initial; // 1 both ends, 0 range and bearing
    double edition = limits::edition.initial;             // 14 or 18
    double polarisation = limits::polarisation.initial;   // 0 vertical, 1 horizontal
    bool interpolate = false;                             // heights between samples
    bool flatEarth = false;                               // the profile chart's drawing

    bool Metric() const { return metric != 0.0; }
    bool ForcedK() const { return forcedK != 0.0; }
    bool StartEnd() const { return startEndInput != 0.0; }
    int Format() const { return static_cast<int>(locatorFormat); }
    Edition EditionUsed() const { return edition == 18.0 ? Edition::P452_18 : Edition::P452_14; }
};

// The inputs of a coverage map as the link's inputs give them.
struct CoverageLinkInputs {
    LinkInputs link;           // of a coverage cell: N0 and ΔN never looked up
    double gamma = 0.0;        // gaseous attenuation, dB/km
    double temperature = 20.0; // °C
    double pressure = 1000.0;  // hPa
    double humidity = 50.0;    // %
};

// Each number of LinkSetup with its row of the table: the settings file,
// the reset and the Input Data page's fields are loops over these.
struct SetupNumber {
    const InputLimit* limit;
    double LinkSetup::*member;
};
std::span<const SetupNumber> SetupNumbers();

class TLinkController : public QObject {
    Q_OBJECT
public:
    explicit TLinkController(LinkState& state, QObject* parent = nullptr);

    const LinkSetup& Setup() const { return setup; }

    // Changes of the inputs. Edit keeps what the Input Data page's own
    // controls already show; Set* make the page show the change (Changed).
    void Edit(double LinkSetup::*member, double value) { setup.*member = value; }
    void EditText(bool start, const std::string& text);
    void EditSwitch(bool LinkSetup::*member, bool on) { setup.*member = on; }
    void SetNumber(double LinkSetup::*member, double value);
    void SetText(bool start, const std::string& text);
    // Both ends shown anew in the format (FormatMaidenhead ... FormatDMS).
    void SetLocatorFormat(int format);
    void SetInputMode(bool startEnd);

    // Whether every input of a calculation is acceptable as the Input Data
    // page shows it; with report, the first that is not says why. Without
    // a check every input is.
    void SetInputCheck(std::function<bool(bool report)> check) { inputCheck = std::move(check); }

    // The calculation's inputs.
    CalculationSettings Settings() const;
    std::optional<CalculationSettings> LinkSettings(bool report) const;
    LinkInputs CurrentLinkInputs() const;
    std::optional<CoverageLinkInputs> CoverageLink();

    // The link calculation (the "Calculate" button).
    void Calculate();
    // "ASL: 123 m" of a location, in the units chosen.
    QString SiteHeightText(const CLocator& location) const;

    // Every input at its reset value, the ends at the default link.
    void Reset();
    // The inputs from the settings file: a value missing, not a number or
    // out of its limits gives way to the first-start value (notes say so).
    void ReadSettings(const SettingsFile& ini, std::vector<std::string>& notes);
    // The settings file's lines of the link's sections.
    QString SettingsText() const;

Q_SIGNALS:
    // A calculation begins.
    void Started();
    // Inputs changed other than by the Input Data page's own controls: the
    // page shows those that differ from what it shows.
    void Changed();
    void Cleared(const QString& reason);
    void PathTooShort();
    void EndHeights(const QString& tx, const QString& rx);
    void BackBearing(double bearing);
    void GasLoss(double gasLoss);
    void RangeBearing();
    void WaterVapour(double rho);
    void KFactor(double k, const QString& source);
    void N0Source(const CalculationInputs& inputs);
    void TerrainMissing(double fraction);
    // A valid calculation: the pages show it.
    void Calculated(const CTerrain& engine, double gasLoss);
    // A tile was found unusable: the status bar names it.
    void TerrainProblems();
    void Problem(const QString& text);

private:
    bool InputsAcceptable(bool report) const { return !inputCheck || inputCheck(report); }
    CalculationInputs CalculationInputsNow() const;
    bool PlaceEnds();
    void GasLossStep(double rangeKm);
    bool RunEngine();
    void ShowProfileResults();

    LinkState& state;
    LinkSetup setup;
    std::function<bool(bool)> inputCheck;
};

} // namespace kestrova
