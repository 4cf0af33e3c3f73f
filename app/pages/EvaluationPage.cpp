// The "Site Evaluation" page (see EvaluationPage.h).
#include "app/pages/EvaluationPage.h"

#include "app/pages/ChartSeries.h"
#include "app/pages/ChartTicks.h"
#include "app/pages/ImageTools.h"
#include "app/pages/PageHost.h"
#include "app/pages/PageTools.h"
#include "controls/ChartView.h"
#include "evaluation/RadialControls.h"
#include "inputs/InputLimits.h"
#include "propagation/FieldStrength.h"
#include "propagation/engine/MissingTerrain.h"

#include <QAreaSeries>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineSeries>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kestrova {
namespace {

TChartView* Chart(const char* name, QWidget* parent) {
    auto* view = Named(new TChartView(parent), name);
    view->setToolTip(QStringLiteral("Click and drag to zoom, Double click to copy"));
    view->setMinimumSize(300, 200);
    view->chart()->setBackgroundBrush(Qt::white);
    view->chart()->legend()->hide();
    return view;
}

// Both axes of a chart, with their design titles.
void AddAxes(QChart* chart, QValueAxis*& bottom, QValueAxis*& left, const QString& bottomTitle,
             const QString& leftTitle) {
    bottom = new QValueAxis(chart);
    left = new QValueAxis(chart);
    bottom->setTitleText(bottomTitle);
    left->setTitleText(leftTitle);
    chart->addAxis(bottom, Qt::AlignBottom);
    chart->addAxis(left, Qt::AlignLeft);
}

void Attach(QChart* chart, QAbstractSeries* series, QValueAxis* bottom, QValueAxis* left) {
    chart->addSeries(series);
    series->attachAxis(bottom);
    series->attachAxis(left);
}

QList<QPointF> Points(const std::vector<ChartPoint>& points) {
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
        list << QPointF(p.x, p.y);
    return list;
}

// The point of a series nearest to x (of the first when it has none near).
std::optional<QPointF> Nearest(const QXYSeries* series, double x) {
    const QList<QPointF> points = series->points();
    if (points.isEmpty()) return std::nullopt;
    const auto best = std::min_element(points.begin(), points.end(), [x](QPointF a, QPointF b) {
        return std::fabs(a.x() - x) < std::fabs(b.x() - x);
    });
    return *best;
}

} // namespace

TEvaluationPage::TEvaluationPage(TPageHost& pageHost)
    : TPage(pageHost, "Evaluation", QStringLiteral("Site Evaluation")) {
    outcomePoll.setInterval(5);
    connect(&outcomePoll, &QTimer::timeout, this, [this] { EvaluationDone(runGeneration); });
    auto* column = new QVBoxLayout(this);
    column->addWidget(BuildInputs());
    BuildCharts();
    column->addWidget(EvalTerrain, 1);
    column->addWidget(EvalLoss, 1);

    for (TNumEdit* field : {EvalRange, EvalBearing, EvalPower, EvalGain})
        connect(field, &QLineEdit::textChanged, this, &TEvaluationPage::EvalChange);
    for (TNumEdit* field : {EvalRxGain, EvalSensitivity})
        connect(field, &QLineEdit::textChanged, this, &TEvaluationPage::ReceiverChange);
    connect(EvalTerrain, &TChartView::MouseMoved, this, &TEvaluationPage::EvalTerrainMouseMove);
    connect(EvalLoss, &TChartView::MouseMoved, this, &TEvaluationPage::EvalLossMouseMove);
    for (TChartView* chart : {EvalTerrain, EvalLoss})
        connect(chart, &TChartView::MouseLeft, EvalReadout, &QLabel::hide);
    connect(BearingControlUp, &QToolButton::clicked, this, &TEvaluationPage::BearingControlUpClick);
    connect(BearingControlDown, &QToolButton::clicked, this,
            &TEvaluationPage::BearingControlDownClick);
    connect(EvalTerrain, &TChartView::DoubleClicked, this, &TEvaluationPage::EvalTerrainDblClick);
    connect(EvalLoss, &TChartView::DoubleClicked, this, &TEvaluationPage::EvalLossDblClick);
    AddImageMenu(EvalTerrain, host, QStringLiteral("radial-terrain"), QStringLiteral("Chart"));
    AddImageMenu(EvalLoss, host, QStringLiteral("radial-field-strength"), QStringLiteral("Chart"));
}

TEvaluationPage::~TEvaluationPage() {
    // The radial in hand ends before the page goes; its outcome, posted to
    // the page, is then dropped with it.
    worker.Wait();
}

QWidget* TEvaluationPage::BuildInputs() {
    auto* inputs = new QWidget(this);
    auto* row = new QHBoxLayout(inputs);
    row->setContentsMargins(0, 0, 0, 0);
    // Two panels of two fields: caption, field, unit. A click on them
    // changes nothing (the link's input mode is the Input Data page's).
    auto* panel6 = Named(new QFrame(inputs), "Panel6");
    auto* panel7 = Named(new QFrame(inputs), "Panel7");
    auto* panel8 = Named(new QFrame(inputs), "Panel8"); // the receiver
    auto* grid6 = new QGridLayout(panel6);
    auto* grid7 = new QGridLayout(panel7);
    auto* grid8 = new QGridLayout(panel8);
    const struct {
        QGridLayout* grid;
        int row;
        const char* caption;
        const char* name;
        const char* unit;
    } fields[] = {
        {grid6, 0, "Range", "EvalRange", "km"},
        {grid6, 1, "Bearing", "EvalBearing", "deg"},
        {grid7, 0, "Power", "EvalPower", "W"},
        {grid7, 1, "Ant Gain", "EvalGain", "dBi"},
        {grid8, 0, "RX Gain", "EvalRxGain", "dBi"},
        {grid8, 1, "Sensitivity", "EvalSensitivity", "dBm"},
    };
    TNumEdit** edits[] = {&EvalRange, &EvalBearing, &EvalPower,
                          &EvalGain,  &EvalRxGain,  &EvalSensitivity};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        const auto& f = fields[i];
        QWidget* panel = f.grid->parentWidget();
        TNumEdit* edit = NumField(f.name, panel);
        f.grid->addWidget(new QLabel(QString::fromLatin1(f.caption), panel), f.row, 0);
        f.grid->addWidget(edit, f.row, 1);
        f.grid->addWidget(new QLabel(QString::fromLatin1(f.unit), panel), f.row, 3);
        *edits[i] = edit;
    }
    BearingControl = Named(new QWidget(panel6), "BearingControl");
    auto* arrows = new QVBoxLayout(BearingControl);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    BearingControlUp = Named(new QToolButton(BearingControl), "BearingControlUp");
    BearingControlDown = Named(new QToolButton(BearingControl), "BearingControlDown");
    BearingControlUp->setArrowType(Qt::UpArrow);
    BearingControlDown->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {BearingControlUp, BearingControlDown}) {
        arrow->setFixedSize(18, 12);
        arrows->addWidget(arrow);
    }
    BearingControlUp->setToolTip(QStringLiteral("Bearing + 1 deg"));
    BearingControlDown->setToolTip(QStringLiteral("Bearing - 1 deg"));
    grid6->addWidget(BearingControl, 1, 2);
    for (QFrame* panel : {panel6, panel7, panel8}) {
        panel->setFrameShape(QFrame::StyledPanel);
        row->addWidget(panel);
    }

    auto* texts = new QVBoxLayout;
    EvalLocation = Label("EvalLocation", QStringLiteral("Location"), inputs);
    QFont bold = EvalLocation->font();
    bold.setBold(true);
    EvalLocation->setFont(bold);
    EvalProblem = Label("EvalProblem", QString(), inputs);
    EvalProblem->setStyleSheet(QStringLiteral("color: red"));
    EvalProblem->setWordWrap(true);
    EvalProblem->hide();
    EvalReceived = Label("EvalReceived", QString(), inputs);
    EvalReceived->setWordWrap(true);
    EvalReadout = Label("EvalReadout", QString(), inputs);
    EvalReadout->setStyleSheet(QStringLiteral("color: blue"));
    EvalReadout->hide();
    texts->addWidget(EvalLocation);
    texts->addWidget(EvalReceived);
    texts->addWidget(EvalReadout);
    texts->addWidget(EvalProblem);
    texts->addStretch(1);
    row->addLayout(texts, 1);
    return inputs;
}

void TEvaluationPage::BuildCharts() {
    EvalTerrain = Chart("EvalTerrain", this);
    QChart* terrain = EvalTerrain->chart();
    AddAxes(terrain, terrainBottom, terrainLeft, QStringLiteral("Range"), QStringLiteral("Height"));
    AreaSeries3 = NamedArea("AreaSeries3", QStringLiteral("Terrain"), QColor(128, 64, 0));
    AreaSeries4 = NamedArea("AreaSeries4", QStringLiteral("Earth Bulge"), QColor(192, 192, 192));
    Attach(terrain, AreaSeries3, terrainBottom, terrainLeft);
    Attach(terrain, AreaSeries4, terrainBottom, terrainLeft);
    // The heights on the right too, so that the two charts' range axes,
    // one above the other, line up.
    auto* heightRight = Named(new QValueAxis(terrain), "HeightRight");
    heightRight->setTitleText(QStringLiteral("Height (m)"));
    terrain->addAxis(heightRight, Qt::AlignRight);
    KeepTicksRound(heightRight);
    connect(terrainLeft, &QValueAxis::rangeChanged, heightRight,
            [heightRight](qreal min, qreal max) { heightRight->setRange(min, max); });
    // The line of sight and the first Fresnel zone, as on the profile chart.
    const struct {
        QLineSeries*& series;
        const char* name;
        const char* title;
        Qt::GlobalColor colour;
    } lines[] = {{EvalLos, "EvalLos", "LOS Line", Qt::black},
                 {EvalFresnelLower, "EvalFresnelLower", "Lower Fresnel", Qt::red},
                 {EvalFresnelUpper, "EvalFresnelUpper", "Upper Fresnel", Qt::red}};
    for (const auto& line : lines) {
        line.series = Named(new QLineSeries(terrain), line.name);
        line.series->setName(QString::fromLatin1(line.title));
        line.series->setPen(QPen(line.colour, 1.0));
        Attach(terrain, line.series, terrainBottom, terrainLeft);
    }

    EvalLoss = Chart("EvalLoss", this);
    QChart* loss = EvalLoss->chart();
    AddAxes(loss, lossBottom, lossLeft, QStringLiteral("Range (km)"),
            QStringLiteral("Field Strength dBuV/m"));
    LineSeries1 = Named(new QLineSeries(loss), "LineSeries1");
    LineSeries1->setName(QStringLiteral("Field Strength"));
    LineSeries1->setPen(QPen(Qt::black, 1.0));
    Attach(loss, LineSeries1, lossBottom, lossLeft);
    SensitivityLine = Named(new QLineSeries(loss), "SensitivityLine");
    SensitivityLine->setName(QStringLiteral("Receiver sensitivity"));
    SensitivityLine->setPen(QPen(Qt::red, 1.5, Qt::DashLine));
    Attach(loss, SensitivityLine, lossBottom, lossLeft);
    // The received power beside the field strength: the same scale moved
    // by the receiver's constant, whatever the zoom.
    powerAxis = Named(new QValueAxis(loss), "PowerAxis");
    powerAxis->setTitleText(QStringLiteral("Power (dBm)")); // received
    loss->addAxis(powerAxis, Qt::AlignRight);
    KeepTicksRound(powerAxis);
    connect(lossLeft, &QValueAxis::rangeChanged, this, [this](qreal min, qreal max) {
        const double offset = PowerOffset();
        powerAxis->setRange(min + offset, max + offset);
    });
}

void TEvaluationPage::EvaluationShow() {
    evalReady = false;
    // The link's range (km, whatever the unit system) and bearing.
    const LinkSetup& link = host.Link().Setup();
    EvalRange->SetValue(EvalRangeKm(link.range, link.Metric()));
    EvalBearing->SetValue(
        std::clamp(link.bearing, limits::evalBearing.minimum, limits::evalBearing.maximum));
    EvalLocation->setText(QString::fromStdString(EvalLocationText(link.startText)));
    evalReady = true;
    EvalChange();
}

// Leaving the page (not the window's being minimised, which the window
// system reports as a spontaneous hide).
void TEvaluationPage::hideEvent(QHideEvent* event) {
    TPage::hideEvent(event);
    if (event->spontaneous()) return;
    evalReady = false;
    pending = false;
    ++generation; // the radial in hand is no longer wanted
}

void TEvaluationPage::EvalChange() {
    LinkState& state = host.State();
    if (!evalReady || !state.initialised || !state.txLocation.IsValid()) return;
    // A field being typed into may not hold a number yet: nothing is
    // computed until it does (its exit check reports it when it is left).
    for (TNumEdit* field : {EvalRange, EvalBearing, EvalPower, EvalGain})
        if (!field->IsAcceptable()) return;
    if (running) {
        pending = true; // one more radial, with the fields as they are then
        return;
    }
    const std::optional<CalculationSettings> settings = host.Link().LinkSettings(false);
    if (!settings) {
        ShowProblem(QStringLiteral("No evaluation: an input of the Input Data page is not a "
                                   "number within its limits."));
        return;
    }
    TRadialWorker::Job job;
    RadialRequest& request = job.request;
    request.tx = state.txLocation;
    request.rangeKm = EvalRange->GetValue();
    request.bearingDeg = EvalBearing->GetValue();
    request.powerW = EvalPower->GetValue();
    request.gainDbi = EvalGain->GetValue();
    request.settings = *settings;
    request.fallback = {state.lastN0, state.lastDeltaN};
    request.interpolate = host.Link().Setup().interpolate;
    request.flatEarth = host.Link().Setup().flatEarth;
    job.tileDirectory = state.terrainDirectory;
    job.zoneFile = state.zoneMap ? state.zoneMap->GetFileName() : std::string();
    runTitles = {EvalBearing->text(), QString::fromStdString(host.Link().Setup().startText),
                 EditionTitle(settings->edition), settings->frequency};
    StartEvaluation(std::move(job));
}

void TEvaluationPage::StartEvaluation(TRadialWorker::Job job) {
    const int started = generation;
    // The window's thread looks for the outcome every few milliseconds and
    // takes it from the worker under the worker's lock: nothing of the
    // radial crosses the threads any other way.
    running = worker.Start(std::move(job), [] {});
    if (!running) {
        ShowProblem(QStringLiteral("No evaluation: no thread could be started."));
        return;
    }
    runGeneration = started;
    outcomePoll.start();
}

void TEvaluationPage::EvaluationDone(int started) {
    const auto taken = worker.TakeOutcome();
    if (!taken) return; // still running
    outcomePoll.stop();
    const std::shared_ptr<const TRadialWorker::Outcome>& outcome = *taken;
    running = false;
    if (started == generation && isVisible()) {
        if (outcome)
            ShowEvaluation(*outcome);
        else
            ShowProblem(QStringLiteral("Memory allocation failure"));
    }
    if (pending) {
        pending = false;
        EvalChange();
    }
}

void TEvaluationPage::ShowEvaluation(const TRadialWorker::Outcome& outcome) {
    if (outcome.outOfMemory) {
        ShowProblem(QStringLiteral("Memory allocation failure"));
        return;
    }
    const RadialEvaluation& evaluation = outcome.evaluation;
    if (!evaluation.rx.IsValid()) { // nothing computed; the charts keep what they showed
        ShowProblem(QStringLiteral("No evaluation: the radial's end lies off the globe."));
        return;
    }
    LinkState& state = host.State();
    state.rxLocation = evaluation.rx;
    if (!evaluation.problem.empty()) {
        ShowProblem(QString::fromStdString(evaluation.problem));
        return;
    }
    // A chart the engine gave nothing for keeps what it showed.
    if (evaluation.profile) DoEvalProfilePlot(*evaluation.profile);
    std::string problem = evaluation.profile && evaluation.field ? "" : "Path too short";
    if (evaluation.field) {
        for (const FieldPoint& point : evaluation.field->points)
            if (problem.empty()) problem = LossProblem(point.record, point.gasLoss);
        if (problem.empty()) {
            const double end = evaluation.profile && !evaluation.profile->terrain.empty()
                                   ? evaluation.profile->terrain.back().x
                                   : 0.0;
            DoEvalPathLossPlot(*evaluation.field, end);
        }
    }
    ShowProblem(QString::fromStdString(problem));
    ShowKFactor(evaluation);
    ++evaluations;
}

void TEvaluationPage::DoEvalProfilePlot(const ProfileChart& chart) {
    AreaSeries3->upperSeries()->replace(Points(chart.terrain));
    AreaSeries4->upperSeries()->replace(Points(chart.bulge));
    EvalLos->replace(Points(chart.lineOfSight));
    EvalFresnelLower->replace(Points(chart.fresnelLower));
    EvalFresnelUpper->replace(Points(chart.fresnelUpper));
    EvalTerrain->chart()->zoomReset();
    terrainLeft->setTitleText(QStringLiteral("Height (m)"));
    SetRoundRange(terrainLeft, 0.0, chart.heightAxisMaximum > 0.0 ? chart.heightAxisMaximum : 1.0);
    terrainBottom->setTitleText(QString::fromStdString(
        ProfileRangeTitle(runTitles.bearing.toStdString(), runTitles.start.toStdString())));
    SetRoundRange(terrainBottom, 0.0, chart.terrain.empty() ? 1.0 : chart.terrain.back().x);
    EvalTerrain->SetHome();
    // Said over the chart where the radial runs off the terrain data.
    QString note = QString::fromStdString(MissingTerrainText(chart.terrainMissing, "the radial"));
    if (!note.isEmpty()) note[0] = note[0].toUpper();
    EvalTerrain->chart()->setTitle(note);
}

// rangeKm: the length of the radial's profile, so that both charts share
// their range axis (0 when there is no profile).
void TEvaluationPage::DoEvalPathLossPlot(const FieldCurve& curve, double rangeKm) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(curve.points.size()));
    for (const FieldPoint& p : curve.points)
        points << QPointF(p.distance, p.fieldStrength);
    LineSeries1->replace(points);
    if (!curve.points.empty()) host.State().pathGasLoss = curve.points.back().gasLoss;
    EvalLoss->chart()->zoomReset();
    EvalLoss->chart()->setTitle(runTitles.edition);
    lossBottom->setTitleText(QString::fromStdString(
        FieldRangeTitle(runTitles.bearing.toStdString(), runTitles.start.toStdString())));
    if (!points.isEmpty()) rangeKm = std::max(rangeKm, points.last().x());
    curveRangeKm = rangeKm > 0.0 ? rangeKm : 1.0;
    curveFrequency = runTitles.frequency;
    SetRoundRange(lossBottom, 0.0, curveRangeKm);
    ShowReceiver();
}

double TEvaluationPage::ReceiverGain() const {
    return EvalRxGain->IsAcceptable() ? EvalRxGain->GetValue() : 0.0;
}

double TEvaluationPage::PowerOffset() const {
    return curveFrequency > 0.0 ? ReceivedPowerDbm(0.0, curveFrequency, ReceiverGain()) : 0.0;
}

void TEvaluationPage::ShowReceiver() {
    const QList<QPointF> points = LineSeries1->points();
    if (points.isEmpty() || !(curveFrequency > 0.0)) return;
    const double offset = PowerOffset();
    // The sensitivity as a field strength, within the axis with the curve.
    const bool sensitivity = EvalSensitivity->IsAcceptable();
    const double line = EvalSensitivity->GetValue() - offset;
    double lowest = sensitivity ? line : INFINITY;
    double highest = sensitivity ? line : -INFINITY;
    for (const QPointF& p : points) {
        lowest = std::min(lowest, p.y());
        highest = std::max(highest, p.y());
    }
    if (sensitivity)
        SensitivityLine->replace({QPointF(0.0, line), QPointF(curveRangeKm, line)});
    else
        SensitivityLine->clear();
    EvalLoss->chart()->zoomReset();
    lossBottom->setRange(0.0, curveRangeKm);
    const double step = RoundTickInterval(std::max(highest - lowest, 1.0));
    const double bottom = std::floor(lowest / step) * step;
    const double top = std::max(std::ceil(highest / step) * step, bottom + step);
    SetRoundRange(lossLeft, bottom, top);
    powerAxis->setRange(bottom + offset, top + offset); // also when the range stays
    EvalLoss->SetHome();

    const QPointF end = points.last();
    const double received = ReceivedPowerDbm(end.y(), curveFrequency, ReceiverGain());
    QString text = QStringLiteral("At %1 km: %2 dBµV/m, received %3 dBm")
                       .arg(Fixed(end.x(), 6, 1).trimmed(), Fixed(end.y(), 6, 1).trimmed(),
                            Fixed(received, 6, 1).trimmed());
    if (sensitivity)
        text += received >= EvalSensitivity->GetValue()
                    ? QStringLiteral(", above the receiver's sensitivity")
                    : QStringLiteral(", below the receiver's sensitivity");
    EvalReceived->setText(text);
}

void TEvaluationPage::ReceiverChange() {
    for (TNumEdit* field : {EvalRxGain, EvalSensitivity})
        if (!field->IsAcceptable()) return; // its exit check says why
    ShowReceiver();
}

void TEvaluationPage::EvalTerrainMouseMove(QPoint position) {
    const auto ground = Nearest(AreaSeries3->upperSeries(), EvalTerrain->ValueAt(position).x());
    if (!EvalTerrain->InPlotArea(position) || !ground) {
        EvalReadout->hide();
        return;
    }
    QString text = QStringLiteral("%1 km: terrain %2 m")
                       .arg(Fixed(ground->x(), 6, 2).trimmed(), Fixed(ground->y(), 6, 0).trimmed());
    if (const auto los = Nearest(EvalLos, ground->x()))
        text += QStringLiteral(", line of sight %1 m").arg(Fixed(los->y(), 6, 1).trimmed());
    EvalReadout->setText(text);
    EvalReadout->show();
}

void TEvaluationPage::EvalLossMouseMove(QPoint position) {
    const auto point = Nearest(LineSeries1, EvalLoss->ValueAt(position).x());
    if (!EvalLoss->InPlotArea(position) || !point) {
        EvalReadout->hide();
        return;
    }
    EvalReadout->setText(
        QStringLiteral("%1 km: %2 dBµV/m, received %3 dBm")
            .arg(Fixed(point->x(), 6, 2).trimmed(), Fixed(point->y(), 6, 1).trimmed(),
                 Fixed(ReceivedPowerDbm(point->y(), curveFrequency, ReceiverGain()), 6, 1)
                     .trimmed()));
    EvalReadout->show();
}

// The k-factor field shows the radial's median k-factor unless it is fixed:
// the field strength's (nearest map node), or the profile's when the
// radial entry gave nothing.
void TEvaluationPage::ShowKFactor(const RadialEvaluation& evaluation) {
    TLinkController& link = host.Link();
    if (link.Setup().ForcedK()) return;
    if (evaluation.field)
        link.SetNumber(&LinkSetup::kFactor, evaluation.field->inputs.kFactor);
    else if (evaluation.profile)
        link.SetNumber(&LinkSetup::kFactor, evaluation.profileInputs.kFactor);
}

void TEvaluationPage::ShowProblem(const QString& text) {
    EvalProblem->setText(text);
    EvalProblem->setVisible(!text.isEmpty());
}

void TEvaluationPage::StepBearing(double (*step)(double)) {
    if (!EvalBearing->IsAcceptable()) {
        EvalBearing->DoExit(); // says what is wrong with it
        return;
    }
    EvalBearing->SetValue(step(EvalBearing->GetValue())); // the change recomputes
}

void TEvaluationPage::BearingControlUpClick() {
    StepBearing(BearingUp);
}

void TEvaluationPage::BearingControlDownClick() {
    StepBearing(BearingDown);
}

void TEvaluationPage::EvalTerrainDblClick() {
    CopyImage(EvalTerrain, host, QStringLiteral("Chart"));
}

void TEvaluationPage::EvalLossDblClick() {
    CopyImage(EvalLoss, host, QStringLiteral("Chart"));
}

} // namespace kestrova
