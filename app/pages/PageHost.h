// TPageHost: what a page of the main window may ask of the window that holds
// it. The window owns the shared state (LinkState) and runs the operations
// that more than one page starts: the link calculation, the choice of a
// calculation's inputs, the settings file, the palette, the input mode, the
// messages and the safe file writes. Pages know the window only through this
// interface.
#pragma once

#include "app/LinkState.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"

#include <optional>

class QByteArray;
class QString;

namespace kestrova {

// The inputs of a coverage map as the entry fields give them.
struct CoverageLinkInputs {
    LinkInputs link;           // of a coverage cell: N0 and ΔN never looked up
    double gamma = 0.0;        // gaseous attenuation, dB/km
    double temperature = 20.0; // °C
    double pressure = 1000.0;  // hPa
    double humidity = 50.0;    // %
};

class TPageHost {
public:
    virtual LinkState& State() = 0;
    // The selected location format: NGR 1, else DEG 2, else DMS 3, else 0.
    virtual int LocatorFormat() const = 0;
    // The link calculation (the "Calculate" button).
    virtual void CalculateBtnClick() = 0;
    // The inputs of a link calculation as the entry fields and the
    // refractivity fallbacks give them now: N0 and ΔN at the path centre
    // (else those of the last calculation), the fixed k-factor when set,
    // frequency, time percentage and antenna heights.
    virtual LinkInputs CurrentLinkInputs() = 0;
    // The inputs of a coverage map: N0 and ΔN of the last successful link
    // calculation (320 and 45 before one), the fixed k-factor when set,
    // frequency, time percentage, antenna heights and the weather. None,
    // after the field has said why, while a link field is not a number or
    // lies outside its limits.
    virtual std::optional<CoverageLinkInputs> CoverageLink() = 0;
    // The text of a link input field (FREQ, TX_H, RX_H, Percent ...) as it
    // stands.
    virtual QString LinkFieldText(const char* name) = 0;
    // The value of the time percentage field.
    virtual double TimePercent() = 0;
    // The receiver given by range and bearing (Panel1).
    virtual void Panel1Click() = 0;
    // The receiver given by its own location text (Panel2).
    virtual void Panel2Click() = 0;
    // Whether a check box or radio button of the link's inputs is checked
    // (FlatEarth, Metric, ForcedKFactor ...).
    virtual bool LinkOption(const char* name) = 0;
    // Replaces the text of a link input field (StartLoc, EndLoc, TX_H, FREQ,
    // K_FACT ...); no calculation runs.
    virtual void SetLinkFieldText(const char* name, const QString& text) = 0;
    // The radio and weather inputs as the link's fields give them now, with
    // the fixed k-factor when "Fixed" is ticked. None while one of those
    // fields is not a number within its limits; with report, the field then
    // says why.
    virtual std::optional<CalculationSettings> LinkSettings(bool report) = 0;
    // A palette button was chosen: the window's palette follows it.
    virtual void PaletteButtonClick() = 0;
    virtual void SaveInitButtonClick() = 0; // the settings file
    virtual void RESETClick() = 0;
    // Writes a whole file safely; says "Could not save file!" on failure.
    virtual bool WriteFileSafely(const QString& fileName, const QByteArray& bytes) = 0;
    // Appends to a file without ever truncating it (a failed append leaves
    // it as it was); says "Could not save file!" on failure.
    virtual bool AppendToFileSafely(const QString& fileName, const QByteArray& bytes) = 0;
    virtual void Notify(const QString& text, bool error = false) = 0;
    // A line in the status bar: what a save, an export, a copy or a
    // change the user did not ask for has done.
    virtual void Status(const QString& text) = 0;
    // Selects the location format (FormatMaidenhead ... FormatDMS): both
    // location fields show the stored ends in it; no calculation runs.
    virtual void SetLocatorFormat(int format) = 0;

protected:
    ~TPageHost() = default;
};

} // namespace kestrova
