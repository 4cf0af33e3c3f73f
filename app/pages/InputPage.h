// TInputPage: the "Input Data" page. It holds the link inputs (the two
// locations or a start with range and bearing, the format selector, the
// radio and weather fields, the profile options and the buttons), the
// profile chart with its readout, and the results: site heights, gaseous
// loss and the loss of each mechanism. The window's link calculation reads
// the inputs and shows its results here; the page's own handlers change the
// input mode, the format, the units and options, save the results file and
// copy the chart.
#pragma once

#include "app/pages/Page.h"
#include "propagation/engine/EngineInputs.h"

#include <QLineSeries>

class QAreaSeries;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QValueAxis;

namespace kestrova {

class SettingsFile;
class CTerrain;
class TChartView;
class TNumEdit;
class TPanel;

class TInputPage : public TPage {
    Q_OBJECT
public:
    explicit TInputPage(TPageHost& host);

    // Operations of the link calculation.
    // True when every input of the calculation is a number within its
    // limits; otherwise the first field that is not says so (unless its own
    // exit check already has) and takes the focus.
    bool LinkFieldsAcceptable();
    void ShowEndHeights(const QString& tx, const QString& rx);
    void ShowBackBearing(double bearing);
    void ShowGasLoss(double gasLoss);
    // Range and bearing of the path from TX to RX in their fields.
    void ShowRangeBearing();
    // Start and end locations (true) or start, range and bearing (false).
    void ShowInputMode(bool startEnd);
    void ShowPathTooShort();
    // Clears the losses and the chart of an earlier calculation, saying why.
    void ClearResults(const QString& reason);
    // The loss labels and the profile chart of a valid calculation.
    void ShowResults(const CTerrain& engine, double gasLoss);
    void HideReadout();

    // The edition of ITU-R P.452 chosen, and what only P.452-18 reads.
    Edition CurrentEdition() const;
    void FillEditionSettings(CalculationSettings& settings) const;
    // "[Edition]" lines of the settings file, and their reading (an older
    // file without them: P.452-14, vertical polarisation, 0 dBi).
    QString EditionSettingsText() const;
    void ReadEditionSettings(const SettingsFile& ini);
    // The first-start choice: P.452-14, vertical, 0 dBi.
    void ResetEdition();

public Q_SLOTS:
    void MetricClick();
    void FlatEarthClick();
    void INTERPOLATEClick();
    void ForcedKFactorClick();
    void LOCClick();
    void Panel1Click();
    void Panel2Click();
    void SaveResultsClick();
    void Chart1DblClick();
    void Chart1MouseMove(QPoint position);
    void Chart1MouseLeave();

private:
    void BuildLocations(QVBoxLayout* column);
    void BuildParameters(QVBoxLayout* column);
    void BuildEdition(QVBoxLayout* column);
    void EditionChanged();
    void BuildButtons(QVBoxLayout* column);
    void BuildChart(QVBoxLayout* column);
    void BuildResults(QVBoxLayout* column);
    void Connect();
    void ShowProfileChart(const CTerrain& engine);
    // The bands over the samples without terrain data, up to the height
    // axis's top, and the chart's title saying how much of the path they are.
    void ShowNoTerrain(const CTerrain& engine, double xScale);
    QString ResultsBlock();

    QString resultsFileName; // SaveResultsDialog's name, kept for the run

    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    QLineEdit* StartLoc = nullptr;
    QLineEdit* EndLoc = nullptr;
    TNumEdit* Range = nullptr;
    TNumEdit* Bearing = nullptr;
    QLabel* RangeUnitLabel = nullptr;
    QLabel* BackBearing = nullptr;
    QRadioButton* DMS = nullptr;
    QRadioButton* DEG = nullptr;
    QRadioButton* NGR = nullptr;
    QRadioButton* LOC = nullptr;
    TNumEdit* FREQ = nullptr;
    TNumEdit* TX_H = nullptr;
    TNumEdit* RX_H = nullptr;
    TNumEdit* RH = nullptr;
    TNumEdit* TEMPERATURE = nullptr;
    TNumEdit* PRESSURE = nullptr;
    TNumEdit* Percent = nullptr;
    TNumEdit* K_FACT = nullptr;
    QComboBox* EditionBox = nullptr;
    QComboBox* PolarisationBox = nullptr;
    TNumEdit* TX_GAIN = nullptr;
    TNumEdit* RX_GAIN = nullptr;
    QLabel* EditionResult = nullptr;
    QCheckBox* ForcedKFactor = nullptr;
    QCheckBox* FlatEarth = nullptr;
    QRadioButton* Metric = nullptr;
    QRadioButton* Imperial = nullptr;
    QCheckBox* INTERPOLATE = nullptr;
    QPushButton* CalculateBtn = nullptr;
    QPushButton* RESET = nullptr;
    QPushButton* SaveInitButton = nullptr;
    QPushButton* SaveResults = nullptr;
    QLabel* StartHeight = nullptr;
    QLabel* EndHeight = nullptr;
    QLabel* GasLoss = nullptr;
    QLabel* FSLoss = nullptr;
    QLabel* DiffLoss = nullptr;
    QLabel* TropoLoss = nullptr;
    QLabel* DuctLoss = nullptr;
    QLabel* OverallLoss = nullptr;
    QLabel* InvalidPath = nullptr;
    QLabel* CursorPos = nullptr;
    QLabel* ChartLocator = nullptr;
    QLabel* ChartData = nullptr;
    QLabel* PointData = nullptr;
    TChartView* Chart1 = nullptr;
    QAreaSeries* Series1 = nullptr; // Terrain
    QAreaSeries* Series2 = nullptr; // Earth Bulge
    // The clutter band over the terrain: each sample's clutter height from
    // the land cover of a P.452-18 calculation (empty otherwise).
    QAreaSeries* Clutter = nullptr;
    QLineSeries* Series8 = nullptr;   // LOS Line
    QLineSeries* Series9 = nullptr;   // Lower Fresnel
    QLineSeries* Series10 = nullptr;  // Upper Fresnel
    QAreaSeries* NoTerrain = nullptr; // hatched bands where the profile has no terrain data
    QValueAxis* bottomAxis = nullptr;
    QValueAxis* leftAxis = nullptr;
};

} // namespace kestrova
