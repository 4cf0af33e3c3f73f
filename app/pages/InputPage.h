// TInputPage: the "Input Data" page, the editor of the link's inputs (the
// two locations or a start with range and bearing, the format selector,
// the radio and weather fields, the profile options and the buttons), with
// the profile chart and its readout and the results: site heights, gaseous
// loss and the loss of each mechanism. Its controls edit the link
// controller's inputs and show them when they change elsewhere; the
// controller's results are shown here.
#pragma once

#include "app/LinkController.h"
#include "app/pages/Page.h"

#include <array>
#include <utility>

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

    // True when every input of the calculation is a number within its
    // limits; otherwise, with report, the first field that is not says so
    // (unless its own exit check already has) and takes the focus.
    bool FieldsAcceptable(bool report);
    // The link's inputs where they differ from what the controls show.
    void ShowSetup();

    // The link's results.
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
    void ForcedKFactorColour();
    void ConnectLink();
    // Each numeric field with the input it edits.
    std::array<std::pair<TNumEdit*, double LinkSetup::*>, 12> NumberFields() const;
    QRadioButton* FormatButton(int format) const;
    Edition CurrentEdition() const { return link.Setup().EditionUsed(); }
    void ShowProfileChart(const CTerrain& engine);
    // The bands over the samples without terrain data, up to the height
    // axis's top, and the chart's title saying how much of the path they are.
    void ShowNoTerrain(const CTerrain& engine, double xScale);
    QString ResultsBlock();

    QString resultsFileName; // SaveResultsDialog's name, kept for the run
    TLinkController& link;
    LinkSetup shown; // the inputs as the controls show them

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
