// TMainForm: the main window. Its pages take the link inputs and show the
// link calculation (loss figures, profile chart and table, refractivity and
// path data); it owns LinkState and with it the long-lived data objects,
// runs the start-up sequence once on first activation, resets the inputs,
// and reads and writes the settings file, the results file and the profile
// table. Every message box and file dialog goes through UserDialogs.
#pragma once

#include "app/LinkState.h"

#include <QLineSeries>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <string>

class QAreaSeries;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QValueAxis;

namespace kestrova {

class TAbout;
class THelpBrowser;
class TChartView;
class TNumEdit;
class TPanel;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    const LinkState& State() const { return state; }
    // The selected location format: NGR 1, else DEG 2, else DMS 3, else 0.
    int LocatorFormat() const;
    // The help browser, created on first use (null before).
    THelpBrowser* HelpBrowser() const;
    TAbout* About() const;

    // Operations shared with the pages.
    void ShowInputMode(bool startEnd);
    void ShowRangeBearing();
    QString SiteHeightText(const CLocator& location);
    bool InitialiseLink();
    bool InitialiseTerrain();
    void ResetDefaults();
    void WriteSettings(const QString& fileName);
    void ReadSettings(const QString& path);

public Q_SLOTS:
    void FormActivate();
    void CalculateBtnClick();
    void MetricClick();
    void FlatEarthClick();
    void INTERPOLATEClick();
    void ForcedKFactorClick();
    void LOCClick();
    void Panel1Click();
    void Panel2Click();
    void ShowContoursClick();
    void RESETClick();
    void SaveInitButtonClick();
    void SaveResultsClick();
    void ProfileDblClick();
    void Chart1DblClick();
    void Chart2DblClick();
    void Chart1MouseMove(QPoint position);
    void Chart1MouseLeave();
    void TabSheet1Show();
    void Help1Click();
    void About1Click();
    void HelpTopic(const QString& keyword);
    void PaletteButtonClick();
    void ChooseTerrainDirectoryClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildInputPage(QWidget* page);
    void BuildTablePage(QWidget* page);
    void BuildRefractivityPage(QWidget* page);
    void BuildLaterPages();
    void BuildMenu();
    TNumEdit* NumField(const char* name, QWidget* parent);

    bool LinkFieldsAcceptable();
    void GasLossStep(double rangeKm);
    bool RunEngine();
    void ShowProfileResults();
    void HideReadout();
    void FormClose();
    void UpdateDataStatus();
    void Notify(const QString& text, bool error = false);
    std::string TerrainDirectoryToUse();
    void RememberTerrainDirectory();
    bool WriteFileSafely(const QString& fileName, const QByteArray& bytes);

    LinkState state;
    bool activated = false;
    QString resultsFileName;            // SaveResultsDialog's name, kept for the run
    QString profileTableFileName;       // SaveDialog1's name
    QPointer<TAbout> about;             // a child of the window, made on first use
    QPointer<THelpBrowser> helpBrowser; // likewise

    // Controls (owned by their Qt parents), named as in the window's layout.
    QTabWidget* PageControl1 = nullptr;
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
    TChartView* Chart2 = nullptr;    // the mechanisms chart
    QAreaSeries* Series1 = nullptr;  // Terrain
    QAreaSeries* Series2 = nullptr;  // Earth Bulge
    QLineSeries* Series8 = nullptr;  // LOS Line
    QLineSeries* Series9 = nullptr;  // Lower Fresnel
    QLineSeries* Series10 = nullptr; // Upper Fresnel
    QValueAxis* bottomAxis = nullptr;
    QValueAxis* leftAxis = nullptr;
    QListWidget* Profile = nullptr;
    // Radio Refractivity Data.
    QLabel* PTime = nullptr;
    QLabel* TXN_0 = nullptr;
    QLabel* TXDNDZ = nullptr;
    QLabel* TXBETA0 = nullptr;
    QLabel* TXBETAE = nullptr;
    QLabel* RXN_0 = nullptr;
    QLabel* RXDNDZ = nullptr;
    QLabel* RXBETA0 = nullptr;
    QLabel* RXBETAE = nullptr;
    QLabel* Kfact = nullptr;
    QLabel* RHO = nullptr;
    QLabel* BETA0 = nullptr;
    QLabel* SEAFRACTION = nullptr;
    QLabel* DCT = nullptr;
    QLabel* DCR = nullptr;
    QLabel* PLEN = nullptr;
    // Terrain Map: the palette buttons, in palette type order.
    std::array<QRadioButton*, 6> paletteButtons{};
    QCheckBox* ShowContours = nullptr;
    QLabel* dataStatus = nullptr;
};

} // namespace kestrova
