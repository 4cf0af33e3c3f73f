// TEvaluationPage: the "Site Evaluation" page. Along one radial from the
// transmitter (range, bearing) it charts the terrain over the Earth bulge
// and the field strength a receiver would see at each distance, for a
// transmitter power and antenna gain. Entering the page takes the link's
// range (in km) and bearing; every edit of the four fields, and each click
// on the bearing arrows, recomputes both charts.
//
// The radial is computed off the window's thread (TRadialWorker), so the
// window stays responsive however long it is. Recomputations never nest:
// an edit made while one runs is remembered, and once it ends one more runs
// with the fields as they are then. The results are shown only while the
// page is: leaving it drops the radial in hand. Afterwards the window's
// receiver position is the radial's end and its path gaseous loss that of
// the last point charted; the k-factor field shows the radial's k-factor
// unless it is fixed.
//
// The terrain chart also draws the line of sight and the first Fresnel
// zone. For a receiver of RX gain (dBi) the field-strength chart gives the
// received power (dBm) on an axis beside it and for the radial's end, and
// draws the receiver's sensitivity as a line; those two fields redraw at
// once without a new radial. Moving the mouse over a chart shows the values
// of the nearest point.
#pragma once

#include "app/pages/EvaluationPageWorker.h"
#include "app/pages/Page.h"

#include <QTimer>

class QAreaSeries;
class QLabel;
class QLineSeries;
class QToolButton;
class QValueAxis;

namespace kestrova {

class TChartView;
class TNumEdit;

class TEvaluationPage : public TPage {
    Q_OBJECT
public:
    explicit TEvaluationPage(TPageHost& host);
    ~TEvaluationPage() override;

    void PageShow() override { EvaluationShow(); }

    // A radial is being computed, or waits to be.
    bool Busy() const { return running || pending; }
    // Radials computed and shown since the window was made.
    int Evaluations() const { return evaluations; }

public Q_SLOTS:
    void EvaluationShow();
    void EvalChange();
    void BearingControlUpClick();
    void BearingControlDownClick();
    void EvalTerrainDblClick();
    void EvalLossDblClick();
    // The receiver's gain or sensitivity changed: the received power and
    // the sensitivity line follow at once (the radial stays).
    void ReceiverChange();
    void EvalTerrainMouseMove(QPoint position);
    void EvalLossMouseMove(QPoint position);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // What a radial's charts are titled with: the texts of EvalBearing and
    // StartLoc when it was started.
    struct Titles {
        QString bearing;
        QString start;
        QString edition;
        double frequency = 0.0; // GHz, of the received power
    };

    QWidget* BuildInputs();
    void BuildCharts();
    void StartEvaluation(TRadialWorker::Job job);
    void EvaluationDone(int generation);
    void ShowEvaluation(const TRadialWorker::Outcome& outcome);
    void DoEvalProfilePlot(const ProfileChart& chart);
    void DoEvalPathLossPlot(const FieldCurve& curve, double rangeKm);
    void ShowKFactor(const RadialEvaluation& evaluation);
    void ShowProblem(const QString& text);
    // The field-strength axis, the received-power axis beside it and the
    // sensitivity line for the curve shown.
    void ShowReceiver();
    // Received power minus field strength: Gr - 20 log10 f - 137.2, dB.
    double PowerOffset() const;
    double ReceiverGain() const; // dBi, 0 while the field holds no number
    void StepBearing(double (*step)(double));

    TNumEdit* EvalRange = nullptr;
    TNumEdit* EvalBearing = nullptr;
    TNumEdit* EvalPower = nullptr;
    TNumEdit* EvalGain = nullptr;
    TNumEdit* EvalRxGain = nullptr;
    TNumEdit* EvalSensitivity = nullptr;
    QWidget* BearingControl = nullptr;
    QToolButton* BearingControlUp = nullptr;
    QToolButton* BearingControlDown = nullptr;
    QLabel* EvalLocation = nullptr;
    QLabel* EvalProblem = nullptr;
    QLabel* EvalReceived = nullptr; // the received power at the radial's end
    QLabel* EvalReadout = nullptr;  // the value under the mouse
    TChartView* EvalTerrain = nullptr;
    QAreaSeries* AreaSeries3 = nullptr; // Terrain
    QAreaSeries* AreaSeries4 = nullptr; // Earth Bulge
    QLineSeries* EvalLos = nullptr;     // line of sight
    QLineSeries* EvalFresnelLower = nullptr;
    QLineSeries* EvalFresnelUpper = nullptr;
    QValueAxis* terrainBottom = nullptr;
    QValueAxis* terrainLeft = nullptr;
    TChartView* EvalLoss = nullptr;
    QLineSeries* LineSeries1 = nullptr; // Field Strength
    QLineSeries* SensitivityLine = nullptr;
    QValueAxis* lossBottom = nullptr;
    QValueAxis* lossLeft = nullptr;
    QValueAxis* powerAxis = nullptr; // received power, dBm, beside lossLeft

    // The curve shown: its frequency (GHz) and range (km); 0 before one.
    double curveFrequency = 0.0;
    double curveRangeKm = 0.0;

    bool evalReady = false; // the page has been set up since it was shown
    TRadialWorker worker;
    // Looks for the radial in hand's outcome, on the window's thread.
    QTimer outcomePoll;
    int runGeneration = 0; // the generation the radial in hand was started in
    bool running = false;  // a radial is computed
    bool pending = false;  // an edit came while it was: one more follows
    int generation = 0;    // counts the page's leavings; older radials are dropped
    Titles runTitles;      // of the radial being computed
    int evaluations = 0;
};

} // namespace kestrova
