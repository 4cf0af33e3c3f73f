// The "Site Evaluation" page of the real window over the real terrain tile:
// both charts drawn on entry with the points kestrova-cli radial gives for
// the same inputs, the window's receiver, gaseous loss and k-factor after
// an evaluation, the bearing arrows and their wrap, the panels that leave
// the link's input mode alone, the link's imperial range taken in km, edits
// during a radial run once more with the latest inputs (never nested), a
// radial left behind with the page is dropped, and the chart copies.
#include "WindowFixture.h"

#include "CliRun.h"
#include "app/pages/EvaluationPage.h"
#include "controls/ChartView.h"
#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"
#include "inputs/InputLimits.h"

#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QRadioButton>
#include <QToolButton>

#include <nlohmann/json.hpp>

using namespace kestrova;
using namespace kestrova::test;

class EvaluationPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void bothChartsOnEntry();
    void sameChartsAsTheCommandLine_data();
    void sameChartsAsTheCommandLine();
    void arrowsStepAndWrap_data();
    void arrowsStepAndWrap();
    void panelsLeaveTheInputModeAlone();
    void imperialRangeTakenInKilometres();
    void editsDuringARadialRunOnceMore();
    void leavingThePageDropsTheRadial();
    void radialTooShortKeepsTheCharts();
    void radialAcrossTheDateLine();
    void chartCopies();
    void zoomKeepsRoundTicksWithinTheData_data();
    void zoomKeepsRoundTicksWithinTheData();
    void receivedPowerAsTheCommandLine();
    void readoutUnderTheMouse();
    void chartSavedAsPngAndSvg();

private:
    std::vector<const char*> extraOptions; // of the next CommandLine()
    TEvaluationPage* Page() { return Find<TEvaluationPage>("Evaluation"); }
    TChartView* View(const char* name) { return Find<TChartView>(name); }
    QValueAxis* PowerAxis() {
        return Find<QChartView>("EvalLoss")->chart()->findChild<QValueAxis*>("PowerAxis");
    }
    // The point of the view where the chart shows value.
    QPoint At(const char* chart, QPointF value) {
        QChartView* view = Find<QChartView>(chart);
        return view->mapFromScene(view->chart()->mapToScene(view->chart()->mapToPosition(value)));
    }
    // A mouse movement to the point of the chart's view, as the window
    // system delivers it.
    void Hover(const char* chart, QPoint point) {
        QWidget* viewport = View(chart)->viewport();
        QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
    }
    // The number of round labels an axis shows.
    static int Labels(const QValueAxis* axis) {
        const double step = axis->tickInterval();
        return static_cast<int>(std::floor(axis->max() / step + 1e-9) -
                                std::ceil(axis->min() / step - 1e-9)) +
               1;
    }
    TNumEdit* Field(const char* name) { return Find<TNumEdit>(name); }
    QList<QPointF> Points(const char* chart, const char* series) {
        return Series(chart, series)->points();
    }
    QValueAxis* BottomAxis(const char* chart) {
        return qobject_cast<QValueAxis*>(
            Find<QChartView>(chart)->chart()->axes(Qt::Horizontal).first());
    }
    // Waits until no radial is computed or waiting.
    bool Idle() {
        return QTest::qWaitFor([&] { return !Page()->Busy(); }, 60000);
    }
    // The reset window on the evaluation page, its first radial drawn.
    bool OpenPage() {
        if (!StartForm()) return false;
        Click("RESET");
        ShowPage("Evaluation");
        return Idle() && Page()->Evaluations() == 1;
    }
    // kestrova-cli radial for the window's transmitter, the page's fields
    // and the link's radio, weather, terrain and zone inputs.
    nlohmann::json CommandLine() {
        const LinkState& state = form->State();
        cli::Words words{"radial",
                         "--format",
                         std::to_string(form->LocatorFormat()),
                         "--tx",
                         Edit("StartLoc")->text().toStdString(),
                         "--tiles",
                         state.terrainDirectory,
                         "--zones",
                         state.zoneMap->GetFileName(),
                         "--json"};
        const std::pair<const char*, const char*> fields[] = {{"--range", "EvalRange"},
                                                              {"--bearing", "EvalBearing"},
                                                              {"--power", "EvalPower"},
                                                              {"--gain", "EvalGain"},
                                                              {"--freq", "FREQ"},
                                                              {"--percent", "Percent"},
                                                              {"--tx-height", "TX_H"},
                                                              {"--rx-height", "RX_H"},
                                                              {"--temperature", "TEMPERATURE"},
                                                              {"--pressure", "PRESSURE"},
                                                              {"--humidity", "RH"}};
        for (const auto& [option, field] : fields) {
            words.push_back(option);
            words.push_back(Edit(field)->text().toStdString());
        }
        if (Find<QCheckBox>("ForcedKFactor")->isChecked()) {
            words.push_back("--k-factor");
            words.push_back(Edit("K_FACT")->text().toStdString());
        }
        if (Find<QCheckBox>("FlatEarth")->isChecked()) words.push_back("--flat-earth");
        if (form->Link().Setup().interpolate) words.push_back("--interpolate");
        for (const char* option : extraOptions)
            words.push_back(option);
        const cli::CliRun run = cli::Cli(words);
        extraOptions.clear();
        if (run.status != 0)
            qWarning("kestrova-cli radial: %s%s", run.out.c_str(), run.err.c_str());
        return run.status == 0 ? nlohmann::json::parse(run.out) : nlohmann::json();
    }
    // Both charts hold what kestrova-cli radial gives for the same inputs.
    void CompareWithTheCommandLine() {
        const nlohmann::json json = CommandLine();
        QVERIFY(json.is_object());
        const auto& records = json["records"];
        const QList<QPointF> field = Points("EvalLoss", "LineSeries1");
        QCOMPARE(static_cast<std::size_t>(field.size()), records.size());
        QCOMPARE(field.size(), json["count"].get<int>() - 3); // records 2 .. N-2
        for (qsizetype j = 0; j < field.size(); ++j) {
            const auto& record = records[static_cast<std::size_t>(j)];
            QCOMPARE(field[j].x(), record["distance"].get<double>());
            QCOMPARE(field[j].y(), record["fieldStrength"].get<double>());
        }
        const auto& profile = json["profile"]["points"];
        const QList<QPointF> terrain = Points("EvalTerrain", "AreaSeries3");
        const QList<QPointF> bulge = Points("EvalTerrain", "AreaSeries4");
        // The line of sight and the first Fresnel zone, as on the profile
        // chart of the Input Data page.
        const QList<QPointF> los = Points("EvalTerrain", "EvalLos");
        const QList<QPointF> lower = Points("EvalTerrain", "EvalFresnelLower");
        const QList<QPointF> upper = Points("EvalTerrain", "EvalFresnelUpper");
        QCOMPARE(static_cast<std::size_t>(terrain.size()), profile.size());
        for (const auto* series : {&bulge, &los, &lower, &upper})
            QCOMPARE(series->size(), terrain.size());
        for (qsizetype i = 0; i < terrain.size(); ++i) {
            const auto& point = profile[static_cast<std::size_t>(i)];
            QCOMPARE(terrain[i].x(), point["distance"].get<double>());
            QCOMPARE(terrain[i].y(), point["terrain"].get<double>());
            QCOMPARE(bulge[i].y(), point["bulge"].get<double>());
            QCOMPARE(los[i].x(), point["distance"].get<double>());
            QCOMPARE(los[i].y(), point["lineOfSight"].get<double>());
            QCOMPARE(lower[i].y(), point["fresnelLower"].get<double>());
            QCOMPARE(upper[i].y(), point["fresnelUpper"].get<double>());
            QVERIFY(lower[i].y() <= los[i].y() && los[i].y() <= upper[i].y());
        }
        // The line of sight runs from antenna to antenna.
        if (!terrain.isEmpty()) {
            // (The terrain is drawn in whole metres.)
            QVERIFY(std::fabs(los.first().y() - terrain.first().y() - Field("TX_H")->GetValue()) <
                    1.0);
            QVERIFY(std::fabs(los.last().y() - terrain.last().y() - Field("RX_H")->GetValue()) <
                    1.0);
        }
        QCOMPARE(LeftAxis("EvalTerrain")->min(), 0.0);
        QCOMPARE(LeftAxis("EvalTerrain")->max(),
                 json["profile"]["heightAxisMaximum"].get<double>());
        // The window's receiver is the radial's end, its gaseous loss the
        // last point's, and K_FACT the radial's k-factor unless fixed.
        const LinkState& state = form->State();
        QCOMPARE(state.rxLocation.GetLatitude(), json["latitude"].get<double>());
        QCOMPARE(state.rxLocation.GetLongitude(), json["longitude"].get<double>());
        QCOMPARE(state.pathGasLoss, records.back()["gasLoss"].get<double>());
        if (!Find<QCheckBox>("ForcedKFactor")->isChecked())
            QCOMPARE(Edit("K_FACT")->text(),
                     TNumEdit::FormatValue(json["kFactor"].get<double>(), 3, false));
    }
};

void EvaluationPageTest::bothChartsOnEntry() {
    QVERIFY(OpenPage());
    // The link's range and bearing, and its transmitter.
    QCOMPARE(Field("EvalRange")->text(),
             TNumEdit::FormatValue(Field("Range")->text().toDouble(), 0, false));
    QCOMPARE(Field("EvalBearing")->text(), Edit("Bearing")->text());
    QCOMPARE(Text("EvalLocation"), "TX from " + Edit("StartLoc")->text());
    QVERIFY(Find<QLabel>("EvalLocation")->font().bold());

    QLineSeries* terrain = Series("EvalTerrain", "AreaSeries3");
    QLineSeries* bulge = Series("EvalTerrain", "AreaSeries4");
    auto* terrainArea = Find<QChartView>("EvalTerrain")
                            ->chart()
                            ->findChild<QAreaSeries*>(QStringLiteral("AreaSeries3"));
    auto* bulgeArea = Find<QChartView>("EvalTerrain")
                          ->chart()
                          ->findChild<QAreaSeries*>(QStringLiteral("AreaSeries4"));
    QCOMPARE(terrainArea->name(), "Terrain");
    QCOMPARE(terrainArea->brush().color(), QColor(128, 64, 0));
    QCOMPARE(bulgeArea->name(), "Earth Bulge");
    QCOMPARE(bulgeArea->brush().color(), QColor(192, 192, 192));
    QLineSeries* field = Series("EvalLoss", "LineSeries1");
    QCOMPARE(field->name(), "Field Strength");
    QCOMPARE(field->pen().color(), QColor(Qt::black));
    QVERIFY(terrain->count() > 10);
    QCOMPARE(bulge->count(), terrain->count());
    QVERIFY(field->count() > 10);

    // The ground at the ends, without the antennas, over the bulge (zero
    // at the ends); the field strength falls along the radial.
    const LinkState& state = form->State();
    const int txGround = state.terrainStore->GetHeight(state.txLocation.GetLatitude(),
                                                       state.txLocation.GetLongitude(), false);
    QCOMPARE(terrain->at(0).y(), static_cast<double>(txGround));
    QCOMPARE(bulge->at(0).y(), 0.0);
    QVERIFY(field->at(0).y() > field->at(field->count() - 1).y());

    const QString on =
        " on bearing " + Field("EvalBearing")->text() + " from " + Edit("StartLoc")->text();
    QCOMPARE(BottomAxis("EvalTerrain")->titleText(), "Range (km)" + on);
    QCOMPARE(BottomAxis("EvalLoss")->titleText(), "Range (km)," + on);
    QCOMPARE(LeftAxis("EvalTerrain")->titleText(), "Height (m)");
    QCOMPARE(LeftAxis("EvalLoss")->titleText(), "Field Strength dBuV/m");
    for (const QPointF& p : field->points())
        QVERIFY(p.y() >= LeftAxis("EvalLoss")->min() && p.y() <= LeftAxis("EvalLoss")->max());
    QVERIFY(!Find<QLabel>("EvalProblem")->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
    CompareWithTheCommandLine();

    // The fields carry the table's description, unit, limits and default.
    QCOMPARE(Field("EvalPower")->toolTip(), "Transmitter power (W, 1e-06 to 1e+06, default 100)");
    for (const char* name : {"EvalRange", "EvalBearing", "EvalGain", "EvalRxGain"}) {
        const InputLimit* limit = FindInputLimit(name);
        QVERIFY(limit);
        QCOMPARE(Field(name)->toolTip(),
                 QStringLiteral("%1 (%2)").arg(QString::fromUtf8(limit->description),
                                               QString::fromStdString(limit->HelpText())));
    }
}

void EvaluationPageTest::sameChartsAsTheCommandLine_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("bearing");
    QTest::addColumn<QString>("power");
    QTest::addColumn<QString>("gain");
    QTest::addColumn<bool>("flatEarth");
    QTest::addColumn<QString>("fixedK"); // "" computed
    QTest::addColumn<bool>("interpolate");
    QTest::addColumn<QString>("frequency");
    QTest::newRow("120 km north-west, 5 W") << "120"
                                            << "300.5"
                                            << "5"
                                            << "3" << false << "" << false << "0.145";
    QTest::newRow("flat earth, fixed k 4/3") << "60"
                                             << "45"
                                             << "100"
                                             << "10" << true << "1.333" << false << "10.368";
    QTest::newRow("interpolated heights, -20 dBi") << "25"
                                                   << "180"
                                                   << "0.001"
                                                   << "-20" << false << "" << true << "2.4";
}

void EvaluationPageTest::sameChartsAsTheCommandLine() {
    QFETCH(QString, range);
    QFETCH(QString, bearing);
    QFETCH(QString, power);
    QFETCH(QString, gain);
    QFETCH(bool, flatEarth);
    QFETCH(QString, fixedK);
    QFETCH(bool, interpolate);
    QFETCH(QString, frequency);
    QVERIFY(StartForm());
    Click("RESET");
    Edit("FREQ")->setText(frequency);
    Find<QCheckBox>("FlatEarth")->setChecked(flatEarth);
    Find<QCheckBox>("INTERPOLATE")->setChecked(interpolate);
    Find<QCheckBox>("ForcedKFactor")->setChecked(!fixedK.isEmpty());
    if (!fixedK.isEmpty()) Edit("K_FACT")->setText(fixedK);
    ShowPage("Evaluation");
    QVERIFY(Idle());
    const int before = Page()->Evaluations();
    const std::pair<const char*, QString> edits[] = {
        {"EvalRange", range}, {"EvalBearing", bearing}, {"EvalPower", power}, {"EvalGain", gain}};
    for (const auto& [name, text] : edits) {
        Field(name)->setText(text);
        QVERIFY(Idle());
    }
    QVERIFY(Page()->Evaluations() > before);
    if (flatEarth)
        for (const QPointF& p : Points("EvalTerrain", "AreaSeries4"))
            QCOMPARE(p.y(), 0.0);
    CompareWithTheCommandLine();
    if (!fixedK.isEmpty()) QCOMPARE(Edit("K_FACT")->text(), fixedK);
    QVERIFY(dialogs->messages.isEmpty());
}

void EvaluationPageTest::arrowsStepAndWrap_data() {
    QTest::addColumn<QString>("bearing");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("expected");
    QTest::newRow("10 up") << "10" << true << "11.0";
    QTest::newRow("359 up wraps to 0") << "359" << true << "0.0";
    QTest::newRow("360 up gives 1") << "360" << true << "1.0";
    QTest::newRow("10 down") << "10" << false << "9.0";
    QTest::newRow("0.5 down wraps to 359.5") << "0.5" << false << "359.5";
    QTest::newRow("1 down gives 360") << "1" << false << "360.0";
}

void EvaluationPageTest::arrowsStepAndWrap() {
    QFETCH(QString, bearing);
    QFETCH(bool, up);
    QFETCH(QString, expected);
    QVERIFY(OpenPage());
    Field("EvalBearing")->setText(bearing);
    QVERIFY(Idle());
    const int before = Page()->Evaluations();
    const QList<QPointF> field = Points("EvalLoss", "LineSeries1");
    Find<QToolButton>(up ? "BearingControlUp" : "BearingControlDown")->click();
    QCOMPARE(Field("EvalBearing")->text(), expected);
    QVERIFY(Idle());
    // The click recomputed both charts along the new bearing.
    QCOMPARE(Page()->Evaluations(), before + 1);
    QVERIFY(BottomAxis("EvalTerrain")->titleText().contains(" on bearing " + expected + " from "));
    QVERIFY(BottomAxis("EvalLoss")->titleText().contains(" on bearing " + expected + " from "));
    if (expected != "0.0" && expected != "360.0")
        QVERIFY(Points("EvalLoss", "LineSeries1") != field);
}

void EvaluationPageTest::panelsLeaveTheInputModeAlone() {
    QVERIFY(OpenPage());
    for (const bool startEnd : {true, false}) {
        ShowPage("InputData");
        QTest::mouseClick(Find<QWidget>(startEnd ? "Panel2" : "Panel1"), Qt::LeftButton, {},
                          QPoint(2, 2));
        QCOMPARE(form->Link().Setup().StartEnd(), startEnd);
        ShowPage("Evaluation");
        QVERIFY(Idle());
        for (const char* panel : {"Panel6", "Panel7"}) {
            QTest::mouseClick(Find<QWidget>(panel), Qt::LeftButton, {}, QPoint(2, 2));
            QCOMPARE(form->Link().Setup().StartEnd(), startEnd);
            QCOMPARE(Edit("EndLoc")->isReadOnly(), !startEnd);
        }
    }
}

void EvaluationPageTest::imperialRangeTakenInKilometres() {
    QVERIFY(StartForm());
    Click("RESET");
    QTest::mouseClick(Find<QWidget>("Panel1"), Qt::LeftButton, {}, QPoint(2, 2));
    Find<QRadioButton>("Imperial")->setChecked(true);
    Edit("Range")->setText("10");
    Edit("Bearing")->setText("90");
    Click("CalculateBtn");
    QCOMPARE(Edit("Range")->text(), "10"); // miles, as typed
    ShowPage("Evaluation");
    QVERIFY(Idle());
    QCOMPARE(Field("EvalRange")->text(), "16"); // 16.093 km
    QCOMPARE(Field("EvalBearing")->text(), "90.0");
    // The radial runs 16 km, not 10.
    const QList<QPointF> terrain = Points("EvalTerrain", "AreaSeries3");
    QVERIFY(terrain.last().x() > 15.9 && terrain.last().x() < 16.1);
}

void EvaluationPageTest::editsDuringARadialRunOnceMore() {
    QVERIFY(OpenPage());
    const int before = Page()->Evaluations();
    // Four edits while the first radial is computed (the window's thread
    // does not return to its event loop in between, so the radial cannot
    // have been shown): one radial for the first, one more for the rest.
    Field("EvalRange")->setText("200");
    QVERIFY(Page()->Busy());
    Field("EvalBearing")->setText("45");
    Field("EvalPower")->setText("50");
    Field("EvalGain")->setText("3");
    QVERIFY(Idle());
    QCOMPARE(Page()->Evaluations(), before + 2);
    CompareWithTheCommandLine(); // the last inputs
}

void EvaluationPageTest::leavingThePageDropsTheRadial() {
    QVERIFY(OpenPage());
    Click("RESET"); // from another page: the link's receiver again
    const CLocator rx = form->State().rxLocation;
    const double gasLoss = form->State().pathGasLoss;
    const int before = Page()->Evaluations();
    Field("EvalRange")->setText("150");
    QVERIFY(Page()->Busy());
    ShowPage("InputData");
    QVERIFY(Idle());
    QCOMPARE(Page()->Evaluations(), before);
    QCOMPARE(form->State().rxLocation.GetLatitude(), rx.GetLatitude());
    QCOMPARE(form->State().rxLocation.GetLongitude(), rx.GetLongitude());
    QCOMPARE(form->State().pathGasLoss, gasLoss);
    // Coming back starts over from the link's range.
    ShowPage("Evaluation");
    QVERIFY(Idle());
    QCOMPARE(Page()->Evaluations(), before + 1);
    QVERIFY(Field("EvalRange")->text() != "150");
    CompareWithTheCommandLine();
}

void EvaluationPageTest::radialTooShortKeepsTheCharts() {
    QVERIFY(OpenPage());
    const QList<QPointF> terrain = Points("EvalTerrain", "AreaSeries3");
    const QList<QPointF> field = Points("EvalLoss", "LineSeries1");
    Field("EvalRange")->setText("0.1");
    QVERIFY(Idle());
    QCOMPARE(Points("EvalTerrain", "AreaSeries3"), terrain);
    QCOMPARE(Points("EvalLoss", "LineSeries1"), field);
    QVERIFY(Find<QLabel>("EvalProblem")->isVisible());
    QCOMPARE(Text("EvalProblem"), "Path too short");
    QVERIFY(dialogs->messages.isEmpty());
    // A field that does not hold a number within its limits computes nothing.
    const int before = Page()->Evaluations();
    for (const char* text : {"", "-", "5000"}) {
        Field("EvalRange")->setText(QString::fromLatin1(text));
        QVERIFY(!Page()->Busy());
    }
    QCOMPARE(Page()->Evaluations(), before);
    QVERIFY(dialogs->messages.isEmpty());
    Field("EvalRange")->setText("20");
    QVERIFY(Idle());
    QVERIFY(!Find<QLabel>("EvalProblem")->isVisible());
    QVERIFY(Points("EvalLoss", "LineSeries1") != field);
}

void EvaluationPageTest::radialAcrossTheDateLine() {
    QVERIFY(StartForm());
    Click("RESET");
    Find<QRadioButton>("DEG")->setChecked(true);
    Edit("StartLoc")->setText("51.5 N 179.99 W");
    Edit("EndLoc")->setText("51.5 N 179.9 W");
    Click("CalculateBtn");
    QVERIFY(form->State().txLocation.IsValid());
    ShowPage("Evaluation");
    QVERIFY(Idle());
    const int before = Page()->Evaluations();
    // Westwards the radial crosses the date line and ends in the east.
    Field("EvalBearing")->setText("270");
    QVERIFY(Idle());
    QCOMPARE(Page()->Evaluations(), before + 1);
    QVERIFY(!Find<QLabel>("EvalProblem")->isVisible());
    const CLocator rx = form->State().rxLocation;
    QVERIFY(rx.IsValid());
    QVERIFY(rx.GetLongitude() > 179.0);
    QVERIFY(!Points("EvalLoss", "LineSeries1").isEmpty());
    QVERIFY(dialogs->messages.isEmpty());
}

void EvaluationPageTest::chartCopies() {
    QVERIFY(OpenPage());
    for (const char* name : {"EvalTerrain", "EvalLoss"}) {
        QGuiApplication::clipboard()->clear();
        dialogs->messages.clear();
        QWidget* chart = Find<QChartView>(name)->viewport();
        QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
        // Said in the status bar, not in a box to be closed.
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(form->statusBar()->currentMessage(), "Chart copied to the clipboard");
        QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
    }
}

void EvaluationPageTest::zoomKeepsRoundTicksWithinTheData_data() {
    QTest::addColumn<QString>("chart");
    QTest::newRow("terrain") << "EvalTerrain";
    QTest::newRow("field strength") << "EvalLoss";
}

// A zoom to a tenth of a 100 km radial: round labels, several of them, on
// both axes; right clicks and "Zoom out" never pass the data; Home (and
// "Reset zoom") return to it.
void EvaluationPageTest::zoomKeepsRoundTicksWithinTheData() {
    QFETCH(QString, chart);
    QVERIFY(OpenPage());
    Field("EvalRange")->setText("100");
    QVERIFY(Idle());
    TChartView* view = View(qPrintable(chart));
    QTest::qWait(50); // the chart lays its axes out in the event loop
    QValueAxis* bottom = BottomAxis(qPrintable(chart));
    QValueAxis* left = LeftAxis(qPrintable(chart));
    const QPair<double, double> homeX(bottom->min(), bottom->max());
    const QPair<double, double> homeY(left->min(), left->max());
    QCOMPARE(homeX.first, 0.0);

    const QRectF plot = view->chart()->plotArea();
    view->chart()->zoomIn(QRectF(plot.left() + 0.4 * plot.width(), plot.top() + 0.3 * plot.height(),
                                 0.1 * plot.width(), 0.2 * plot.height()));
    QVERIFY(bottom->max() - bottom->min() < 11.0);
    for (const QValueAxis* axis : {bottom, left}) {
        QVERIFY2(Labels(axis) >= 3 && Labels(axis) <= 9, qPrintable(QString::number(Labels(axis))));
        const double step = axis->tickInterval();
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
        QVERIFY2(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                     std::fabs(mantissa - 5) < 1e-9,
                 qPrintable(QString::number(step)));
        QCOMPARE(axis->tickAnchor(), 0.0);
    }
    // A right click opens the menu; it does not zoom.
    const QPair<double, double> zoomed(bottom->min(), bottom->max());
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, view->viewport()->rect().center());
    QCOMPARE(bottom->min(), zoomed.first);
    QCOMPARE(bottom->max(), zoomed.second);

    // The window system's context-menu event opens the chart's menu.
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            for (const QAction* action : popup->actions())
                if (!action->isSeparator()) entries << action->text();
            popup->close();
        }
    });
    QContextMenuEvent menu(QContextMenuEvent::Mouse, view->viewport()->rect().center(),
                           view->viewport()->mapToGlobal(view->viewport()->rect().center()));
    QApplication::sendEvent(view->viewport(), &menu);
    QCOMPARE(entries, QStringList({"Zoom out", "Reset zoom\tHome", "Copy", "Save as PNG...",
                                   "Save as SVG..."}));

    QAction* zoomOut = view->findChild<QAction*>("ZoomOut");
    QVERIFY(view->actions().contains(zoomOut));
    for (int i = 0; i < 8; ++i) {
        zoomOut->trigger();
        QVERIFY(bottom->min() >= homeX.first && bottom->max() <= homeX.second);
        QVERIFY(left->min() >= homeY.first && left->max() <= homeY.second);
        QVERIFY(Labels(bottom) >= 3 && Labels(left) >= 3);
    }
    QCOMPARE(bottom->min(), homeX.first);
    QCOMPARE(bottom->max(), homeX.second);
    QCOMPARE(left->max(), homeY.second);

    view->chart()->zoomIn(
        QRectF(plot.left() + 0.1 * plot.width(), plot.top(), 0.2 * plot.width(), plot.height()));
    QVERIFY(bottom->max() < homeX.second);
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(bottom->min(), homeX.first);
    QCOMPARE(bottom->max(), homeX.second);
    QCOMPARE(left->min(), homeY.first);
    QCOMPARE(left->max(), homeY.second);
    view->chart()->zoomIn(QRectF(plot.center(), QSizeF(20, 20)));
    view->findChild<QAction*>("ResetZoom")->trigger();
    QCOMPARE(bottom->max(), homeX.second);
    QCOMPARE(left->min(), homeY.first);
}

// The received power of an RX antenna gain, as kestrova-cli radial gives
// it; the power axis beside the field strength, and the sensitivity line,
// follow the receiver's fields without a new radial.
void EvaluationPageTest::receivedPowerAsTheCommandLine() {
    QVERIFY(OpenPage());
    Field("EvalRxGain")->setText("12.5");
    Field("EvalSensitivity")->setText("-90");
    QVERIFY(Idle());
    extraOptions = {"--receiver-gain", "12.5"};
    const nlohmann::json json = CommandLine();
    QVERIFY(json.is_object());
    const auto& last = json["records"].back();
    const double received = last["receivedPower"].get<double>();
    const double offset = received - last["fieldStrength"].get<double>();
    QCOMPARE(Text("EvalReceived"),
             QStringLiteral("At %1 km: %2 dBµV/m, received %3 dBm, %4 the receiver's sensitivity")
                 .arg(Q(FormatFixed(last["distance"].get<double>(), 6, 1)).trimmed(),
                      Q(FormatFixed(last["fieldStrength"].get<double>(), 6, 1)).trimmed(),
                      Q(FormatFixed(received, 6, 1)).trimmed(),
                      received >= -90 ? "above" : "below"));
    // Without the option, no received power.
    QVERIFY(!CommandLine()["records"].back().contains("receivedPower"));

    const auto axesAgree = [&](double expectedOffset) {
        QVERIFY(std::fabs(PowerAxis()->min() - LeftAxis("EvalLoss")->min() - expectedOffset) <
                1e-9);
        QVERIFY(std::fabs(PowerAxis()->max() - LeftAxis("EvalLoss")->max() - expectedOffset) <
                1e-9);
        const QList<QPointF> line = Points("EvalLoss", "SensitivityLine");
        QCOMPARE(line.size(), 2);
        const double sensitivity = Field("EvalSensitivity")->GetValue() - expectedOffset;
        for (const QPointF& p : line) {
            QVERIFY(std::fabs(p.y() - sensitivity) < 1e-9);
            QVERIFY(p.y() >= LeftAxis("EvalLoss")->min() && p.y() <= LeftAxis("EvalLoss")->max());
        }
        QCOMPARE(line.last().x(), BottomAxis("EvalLoss")->max());
    };
    axesAgree(offset);
    // 10 dB more gain: the power axis moves by 10 dB; no radial runs.
    const int radials = Page()->Evaluations();
    Field("EvalRxGain")->setText("22.5");
    axesAgree(offset + 10.0);
    // A sensitivity far below the curve: the axis reaches down to its line.
    Field("EvalSensitivity")->setText("-190");
    axesAgree(offset + 10.0);
    QVERIFY(Text("EvalReceived").endsWith("above the receiver's sensitivity"));
    // Zoomed, the two axes stay 1:1.
    const QRectF plot = View("EvalLoss")->chart()->plotArea();
    View("EvalLoss")
        ->chart()
        ->zoomIn(QRectF(plot.left(), plot.top() + 0.2 * plot.height(), plot.width(),
                        0.3 * plot.height()));
    QVERIFY(std::fabs(PowerAxis()->max() - LeftAxis("EvalLoss")->max() - offset - 10.0) < 1e-9);
    QCOMPARE(Page()->Evaluations(), radials);
    QVERIFY(dialogs->messages.isEmpty());
}

// The values of the point under the mouse: on the field-strength chart its
// distance, field strength and received power, on the terrain chart its
// terrain and line of sight; nothing outside the plot.
void EvaluationPageTest::readoutUnderTheMouse() {
    QVERIFY(OpenPage());
    QTest::qWait(50);
    auto* readout = Find<QLabel>("EvalReadout");
    QVERIFY(!readout->isVisible());
    const QList<QPointF> field = Points("EvalLoss", "LineSeries1");
    const QPointF middle = field[field.size() / 2];
    Hover("EvalLoss", At("EvalLoss", middle));
    const double gain = Field("EvalRxGain")->GetValue();
    const double received =
        middle.y() + gain - 20.0 * std::log10(Field("FREQ")->GetValue()) - 137.2;
    QTRY_COMPARE(readout->text(), QStringLiteral("%1 km: %2 dBµV/m, received %3 dBm")
                                      .arg(Q(FormatFixed(middle.x(), 6, 2)).trimmed(),
                                           Q(FormatFixed(middle.y(), 6, 1)).trimmed(),
                                           Q(FormatFixed(received, 6, 1)).trimmed()));
    QVERIFY(readout->isVisible());

    const QList<QPointF> terrain = Points("EvalTerrain", "AreaSeries3");
    const QList<QPointF> los = Points("EvalTerrain", "EvalLos");
    const auto i = terrain.size() / 3;
    Hover("EvalTerrain", At("EvalTerrain", terrain[i]));
    QTRY_COMPARE(readout->text(), QStringLiteral("%1 km: terrain %2 m, line of sight %3 m")
                                      .arg(Q(FormatFixed(terrain[i].x(), 6, 2)).trimmed(),
                                           Q(FormatFixed(terrain[i].y(), 6, 0)).trimmed(),
                                           Q(FormatFixed(los[i].y(), 6, 1)).trimmed()));
    Hover("EvalTerrain", QPoint(1, 1)); // outside the plot
    QTRY_VERIFY(!readout->isVisible());
}

// Either chart saved from its menu as PNG and as SVG, in the folder last
// used, with a status line naming the file and its size.
void EvaluationPageTest::chartSavedAsPngAndSvg() {
    QVERIFY(OpenPage());
    QVERIFY(QDir::current().mkdir("charts"));
    TChartView* view = View("EvalLoss");
    dialogs->saveAnswer = QDir::current().filePath("charts/field"); // no extension typed
    view->findChild<QAction*>("SavePng")->trigger();
    QCOMPARE(dialogs->saveProposals.last(), "radial-field-strength.png");
    const QImage png(QDir::current().filePath("charts/field.png"));
    QCOMPARE(png.size(), view->grab().size());
    const qint64 pngSize = QFileInfo(QDir::current().filePath("charts/field.png")).size();
    QCOMPARE(form->statusBar()->currentMessage(),
             QStringLiteral("Saved field.png (%1 kB)").arg((pngSize + 512) / 1024));

    dialogs->saveAnswer = QDir::current().filePath("charts/terrain.svg");
    View("EvalTerrain")->findChild<QAction*>("SaveSvg")->trigger();
    // The dialog starts where the last file went.
    QCOMPARE(dialogs->saveProposals.last(), QDir::current().filePath("charts/radial-terrain.svg"));
    QFile svg(QDir::current().filePath("charts/terrain.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    QVERIFY(text.contains("<svg") && text.contains("</svg>"));
    // Drawn as vectors: the axis labels are text, not a picture.
    QVERIFY(text.contains("<text"));
    QVERIFY(form->statusBar()->currentMessage().startsWith("Saved terrain.svg ("));
    // Cancelled: nothing written, nothing said.
    form->statusBar()->clearMessage();
    dialogs->saveAnswer.clear();
    view->findChild<QAction*>("SaveSvg")->trigger();
    QVERIFY(form->statusBar()->currentMessage().isEmpty());
    QVERIFY(dialogs->messages.isEmpty());
}

QTEST_MAIN(EvaluationPageTest)
#include "EvaluationPageTest.moc"
