// The one table of inputs: for every quantity the user can enter, its
// name, unit, limits (inclusive), the decimals the window shows, its
// first-start and reset values, its key in the settings file (one
// spelling), its kestrova-cli option and a one-line description. The
// window's numeric fields and their tooltips, the settings file's reader
// and writer, the reset and every numeric option of kestrova-cli are loops
// over it, so a fact about an input is never written twice.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace kestrova {

struct InputLimit {
    const char* name; // the window field's objectName, or the quantity's name
    int decimals;     // shown by the window's field
    double minimum;
    double maximum;
    double initial;   // the first-start value: a fresh window, kestrova-cli
    bool integerEdit; // the field shows whole numbers
    const char* unit;
    // True for a window field (TNumEdit); false for a quantity only the
    // command line and the maps give (N0, ΔN), or a switch of the window.
    bool field;
    double reset;            // the value "Reset" puts back
    const char* settingsKey; // "Section:Key" in profile.ini; "" not kept
    const char* option;      // kestrova-cli's long option without dashes; "" none
    const char* description; // one line: the field's tooltip, the option's help

    bool Contains(double value) const { return value >= minimum && value <= maximum; }
    // "must lie between 0.025 and 300 GHz"
    std::string RangeText() const;
    // "GHz, 0.025 to 300, default 10.368": the option's help after its
    // description.
    std::string HelpText() const;
    // The settings file's section and key of settingsKey.
    std::string_view Section() const;
    std::string_view Key() const;
};

namespace limits {
// Link inputs.
extern const InputLimit& frequency;   // FREQ, GHz
extern const InputLimit& rxHeight;    // RX_H, m above ground
extern const InputLimit& txHeight;    // TX_H, m above ground
extern const InputLimit& humidity;    // RH, %
extern const InputLimit& temperature; // TEMPERATURE, °C
extern const InputLimit& pressure;    // PRESSURE, hPa
extern const InputLimit& percent;     // Percent, % of time
extern const InputLimit& kFactor;     // K_FACT
extern const InputLimit& range;       // Range, km (or miles)
extern const InputLimit& bearing;     // Bearing, degrees
extern const InputLimit& txGain;      // TX_GAIN, dBi (P.452-18)
extern const InputLimit& rxGain;      // RX_GAIN, dBi (P.452-18)
// Terrain map.
extern const InputLimit& contourSpacing; // ContourSpacing, m
// Area coverage.
extern const InputLimit& coverageRange;      // CoverageRange, km
extern const InputLimit& coverageResolution; // CoverageResolution, arc-seconds
extern const InputLimit& maxFieldStrength;   // MaxLoss, dB(µV/m)
extern const InputLimit& minFieldStrength;   // MinLoss, dB(µV/m)
extern const InputLimit& maxHeight;          // MaxHeight, m
extern const InputLimit& minHeight;          // MinHeight, m
// Site evaluation.
extern const InputLimit& evalRange;       // EvalRange, km
extern const InputLimit& evalBearing;     // EvalBearing, degrees
extern const InputLimit& evalPower;       // EvalPower, W
extern const InputLimit& evalGain;        // EvalGain, dBi
extern const InputLimit& evalRxGain;      // EvalRxGain, dBi: the receiver's, for received power
extern const InputLimit& evalSensitivity; // EvalSensitivity, dBm: the receiver's sensitivity
// Refractivity: given on the command line or read from the maps.
extern const InputLimit& n0; // sea-level surface refractivity, N-units
extern const InputLimit&
    deltaN; // lapse rate, N-units/km: k = 157 / (157 - ΔN) within K_FACT's limits
extern const InputLimit& dct; // km from the transmitter to the coast (P.452-18)
extern const InputLimit& dcr; // km from the receiver to the coast (P.452-18)
// The link's switches, kept in the settings file (0 or 1 unless said).
extern const InputLimit& forcedKFactor; // ForcedKFactor: K_FACT is used as given
extern const InputLimit& metric;        // Metric: 1 metric, 0 imperial
extern const InputLimit& locatorFormat; // LocatorFormat: 0 locator, 1 NGR, 2 degrees, 3 DMS
extern const InputLimit& startEndInput; // StartEndInput: 1 both ends, 0 range and bearing
extern const InputLimit& edition;       // Edition: 14 or 18
extern const InputLimit& polarisation;  // Polarisation: 0 vertical, 1 horizontal
} // namespace limits

// Every quantity, the window's fields first in the order of its layout.
std::span<const InputLimit> InputLimits();
// The window's fields only.
std::span<const InputLimit> FieldLimits();
// The quantity called name, or nullptr.
const InputLimit* FindInputLimit(std::string_view name);

} // namespace kestrova
