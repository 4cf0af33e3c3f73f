// The "Mechanisms" page of the real window over the real terrain tile: four
// series of ten points, the same numbers as kestrova-cli mechanisms, the
// link's figures left alone, the 50 % point equal to the link's overall
// loss, an empty chart for a path too short, and the chart copy.
#include "WindowFixture.h"

#include "app/pages/MechanismsPage.h"
#include "controls/ChartView.h"

#include "CliRun.h"
#include "geo/NumberFormat.h"
#include "propagation/engine/Mechanisms.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLogValueAxis>

#include <nlohmann/json.hpp>

using namespace kestrova;
using namespace kestrova::test;

class MechanismsPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void fourSeriesOfTenPoints();
    void sameNumbersAsTheCommandLine();
    void linkFiguresStayTheLinks();
    void coincidentEndsGiveAnEmptyChart();
    void chartCopy();
    void readoutAndBoundedZoom();

private:
    QList<QPointF> Points(const char* name) { return Series("Chart2", name)->points(); }
};

void MechanismsPageTest::fourSeriesOfTenPoints() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("Mechanisms");
    QChart* chart = Find<QChartView>("Chart2")->chart();
    QCOMPARE(chart->title(), "Model Results, ITU-R P.452-14 (2009)");
    const struct {
        const char* name;
        const char* title;
        QColor colour;
        int width;
    } expected[] = {{"Series3", "Diffraction", QColor(255, 0, 0), 2},
                    {"Series4", "Ducting", QColor(0, 128, 128), 2},
                    {"Series5", "Troposcatter", QColor(0, 0, 255), 2},
                    {"Series6", "Overall", QColor(128, 0, 128), 7}}; // a translucent band
    for (const auto& s : expected) {
        QLineSeries* series = Series("Chart2", s.name);
        QCOMPARE(series->name(), s.title);
        QCOMPARE(series->pen().color().rgb(), s.colour.rgb());
        QCOMPARE(series->pen().width(), s.width);
        const QList<QPointF> points = series->points();
        QCOMPARE(points.size(), 10);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(points[i].x(), mechanismPercentages[static_cast<std::size_t>(i)]);
    }
    // The overall curve never lies above the troposcatter curve.
    const QList<QPointF> overall = Points("Series6");
    const QList<QPointF> tropo = Points("Series5");
    for (int i = 0; i < 10; ++i)
        QVERIFY(overall[i].y() <= tropo[i].y());
    // Axes: time on a log scale from 0.001 to 50 %, loss growing downwards.
    auto* time = qobject_cast<QLogValueAxis*>(chart->axes(Qt::Horizontal).first());
    QVERIFY(time);
    QCOMPARE(time->min(), 0.001);
    QCOMPARE(time->max(), 50.0);
    QCOMPARE(time->titleText(), "Percentage Time");
    QValueAxis* loss = LeftAxis("Chart2");
    QVERIFY(loss->isReverse());
    QCOMPARE(loss->titleText(), "Path Attenuation (dB)");
    for (const QPointF& p : overall + tropo)
        QVERIFY(p.y() >= loss->min() && p.y() <= loss->max());

    // With the link at 50 % (its default) the chart's 50 % overall point is
    // the link's overall loss: the same refractivity, found in the maps or,
    // without them, the same fallback as the link.
    QCOMPARE(overall[9].y(), Engine().loss.lb + form->State().pathGasLoss);
    QCOMPARE(Text("OverallLoss"),
             "Overall path loss: " + Q(FormatFixed(overall[9].y(), 3, 0)) + " dB");

    // Showing it again gives the same chart.
    ShowPage("InputData");
    ShowPage("Mechanisms");
    QCOMPARE(Points("Series6"), overall);
    QCOMPARE(Points("Series5"), tropo);
}

void MechanismsPageTest::sameNumbersAsTheCommandLine() {
    QVERIFY(StartForm());
    Click("RESET"); // 10.368 GHz, 10 m antennas, 50 % humidity, 20 C, 1000 hPa
    ShowPage("Mechanisms");
    const cli::CliRun run =
        cli::Cli({"mechanisms", "--format", "loc", "--tx", Edit("StartLoc")->text().toStdString(),
                  "--rx", Edit("EndLoc")->text().toStdString(), "--tiles",
                  tileDirectory.toStdString() + "/", "--humidity", "50", "--json"});
    QVERIFY2(run.status == 0, run.err.c_str());
    const auto json = nlohmann::json::parse(run.out);
    QCOMPARE(json["gasLoss"].get<double>(), form->State().pathGasLoss);
    const auto& points = json["points"];
    QCOMPARE(points.size(), std::size_t(10));
    const char* const keys[] = {"diffraction", "ducting", "troposcatter", "overall"};
    const char* const names[] = {"Series3", "Series4", "Series5", "Series6"};
    for (int k = 0; k < 4; ++k) {
        const QList<QPointF> chart = Points(names[k]);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(chart[i].y(), points[static_cast<std::size_t>(i)][keys[k]].get<double>());
    }
}

void MechanismsPageTest::linkFiguresStayTheLinks() {
    QVERIFY(StartForm());
    Click("RESET");
    Edit("Percent")->setText("1");
    Click("CalculateBtn");
    const double lb = Engine().loss.lb;
    const QString overall = Text("OverallLoss");
    ShowPage("Mechanisms");
    // The chart ran at ten percentages on an engine of its own: the link's
    // engine still holds the 1 % calculation the other pages read.
    QCOMPARE(Engine().timePercent, 1.0);
    QCOMPARE(Engine().loss.lb, lb);
    QCOMPARE(Text("OverallLoss"), overall);
    // Its 1 % point is the link's loss.
    QCOMPARE(Points("Series6")[5].y(), lb + form->State().pathGasLoss);
}

void MechanismsPageTest::coincidentEndsGiveAnEmptyChart() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("Mechanisms");
    QCOMPARE(Points("Series6").size(), 10);
    ShowPage("InputData");
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("CalculateBtn");
    ShowPage("Mechanisms");
    for (const char* name : {"Series3", "Series4", "Series5", "Series6"})
        QVERIFY2(Points(name).isEmpty(), name);
    QVERIFY(dialogs->messages.isEmpty());
}

void MechanismsPageTest::chartCopy() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("Mechanisms");
    QGuiApplication::clipboard()->clear();
    QWidget* chart = Find<QChartView>("Chart2")->viewport();
    QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
    // Said in the status bar, not in a box to be closed.
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(form->statusBar()->currentMessage(), "Chart copied to the clipboard");
    QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
}

// The losses of the sampled percentage nearest the mouse, as the series
// hold them; a zoom out on the logarithmic axis ends at 0.001 .. 50 %.
void MechanismsPageTest::readoutAndBoundedZoom() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("Mechanisms");
    auto* view = Find<TChartView>("Chart2");
    QTest::qWait(50); // the chart lays its axes out in the event loop
    auto* readout = Find<QLabel>("MechanismsReadout");
    QVERIFY(!readout->isVisible());
    const QList<QPointF> overall = Points("Series6");
    QCOMPARE(overall.size(), 10);
    // Just right of the 1 % point, in the plot.
    const QPointF at = view->chart()->mapToPosition(QPointF(1.1, overall[5].y()));
    Find<TMechanismsPage>("Mechanisms")
        ->Chart2MouseMove(view->mapFromScene(view->chart()->mapToScene(at)));
    QVERIFY(readout->isVisible());
    QStringList losses;
    for (const char* name : {"Series3", "Series4", "Series5", "Series6"})
        losses << Series("Chart2", name)->name() + " " +
                      Q(FormatFixed(Points(name)[5].y(), 6, 1)).trimmed() + " dB";
    QCOMPARE(overall[5].x(), 1.0);
    QCOMPARE(readout->text(), "1 % of time: " + losses.join(", "));

    auto* bottom = qobject_cast<QLogValueAxis*>(view->chart()->axes(Qt::Horizontal).first());
    const QRectF plot = view->chart()->plotArea();
    view->chart()->zoomIn(QRectF(plot.center(), QSizeF(plot.width() / 8, plot.height() / 8)));
    QVERIFY(bottom->min() > 0.001);
    for (int i = 0; i < 10; ++i) {
        view->findChild<QAction*>("ZoomOut")->trigger();
        QVERIFY(bottom->min() >= 0.001 * (1 - 1e-9) && bottom->max() <= 50 * (1 + 1e-9));
    }
    QVERIFY(std::fabs(bottom->min() - 0.001) < 1e-12);
    QVERIFY(std::fabs(bottom->max() - 50) < 1e-9);
}

QTEST_MAIN(MechanismsPageTest)
#include "MechanismsPageTest.moc"
