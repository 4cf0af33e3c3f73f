// TCoveragePage: the "Area Coverage" page. "Plot Coverage" computes the
// field strength of a 1 kW EIRP transmitter over a square area around it
// on worker threads (every core), while the window stays responsive: a
// timer paints the grey cells of the finished columns into the 500 x 500
// map several times a second and a progress bar gives the cells done, the
// rate and the time left. "Abort", leaving the page or closing the window
// stops the walk at once. At the end the map is shown in the chosen
// display mode (highlighted terrain, colour map or monochrome) with its
// scale bar, 20 dB contours on request and the transmitter marker; the
// grid can be saved as a comma-separated file and the result exported as
// a KMZ overlay or a GeoTIFF. Another display mode after a whole map
// redraws it at once from the grid kept; the scale bar gives values at its
// band edges; the page's settings are kept in the settings file across
// restarts.
#pragma once

#include "app/pages/CoveragePagePreview.h"
#include "app/pages/Page.h"
#include "coverage/CoverageDisplay.h"
#include "coverage/CoverageFile.h"
#include "coverage/GeoTiff.h"

#include <QElapsedTimer>
#include <QImage>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QVBoxLayout;

namespace kestrova {

class SettingsFile;
struct CoverageScale;
class TMapView;
class TNumEdit;

class TCoveragePage : public TPage {
    Q_OBJECT
public:
    explicit TCoveragePage(TPageHost& host);
    ~TCoveragePage() override;

    void PageShow() override { CoverageShow(); }

    // A map is being computed.
    bool Running() const { return running; }
    // The last result: what CoverageMap shows, and the edges of its area.
    const QImage& Image() const { return coverageImage; }
    double North() const { return coverageNorth; }
    double South() const { return coverageSouth; }
    double East() const { return coverageEast; }
    double West() const { return coverageWest; }
    // The page's settings as the settings file keeps them across restarts
    // (section "Coverage": key and value), and their reading (a key that is
    // missing, or a value outside its field's limits, leaves the field as
    // it is; notes name the latter).
    std::vector<std::pair<std::string, std::string>> SettingsValues() const;
    void ReadSettings(const SettingsFile& ini, std::vector<std::string>& notes);
    // How often the preview is painted while a map is computed, in ms.
    static constexpr int previewInterval = 50;

public Q_SLOTS:
    void CoverageShow();
    void PlotCoverageClick();
    void AbortClick();
    void CoverageExit();
    void CoverageMapDblClick();
    void ExportKMZClick();
    void ExportGeoTiffClick();

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What one computation keeps from its start: the inputs as they were
    // when "Plot Coverage" was pressed.
    struct Run {
        CoverageDisplay display;
        CoverageHeader header;
        CLocator tx;
        double gamma = 0.0; // dB/km
        Edition edition = Edition::P452_14;
        bool save = false;
        bool withHeader = true;
    };

    void BuildMapControl(QVBoxLayout* column);
    void BuildButtons(QVBoxLayout* column);
    QWidget* BuildSystemData();
    bool MapFieldsAcceptable();
    CoverageDisplay DisplaySettings();
    bool ConfirmLargeMap(const CoverageArea& area);
    void StartCoverage(const CoverageArea& area, const CoverageInputs& inputs, const Run& next);
    void PollCoverage();
    void StopCoverage();
    void FinishRun(bool aborted);
    void DrawResult(bool complete);
    // The share of a whole map's cells without terrain under the bar
    // (hidden for none, and while a map is computed).
    void ShowTerrainNote(double missingFraction);
    void DisplayModeChanged();
    void KeepLastCell(const CoverageArea& area, int columnsDone);
    // heights: the scale is the terrain's (else the field strength's).
    void ShowScale(const CoverageScale& scale, bool heights);
    void HideScale();
    void SetRunning(bool on);
    void SaveCoverageFile();

    // Map Control.
    TNumEdit* CoverageRange = nullptr;
    TNumEdit* CoverageResolution = nullptr;
    TNumEdit* MaxLoss = nullptr;
    TNumEdit* MinLoss = nullptr;
    TNumEdit* MaxHeight = nullptr;
    TNumEdit* MinHeight = nullptr;
    QRadioButton* CoverageTerrain = nullptr;
    QRadioButton* Colourfull = nullptr;
    QRadioButton* Monochrome = nullptr;
    QCheckBox* LossContours = nullptr;
    QCheckBox* SaveCoverage = nullptr;
    QCheckBox* IncHeader = nullptr;
    QPushButton* PlotCoverage = nullptr;
    QPushButton* Abort = nullptr;
    QPushButton* ExportKMZ = nullptr;
    QPushButton* ExportGeoTiff = nullptr;
    QProgressBar* CoverageProgress = nullptr;
    QLabel* CoverageTerrainNote = nullptr;
    // The map and its scale.
    TMapView* CoverageMap = nullptr;
    TMapView* ColourScale = nullptr;
    QLabel* ScaleMax = nullptr;
    QLabel* ScaleMin = nullptr;
    QWidget* ScaleTicks = nullptr;       // beside the bar: its intermediate values
    std::array<QLabel*, 4> scaleTicks{}; // ScaleTick1 .. ScaleTick4, top down
    // System Data.
    QLabel* CoverageMapCentre = nullptr;
    QLabel* CoverageFrequency = nullptr;
    QLabel* CoverageTxHeight = nullptr;
    QLabel* CoverageRxHeight = nullptr;
    QLabel* CoverageTimePercentage = nullptr;

    QTimer* previewTimer = nullptr;
    QElapsedTimer clock;
    bool running = false;
    std::unique_ptr<CoverageJob> job; // the running or the last computation
    Run run;
    CoveragePreview preview;
    double cellsPerSecond = 0.0; // of the last computation that ran to its end

    QImage coverageRaster;
    QImage terrainBitmap;
    QImage coverageImage;
    QImage scaleBitmap;
    double coverageNorth = 0.0;
    double coverageSouth = 0.0;
    double coverageEast = 0.0;
    double coverageWest = 0.0;
    bool haveResult = false;     // a computation has finished (or been aborted)
    bool resultComplete = false; // ... and covers the whole area
    QString coverageFileName = QStringLiteral("coverage.csv"); // SaveDialog2
    QString kmzFileName = QStringLiteral("coverage.kmz");      // SaveKMZ
    QString geoTiffFileName = QStringLiteral("coverage.tif");
};

} // namespace kestrova
