// The "Input Data" page of the real window over the real terrain tile: the
// link inputs, the calculation's checks and results, the profile chart and
// its readout, and the results file.
#include "app/pages/InputPage.h"
#include "WindowFixture.h"

#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "geo/Units.h"
#include "propagation/engine/MissingTerrain.h"
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <cmath>

using namespace kestrova;
using namespace kestrova::test;

class InputPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void invalidLocationsClearOldResults_data();
    void invalidLocationsClearOldResults();
    void coincidentEndsArePathTooShort();
    void fieldOutOfLimitsStopsCalculate_data();
    void fieldOutOfLimitsStopsCalculate();
    void rangeAndBearingMode();
    void imperialRangeAndBearing();
    void formatSwitchShowsStoredLocations();
    void flatEarthAndImperialChart();
    void resultsBlocks();
    void resultsCancelledWritesNothing();
    void resultsBeforeAnyCalculation();
    void readoutAtMidPath();
    void chartCopy();
    void enterInALocationCalculates();
    void chartKeepsItsPlace();
    void chartTicksAreRound();
    void pathOffTheTerrainIsSaid();
};

void InputPageTest::invalidLocationsClearOldResults_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("startHeight");
    QTest::addColumn<QString>("endHeight");
    QTest::newRow("bad RX") << "IO91GI44GM"
                            << "IO91ZZ"
                            << "TX ASL: "
                            << "Invalid RX Locator";
    QTest::newRow("bad TX") << "XX99"
                            << "IO91IO44"
                            << "Invalid TX Locator"
                            << "RX ASL: ";
    QTest::newRow("both bad") << ""
                              << "ZZ"
                              << "Invalid TX Locator"
                              << "Invalid RX Locator";
}

void InputPageTest::invalidLocationsClearOldResults() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, startHeight);
    QFETCH(QString, endHeight);
    QVERIFY(StartForm());
    Click("RESET");
    const QString overall = Text("OverallLoss");
    const QString range = Edit("Range")->text();
    const int lines = Find<QListWidget>("Profile")->count();
    Edit("StartLoc")->setText(start);
    Edit("EndLoc")->setText(end);
    QVERIFY(Series("Chart1", "Series1")->count() > 0);
    Click("CalculateBtn");
    QVERIFY(Text("StartHeight").startsWith(startHeight));
    QVERIFY(Text("EndHeight").startsWith(endHeight));
    // The earlier losses and chart are gone, and the page says why.
    QVERIFY(overall != "Overall path loss: -");
    QCOMPARE(Text("OverallLoss"), "Overall path loss: -");
    QCOMPARE(Text("DiffLoss"), "Diffraction path loss: -");
    QCOMPARE(Series("Chart1", "Series1")->count(), 0);
    QVERIFY(Find<QLabel>("InvalidPath")->isVisible());
    QVERIFY2(Text("InvalidPath").startsWith("No results: invalid "),
             qPrintable(Text("InvalidPath")));
    QCOMPARE(Edit("Range")->text(), range);
    QCOMPARE(Find<QListWidget>("Profile")->count(), lines);
    QVERIFY(dialogs->messages.isEmpty());
    // Valid inputs again: results and chart are back, the red line gone.
    Click("RESET");
    QCOMPARE(Text("OverallLoss"), overall);
    QVERIFY(Series("Chart1", "Series1")->count() > 0);
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
}

void InputPageTest::coincidentEndsArePathTooShort() {
    QVERIFY(StartForm());
    Click("RESET");
    const QString overall = Text("OverallLoss");
    const int points = Series("Chart1", "Series1")->count();
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("CalculateBtn");
    QVERIFY(Find<QLabel>("InvalidPath")->isVisible());
    QCOMPARE(Find<QLabel>("InvalidPath")->text(), "Path too short");
    QCOMPARE(Text("OverallLoss"), overall);
    QCOMPARE(Series("Chart1", "Series1")->count(), points);
    // What comes before the engine call is updated.
    QCOMPARE(Text("GasLoss"), "Gaseous Loss: 0.0 dB");
    QCOMPARE(Edit("Range")->text(), "0.0");
    QCOMPARE(Text("EndHeight").replace("RX", "TX"), Text("StartHeight"));
    // A valid path hides the message again.
    Click("RESET");
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
}

void InputPageTest::fieldOutOfLimitsStopsCalculate_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("frequency") << "FREQ"
                               << "500"
                               << "Value must be between 0.025 and 300";
    QTest::newRow("percent") << "Percent"
                             << "0"
                             << "Value must be between 0.0001 and 50";
    QTest::newRow("not a number") << "RX_H"
                                  << "1e"
                                  << "'1e' is not a valid numeric input.";
}

void InputPageTest::fieldOutOfLimitsStopsCalculate() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QVERIFY(StartForm());
    Click("RESET");
    const QString overall = Text("OverallLoss");
    const QString gas = Text("GasLoss");
    Edit(field.toLatin1().constData())->setText(text);
    Edit("EndLoc")->setText("IO91JO");
    Click("CalculateBtn");
    QCOMPARE(dialogs->messages, QStringList{message});
    QVERIFY(overall != "Overall path loss: -");
    QCOMPARE(Text("OverallLoss"), "Overall path loss: -");
    QCOMPARE(Text("InvalidPath"), "No results: an input lies outside its limits");
    QCOMPARE(Text("GasLoss"), gas);
    // A computed k-factor beyond the field's limits does not count while it
    // is not fixed: only the inputs of the calculation do.
    Edit(field.toLatin1().constData())->setText("10");
    Edit("K_FACT")->setText("1000");
    Click("CalculateBtn");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(Text("OverallLoss") != overall);
}

void InputPageTest::rangeAndBearingMode() {
    QVERIFY(StartForm());
    Click("RESET");
    QWidget* panel = Find<QWidget>("Panel1");
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 3, panel->height() - 3));
    QVERIFY(!form->Link().Setup().StartEnd());
    QVERIFY(Edit("EndLoc")->isReadOnly());
    QVERIFY(!Edit("Range")->isReadOnly());
    Edit("Range")->setText("100");
    Edit("Bearing")->setText("90");
    Click("CalculateBtn");
    // Range and bearing stay as typed however often the link is calculated
    // (measured back from the end point, the range would shrink a little
    // each time), and the end point stays where they put it.
    QCOMPARE(Edit("Range")->text(), "100");
    QCOMPARE(Edit("Bearing")->text(), "90");
    QCOMPARE(Edit("EndLoc")->text().size(), 8); // a computed Maidenhead end: 8 characters
    const double endLatitude = form->State().rxLocation.GetLatitude();
    const double endLongitude = form->State().rxLocation.GetLongitude();
    for (int i = 0; i < 3; ++i) {
        Click("CalculateBtn");
        QCOMPARE(Edit("Range")->text(), "100");
        QCOMPARE(Edit("Bearing")->text(), "90");
        QCOMPARE(form->State().rxLocation.GetLatitude(), endLatitude);
        QCOMPARE(form->State().rxLocation.GetLongitude(), endLongitude);
    }
    // Another format and back: the stored end shows 10 characters again.
    Find<QRadioButton>("NGR")->setChecked(true);
    Find<QRadioButton>("LOC")->setChecked(true);
    QCOMPARE(Edit("EndLoc")->text().size(), 10);
    // Panel2: the receiver by its own location again.
    Find<QWidget>("Panel2")->setFocus();
    QTest::mouseClick(Find<QWidget>("Panel2"), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(form->Link().Setup().StartEnd());
    QVERIFY(!Edit("EndLoc")->isReadOnly());
}

void InputPageTest::imperialRangeAndBearing() {
    QVERIFY(StartForm());
    Click("RESET");
    QTest::mouseClick(Find<QWidget>("Panel1"), Qt::LeftButton, {}, QPoint(2, 2));
    Find<QRadioButton>("Imperial")->setChecked(true); // recalculates
    Edit("Range")->setText("10");
    Edit("Bearing")->setText("90");
    Click("CalculateBtn");
    QCOMPARE(Edit("Range")->text(), "10");
    QCOMPARE(Find<QLabel>("RangeUnitLabel")->text(), "mls");
    CLocator tx = form->State().txLocation;
    double lat = 0, lon = 0;
    QVERIFY(tx.DestinationPoint(lat, lon, 10.0 * kmPerMile, 90.0));
    QVERIFY(std::fabs(form->State().rxLocation.GetLatitude() - lat) < 1e-9);
    QVERIFY(std::fabs(form->State().rxLocation.GetLongitude() - lon) < 1e-9);
    QVERIFY(Text("StartHeight").endsWith(" ft"));
    // Back to metric: the 10 in the field is now read as kilometres.
    Find<QRadioButton>("Metric")->setChecked(true);
    QCOMPARE(Find<QLabel>("RangeUnitLabel")->text(), "km");
    CPath path;
    path.SetPath(form->State().txLocation, form->State().rxLocation);
    double range = 0, bearing = 0;
    path.GetRangeBearing(range, bearing);
    QVERIFY(std::fabs(range - 10.0 * CPath::earthRadiusKm / (CLocator::wgsA / 1000.0)) < 0.01);
    QCOMPARE(Edit("Range")->text(), "10"); // as typed
}

void InputPageTest::formatSwitchShowsStoredLocations() {
    QVERIFY(StartForm());
    Click("RESET");
    CLocator tx = form->State().txLocation;
    CLocator rx = form->State().rxLocation;
    Edit("StartLoc")->setText("IO80AA"); // typed, never calculated
    Find<QRadioButton>("NGR")->setChecked(true);
    QCOMPARE(Edit("StartLoc")->text(), Q(tx.GetText(FormatNGR, 8)));
    QCOMPARE(Edit("EndLoc")->text(), Q(rx.GetText(FormatNGR, 8)));
    Find<QRadioButton>("DEG")->setChecked(true);
    QCOMPARE(Edit("StartLoc")->text(), Q(tx.GetText(FormatDegrees, 3)));
    Find<QRadioButton>("DMS")->setChecked(true);
    QCOMPARE(Edit("EndLoc")->text(), Q(rx.GetText(FormatDMS, 3)));
    // The re-expressed texts calculate the same link.
    const QString overall = Text("OverallLoss");
    Click("CalculateBtn");
    QCOMPARE(Text("OverallLoss"), overall);
    QVERIFY(std::fabs(form->State().txLocation.GetLatitude() - tx.GetLatitude()) < 1e-3);
}

void InputPageTest::flatEarthAndImperialChart() {
    QVERIFY(StartForm());
    Click("RESET");
    Find<QCheckBox>("FlatEarth")->setChecked(true); // recalculates
    const TerrainProfile& p = Engine().profile;
    const int n = p.count;
    const double m = std::max({p.height[0], p.height[n - 1], p.maxHeight});
    QCOMPARE(LeftAxis("Chart1")->max(), 1.5 * m);
    for (const QPointF& point : Series("Chart1", "Series2")->points())
        QCOMPARE(point.y(), 0.0);

    Find<QRadioButton>("Imperial")->setChecked(true);
    QCOMPARE(LeftAxis("Chart1")->max(), 4.9 * m);
    for (const QPointF& point : Series("Chart1", "Series2")->points())
        QCOMPARE(point.y(), 0.5);
    auto* table = Find<QListWidget>("Profile");
    QCOMPARE(table->item(0)->text(), "Range (m)  Height (ft)");
    QCOMPARE(table->item(n)->text(),
             Q(FormatFixed(p.distance[n - 1] / kmPerMile, 4, 2)) + QString(10, ' ') +
                 QString::number(static_cast<int>(p.height[n - 1] * 3.28084 + 0.5)));
    QCOMPARE(Series("Chart1", "Series8")->at(n - 1).x(), p.distance[n - 1] / kmPerMile);
    QCOMPARE(LeftAxis("Chart1")->titleText(), "Height (ft)");

    Find<QCheckBox>("FlatEarth")->setChecked(false);
    QCOMPARE(LeftAxis("Chart1")->max(), 4.9 * m + 4.9 * Engine().profile.midPathBulge);
}

void InputPageTest::resultsBlocks() {
    QVERIFY(StartForm());
    Click("RESET");
    dialogs->saveAnswer = QDir::current().filePath("results.dat");
    Click("SaveResults");
    Click("SaveResults");
    QCOMPARE(dialogs->saveCaptions.size(), 1);
    QCOMPARE(dialogs->saveProposals, QStringList{"results.dat"});
    const QStringList lines = ReadLines("results.dat");
    QCOMPARE(lines.size(), 60);
    // Each append says so, with the file's size as it now is.
    QCOMPARE(form->statusBar()->currentMessage(),
             QStringLiteral("Saved results.dat (%1 kB)")
                 .arg((QFileInfo("results.dat").size() + 512) / 1024));
    QCOMPARE(lines.mid(0, 30), lines.mid(30, 30));
    QCOMPARE(lines[0], "# PATH PROFILE RESULTS");
    QCOMPARE(lines[3], "Frequency: 10.368000; # Frequency in GHz");
    QCOMPARE(lines[4], "TX_Height: 10.0; # TX Height AMSL ");
    QCOMPARE(lines[6], "Percentage: 50.0000; # Time percentage of interest");
    QCOMPARE(lines[15], "LocatorFormat: Maidenhead");
    QCOMPARE(lines[16], "StartLocator: IO91GI44GM; ");
    QCOMPARE(
        lines[18],
        "Range: " + QString::number(Edit("Range")->text().toDouble(), 'f', 1).rightJustified(5) +
            "; ");
    QCOMPARE(lines[22], Text("StartHeight") + ";");
    QCOMPARE(lines[29], Text("OverallLoss") + ";");
}

void InputPageTest::resultsCancelledWritesNothing() {
    QVERIFY(StartForm());
    dialogs->saveAnswer.clear(); // the dialog is cancelled
    Click("SaveResults");
    QVERIFY(!QFile::exists("results.dat"));
    dialogs->saveAnswer = QDir::current().filePath("mine.dat");
    Click("SaveResults"); // asked again, since nothing was saved
    QCOMPARE(dialogs->saveCaptions.size(), 2);
    QCOMPARE(ReadLines("mine.dat").size(), 30);
}

void InputPageTest::resultsBeforeAnyCalculation() {
    form = std::make_unique<TMainForm>(); // never started: the layout's captions
    Find<QRadioButton>("Imperial")->setChecked(true);
    dialogs->saveAnswer = QDir::current().filePath("results.dat");
    Click("SaveResults");
    const QStringList lines = ReadLines("results.dat");
    QCOMPARE(lines.size(), 30);
    QCOMPARE(lines[7], "Metric: 0; # 1 = Metric, 0 = Imperial System");
    // The first-start format, as a fresh start without a settings file has.
    QCOMPARE(lines[15], "LocatorFormat: Maidenhead");
    QCOMPARE(lines.mid(22),
             (QStringList{"TX ASL;", "RX ASL;", "LOS Loss;", "Gas Loss;", "Diffraction Loss;",
                          "Troposcatter Loss;", "Ducting Loss;", "Overall Loss;"}));
}

void InputPageTest::readoutAtMidPath() {
    QVERIFY(StartForm());
    Click("RESET");
    auto* view = Find<QChartView>("Chart1");
    auto* terrain = view->chart()->findChild<QAreaSeries*>("Series1");
    QTest::qWait(50); // the chart lays its axes out in the event loop
    const double mid = Engine().pathLength / 2.0;
    const QPointF scene =
        view->chart()->mapToScene(view->chart()->mapToPosition(QPointF(mid, 50.0), terrain));
    Find<TInputPage>("InputData")->Chart1MouseMove(view->mapFromScene(scene));
    for (const char* name : {"ChartData", "ChartLocator", "CursorPos", "PointData"})
        QVERIFY2(Find<QLabel>(name)->isVisible(), name);

    static const QRegularExpression data("^Range (\\d+\\.\\d)km, Height (\\d+\\.\\d) m$");
    const auto match = data.match(Text("ChartData"));
    QVERIFY2(match.hasMatch(), qPrintable(Text("ChartData")));
    // One pixel and the rounding to one decimal.
    QVERIFY(std::fabs(match.captured(1).toDouble() - mid) <= 0.15);
    QVERIFY(std::fabs(match.captured(2).toDouble() - 50.0) <= 1.0);

    // The sample read is the first one to the right of the cursor.
    const QPointF pixel = view->mapToScene(view->mapFromScene(scene)); // whole pixels
    const QPointF value = view->chart()->mapToValue(view->chart()->mapFromScene(pixel), terrain);
    const TerrainProfile& p = Engine().profile;
    int i = 1;
    while (i < p.count - 1 && !(p.distance[i] > value.x()))
        ++i;
    QCOMPARE(Text("PointData"), "Terrain " + Q(FormatFixed(p.height[i], 6, 0)) +
                                    " m asl, 1st Fresnel zone " +
                                    Q(FormatFixed(p.fresnelRadius[i], 6, 1)) + " m");
    CLocator cursor =
        EndPointFromRangeBearing(form->State().txLocation, value.x(), form->State().pathBearing);
    QCOMPARE(Text("ChartLocator"), Q(cursor.GetText(FormatMaidenhead, 10)));
    QCOMPARE(Text("ChartLocator").size(), 10);

    Click("CalculateBtn");
    QVERIFY(!Find<QLabel>("ChartData")->isVisible());
    Find<TInputPage>("InputData")->Chart1MouseMove(view->mapFromScene(scene));
    Find<TInputPage>("InputData")->Chart1MouseLeave();
    QVERIFY(!Find<QLabel>("PointData")->isVisible());
}

void InputPageTest::chartCopy() {
    QVERIFY(StartForm());
    Click("RESET");
    QGuiApplication::clipboard()->clear();
    QWidget* chart = Find<QChartView>("Chart1")->viewport();
    QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
    // Said in the status bar, not in a box to be closed.
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(form->statusBar()->currentMessage(), "Chart copied to the clipboard");
    QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
}

void InputPageTest::enterInALocationCalculates() {
    QVERIFY(StartForm());
    Click("RESET");
    const QString range = Edit("Range")->text();
    Edit("EndLoc")->setText("IO91JI");
    QTest::keyClick(Edit("EndLoc"), Qt::Key_Return);
    QVERIFY(Edit("Range")->text() != range);
    CLocator rx = form->State().rxLocation;
    QCOMPARE(rx.GetText(FormatMaidenhead, 6), std::string("IO91JI"));
    const QString overall = Text("OverallLoss");
    Edit("StartLoc")->setText("IO91HI");
    QTest::keyClick(Edit("StartLoc"), Qt::Key_Enter);
    QVERIFY(Text("OverallLoss") != overall);
    CLocator tx = form->State().txLocation;
    QCOMPARE(tx.GetText(FormatMaidenhead, 6), std::string("IO91HI"));
}

void InputPageTest::chartKeepsItsPlace() {
    QVERIFY(StartForm());
    Click("RESET");
    QTest::qWait(20);
    auto* chart = Find<QChartView>("Chart1");
    const QRect place = chart->geometry();
    // The readout row appears under the chart, and goes.
    const QPoint middle = chart->rect().center();
    Find<TInputPage>("InputData")->Chart1MouseMove(middle);
    QVERIFY(Find<QLabel>("ChartData")->isVisible());
    QTest::qWait(20);
    QCOMPARE(chart->geometry(), place);
    Find<TInputPage>("InputData")->Chart1MouseLeave();
    QTest::qWait(20);
    QCOMPARE(chart->geometry(), place);
    // "Path too short" appears among the results, and goes.
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("CalculateBtn");
    QVERIFY(Find<QLabel>("InvalidPath")->isVisible());
    QTest::qWait(20);
    QCOMPARE(chart->geometry(), place);
    Click("RESET");
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
    QTest::qWait(20);
    QCOMPARE(chart->geometry(), place);
}

void InputPageTest::chartTicksAreRound() {
    QVERIFY(StartForm());
    Click("RESET");
    const auto roundInterval = [](double interval) {
        const double decade = std::pow(10.0, std::floor(std::log10(interval) + 1e-9));
        const double mantissa = interval / decade;
        return std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
               std::fabs(mantissa - 5) < 1e-9;
    };
    for (const bool imperial : {false, true}) {
        Find<QRadioButton>(imperial ? "Imperial" : "Metric")->setChecked(true);
        const auto axes = Find<QChartView>("Chart1")->chart()->axes();
        QCOMPARE(axes.size(), 2);
        for (QAbstractAxis* axis : axes) {
            auto* values = qobject_cast<QValueAxis*>(axis);
            QCOMPARE(values->tickType(), QValueAxis::TicksDynamic);
            QCOMPARE(values->tickAnchor(), 0.0);
            QVERIFY2(roundInterval(values->tickInterval()),
                     qPrintable(QString::number(values->tickInterval())));
            // Between four and eight intervals over the range.
            const double intervals = (values->max() - values->min()) / values->tickInterval();
            QVERIFY(intervals >= 3.0 && intervals <= 8.0);
            QCOMPARE(values->min(), 0.0); // the range itself is the profile's
        }
    }
}

// A link that runs off the tile at 1 W: the status bar says how much of the
// path has no terrain data, the chart names the share and hatches the
// stretch from the meridian to the far end. A link inside takes it back.
void InputPageTest::pathOffTheTerrainIsSaid() {
    QVERIFY(StartForm());
    Find<QRadioButton>("DEG")->setChecked(true);
    Edit("StartLoc")->setText("51.5 N 1.5 W");
    Edit("EndLoc")->setText("51.5 N 0.5 W");
    Click("CalculateBtn");
    const double share = Engine().profile.MissingFraction();
    QVERIFY2(share > 0.49 && share < 0.51, qPrintable(QString::number(share)));
    const QString text = Q(MissingTerrainText(share, "the path"));
    auto* status = Find<QLabel>("TerrainStatus");
    QVERIFY(status->isVisible());
    QCOMPARE(status->text(), "N" + text.mid(1));
    QVERIFY2(status->text().startsWith("No terrain data for 50 % of the path"),
             qPrintable(status->text()));
    QChart* chart = Find<QChartView>("Chart1")->chart();
    QVERIFY2(chart->title().contains("no data for 50 % of the path"), qPrintable(chart->title()));
    // One band from about half way (35 km) to the end, up to the axis top.
    const QList<QPointF> band = Series("Chart1", "NoTerrain")->points();
    QCOMPARE(band.size(), 4);
    QVERIFY2(std::fabs(band[0].x() - 34.6) < 0.5, qPrintable(QString::number(band[0].x())));
    QCOMPARE(band[3].x(), Series("Chart1", "Series1")->points().last().x());
    QCOMPARE(band[1].y(), LeftAxis("Chart1")->max());
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible()); // the losses are still given

    Edit("EndLoc")->setText("51.6 N 1.2 W");
    Click("CalculateBtn");
    QCOMPARE(Engine().profile.MissingFraction(), 0.0);
    QVERIFY(!status->isVisible());
    QCOMPARE(chart->title(), "Terrain");
    QCOMPARE(Series("Chart1", "NoTerrain")->count(), 0);
}

QTEST_MAIN(InputPageTest)
#include "InputPageTest.moc"
