// The edition of ITU-R P.452 chosen on the Input Data page: every page that
// computes follows it, the results say which edition they come from, the
// window's figures are kestrova-cli's, and the choice outlives a restart.
#include "CliRun.h"
#include "WindowFixture.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/EvaluationPage.h"
#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"

#include <QComboBox>
#include <QProgressBar>

#include <nlohmann/json.hpp>

using namespace kestrova;
using namespace kestrova::test;

class EditionTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QFAIL(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void everyPageFollowsTheEdition();
    void edition18EqualsTheCommandLine();
    void choiceSurvivesARestart();
    void outsideTheEditionsLimitsSaysSo();

private:
    QComboBox* Box(const char* name) { return Find<QComboBox>(name); }
    QList<QPointF> Points(const char* chart, const char* series) {
        return Series(chart, series)->points();
    }
    // The mechanisms, evaluation and coverage figures of the current edition.
    struct Figures {
        QString overall;
        QList<QPointF> mechanisms;
        QList<QPointF> field;
        QString coverage;
        QString evaluationTitle;
        bool finished = true; // the radial and the map were done in time
    };
    Figures Compute() {
        Figures f;
        ShowPage("InputData");
        f.overall = Text("OverallLoss");
        ShowPage("Mechanisms");
        f.mechanisms = Points("Chart2", "Series6");
        ShowPage("Evaluation");
        auto* evaluation = Find<TEvaluationPage>("Evaluation");
        f.finished = QTest::qWaitFor([&] { return !evaluation->Busy(); }, 60000);
        f.field = Points("EvalLoss", "LineSeries1");
        f.evaluationTitle = Find<QChartView>("EvalLoss")->chart()->title();
        ShowPage("Coverage");
        Find<TNumEdit>("CoverageRange")->setText("5");
        Click("PlotCoverage");
        auto* coverage = Find<TCoveragePage>("Coverage");
        f.finished = QTest::qWaitFor([&] { return !coverage->Running(); }, 60000) && f.finished;
        f.coverage = Find<QProgressBar>("CoverageProgress")->format();
        ShowPage("InputData");
        return f;
    }
};

void EditionTest::everyPageFollowsTheEdition() {
    QVERIFY(StartForm());
    Click("RESET");
    QCOMPARE(Box("Edition")->currentIndex(), 0);
    QVERIFY(!Box("Polarisation")->isEnabled());
    QVERIFY(Find<TNumEdit>("RH")->isEnabled());
    const Figures old = Compute();
    QVERIFY(old.finished);
    QCOMPARE(Text("EditionResult"), "ITU-R P.452-14 (2009)");
    QVERIFY(old.coverage.contains("ITU-R P.452-14"));

    Box("Edition")->setCurrentIndex(1); // recalculates
    QCOMPARE(Text("EditionResult"), "ITU-R P.452-18 (2023)");
    QVERIFY(Box("Polarisation")->isEnabled());
    QVERIFY(!Find<TNumEdit>("RH")->isEnabled()); // humidity plays no part
    QVERIFY(Text("GasLoss").contains("inside each loss"));
    const Figures now = Compute();
    QVERIFY(now.finished);
    QVERIFY(now.overall != old.overall);
    QVERIFY(Find<QChartView>("Chart2")->chart()->title().contains("P.452-18"));
    QCOMPARE(now.mechanisms.size(), old.mechanisms.size());
    QVERIFY(now.mechanisms != old.mechanisms);
    QVERIFY(now.field != old.field);
    QVERIFY(now.evaluationTitle.contains("P.452-18"));
    QVERIFY(now.coverage.contains("ITU-R P.452-18"));

    // Polarisation reaches the loss through the spherical-Earth term, which
    // tells them apart at VHF.
    Edit("FREQ")->setText("0.15");
    Click("CalculateBtn");
    const double vertical = Engine().result18.ldsph;
    Box("Polarisation")->setCurrentIndex(1); // recalculates
    QVERIFY(Engine().result18.ldsph != vertical);
}

void EditionTest::edition18EqualsTheCommandLine() {
    QVERIFY(StartForm());
    Click("RESET");
    Box("Edition")->setCurrentIndex(1);
    Find<TNumEdit>("TX_GAIN")->setText("12");
    Edit("FREQ")->setText("1.3");
    Click("CalculateBtn");
    const CTerrain& e = Engine();
    QVERIFY(e.valid);
    const cli::CliRun run = cli::Cli({"link",
                                      "--tx",
                                      Edit("StartLoc")->text().toStdString(),
                                      "--rx",
                                      Edit("EndLoc")->text().toStdString(),
                                      "--format",
                                      "loc",
                                      "--tiles",
                                      tileDirectory.toStdString(),
                                      "--freq",
                                      "1.3",
                                      "--percent",
                                      "50",
                                      "--tx-height",
                                      "10",
                                      "--rx-height",
                                      "10",
                                      "--temperature",
                                      "20",
                                      "--pressure",
                                      "1000",
                                      "--tx-gain",
                                      "12",
                                      "--edition",
                                      "18",
                                      "--json"});
    QCOMPARE(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    QCOMPARE(json["edition"].get<std::string>(), "P.452-18");
    QCOMPARE(json["lb"].get<double>(), e.result18.lb);
    QCOMPARE(json["lbs"].get<double>(), e.result18.lbs);
    QCOMPARE(Text("OverallLoss"),
             "Overall path loss: " + Q(FormatFixed(json["lb"].get<double>(), 3, 0)) + " dB");
}

void EditionTest::choiceSurvivesARestart() {
    QVERIFY(StartForm());
    Box("Edition")->setCurrentIndex(1);
    Box("Polarisation")->setCurrentIndex(1);
    Find<TNumEdit>("RX_GAIN")->setText("7.5");
    Click("SaveInitButton");
    form.reset();
    QVERIFY(StartFormWith({})); // the file just saved
    QCOMPARE(Box("Edition")->currentIndex(), 1);
    QCOMPARE(Box("Polarisation")->currentIndex(), 1);
    QCOMPARE(Find<TNumEdit>("RX_GAIN")->GetValue(), 7.5);
    QCOMPARE(Text("EditionResult"), "ITU-R P.452-18 (2023)");
    // An older settings file, without the edition: P.452-14.
    form.reset();
    QVERIFY(StartForm("[LinkData]\nFrequency = 2; \n"));
    QCOMPARE(Box("Edition")->currentIndex(), 0);
}

void EditionTest::outsideTheEditionsLimitsSaysSo() {
    QVERIFY(StartForm());
    Click("RESET");
    Edit("FREQ")->setText("60");
    Box("Edition")->setCurrentIndex(1);
    QVERIFY(!dialogs->messages.isEmpty());
    QVERIFY(dialogs->messages.last().contains("0.1 to 50 GHz"));
}

QTEST_MAIN(EditionTest)
#include "EditionTest.moc"
