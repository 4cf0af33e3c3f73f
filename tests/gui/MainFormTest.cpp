// The main window driven by its control names, offscreen, in a temporary
// working directory, over the real terrain tile n51w002.hgt.
#include "app/MainForm.h"
#include "RecordingDialogs.h"
#include "app/About.h"
#include "app/HelpBrowser.h"
#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/EngineInputs.h"
#include "propagation/engine/Terrain.h"
#include "terrain/SRTM.h"

#include <QAreaSeries>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace kestrova;
using kestrova::test::RecordingDialogs;

namespace {

QString DataDirectory() {
    return qEnvironmentVariable("KESTROVA_DATA",
                                QStringLiteral(KESTROVA_SOURCE_DIR "/../shared/data"));
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void calculateBeforeStartUpDoesNothing();
    void startUpAsksForTerrainAndCalculates();
    void calculateWithResetDefaults();
    void invalidLocationsKeepOldResults_data();
    void invalidLocationsKeepOldResults();
    void coincidentEndsArePathTooShort();
    void fieldOutOfLimitsStopsCalculate_data();
    void fieldOutOfLimitsStopsCalculate();
    void rangeAndBearingMode();
    void imperialRangeAndBearing();
    void formatSwitchShowsStoredLocations();
    void flatEarthAndImperialChart();
    void settingsRoundTrip();
    void settingsKeysAndValues_data();
    void settingsKeysAndValues();
    void settingsThatCannotBeSavedSaySo();
    void resultsBlocks();
    void resultsCancelledWritesNothing();
    void resultsBeforeAnyCalculation();
    void profileTable();
    void readoutAtMidPath();
    void refractivityPage();
    void helpAndAbout();

private:
    bool StartForm(const QByteArray& settings = {});
    template <typename T> T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QString Text(const char* name) { return Find<QLabel>(name)->text(); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    QLineSeries* Series(const char* name);
    QValueAxis* LeftAxis();
    const CTerrain& Engine() { return *form->State().engine; }

    QString tileDirectory;
    QString previousDirectory;
    std::unique_ptr<QTemporaryDir> workDirectory;
    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<TMainForm> form;
};

void MainFormTest::init() {
    tileDirectory = DataDirectory() + QStringLiteral("/srtm3");
    if (!QFile::exists(tileDirectory + QStringLiteral("/n51w002.hgt")))
        QSKIP(qPrintable(QStringLiteral("terrain tile n51w002.hgt not found in %1; set "
                                        "KESTROVA_DATA to the data directory")
                             .arg(tileDirectory)));
    previousDirectory = QDir::currentPath();
    workDirectory = std::make_unique<QTemporaryDir>();
    QVERIFY(workDirectory->isValid());
    QVERIFY(QDir::setCurrent(workDirectory->path()));
    dialogs = std::make_unique<RecordingDialogs>();
    dialogs->directoryAnswer = tileDirectory;
}

void MainFormTest::cleanup() {
    form.reset();
    dialogs.reset();
    if (!previousDirectory.isEmpty()) QDir::setCurrent(previousDirectory);
    workDirectory.reset();
}

bool MainFormTest::StartForm(const QByteArray& settings) {
    if (!settings.isEmpty()) {
        QFile file(QStringLiteral("profile.ini"));
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(settings);
    }
    form = std::make_unique<TMainForm>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) return false;
    return QTest::qWaitFor([&] { return form->State().initialised; }, 10000);
}

QLineSeries* MainFormTest::Series(const char* name) {
    QAbstractSeries* series =
        Find<QChartView>("Chart1")->chart()->findChild<QAbstractSeries*>(QString::fromLatin1(name));
    if (auto* area = qobject_cast<QAreaSeries*>(series)) return area->upperSeries();
    return qobject_cast<QLineSeries*>(series);
}

QValueAxis* MainFormTest::LeftAxis() {
    const auto axes = Find<QChartView>("Chart1")->chart()->axes(Qt::Vertical);
    return qobject_cast<QValueAxis*>(axes.first());
}

void MainFormTest::calculateBeforeStartUpDoesNothing() {
    form = std::make_unique<TMainForm>(); // never shown: no start-up
    form->CalculateBtnClick();
    QCOMPARE(Text("StartHeight"), "TX ASL");
    QCOMPARE(Text("OverallLoss"), "Overall Loss");
    QCOMPARE(Find<QListWidget>("Profile")->count(), 0);
    QVERIFY(dialogs->messages.isEmpty());
}

void MainFormTest::startUpAsksForTerrainAndCalculates() {
    // No settings file, no tiles in the working directory: the demo tile,
    // without a question.
    QVERIFY(StartForm());
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QCOMPARE(form->windowTitle(), "Radio path estimation using SRTM data");
    // Defaults of a missing settings file.
    QCOMPARE(Edit("FREQ")->text(), "1.42");
    QCOMPARE(Edit("Percent")->text(), "10");
    QCOMPARE(Edit("PRESSURE")->text(), "1013.0");
    QCOMPARE(Edit("RH")->text(), "50");
    QVERIFY(Find<QRadioButton>("LOC")->isChecked());
    // The first calculation has run: a profile shows at once.
    QVERIFY(Find<QListWidget>("Profile")->count() > 2);
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
    QVERIFY(Find<QLabel>("DataStatus")->text().contains("Terrain: demo tile (51–52 N, 2–1 W)"));

    // A settings file naming the tile directory: no question.
    cleanup();
    init();
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = " + tileDirectory.toUtf8() + "; \n"));
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QVERIFY(Find<QLabel>("DataStatus")->text().contains("4 tiles"));

    // One naming a directory without tiles: the chooser is asked.
    cleanup();
    init();
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = /nonexistent-kestrova/; \n"));
    QCOMPARE(dialogs->directoryCaptions,
             QStringList{"Please select directory containing terrain data"});
    QVERIFY(Find<QLabel>("DataStatus")->text().contains("4 tiles"));
}

void MainFormTest::calculateWithResetDefaults() {
    QVERIFY(StartForm());
    Click("RESET");
    // The reset points the terrain at the start directory, which holds no
    // tiles: the chooser is asked (the start itself used the demo tile).
    QCOMPARE(dialogs->directoryCaptions.size(), 1);
    QCOMPARE(Edit("RH")->text(), "40");
    QVERIFY(Find<QRadioButton>("LOC")->isChecked());
    QCOMPARE(Edit("StartLoc")->text(), "IO91GI44GM");

    CLocator tx(std::string("SU374616"), FormatNGR);
    CLocator rx(std::string("IO91IO44"), FormatMaidenhead);
    CSRTM store(9, tileDirectory.toStdString() + "/");
    const int txGround = store.GetHeight(tx.GetLatitude(), tx.GetLongitude(), false);
    const int rxGround = store.GetHeight(rx.GetLatitude(), rx.GetLongitude(), false);
    QVERIFY(txGround > 0 && rxGround > 0);
    QCOMPARE(Text("StartHeight"), QStringLiteral("TX ASL: %1 m").arg(txGround));
    QCOMPARE(Text("EndHeight"), QStringLiteral("RX ASL: %1 m").arg(rxGround));

    CPath path;
    path.SetPath(tx, rx);
    double range = 0, bearing = 0;
    path.GetRangeBearing(range, bearing);
    QCOMPARE(Edit("Range")->text(), Q(FormatFixed(range, 6, 1)));
    QCOMPARE(Edit("Bearing")->text(), Q(FormatFixed(bearing, 4, 1)));
    QCOMPARE(Find<QLabel>("RangeUnitLabel")->text(), "km");
    QVERIFY(Text("BackBearing").startsWith("(Back bearing "));

    // The same link through the engine directly.
    const double rho = P676::WaterVapourDensity(40, 20, true);
    const double gas = P676::GaseousAttenuation(10.368, 1000, 20, rho) * range;
    QCOMPARE(Text("GasLoss"), "Gaseous Loss: " + Q(FormatFixed(gas, 6, 1)) + " dB");
    QCOMPARE(Find<QLabel>("RHO")->text(), Q(FormatFixed(rho, 3, 1)) + " g/m3");
    CZONES zones(form->State().programDirectory);
    const CRefractivity maps; // the radio-climate maps the window finds, if any
    const RefractivityChoice choice =
        ChooseRefractivity(&maps, tx, rx, false, true, 320.0, 45.0, std::nullopt);
    CTerrain engine;
    LinkInputs inputs;
    inputs.n0 = choice.n0;
    inputs.deltaN = choice.deltaN;
    inputs.frequency = 10.368;
    inputs.timePercent = 50;
    inputs.htg = 10;
    inputs.hrg = 10;
    QVERIFY(engine.CalculateLink(store, zones, tx, rx, false, inputs));
    QCOMPARE(Text("OverallLoss"),
             "Overall path loss: " + Q(FormatFixed(engine.loss.lb + gas, 3, 0)) + " dB");
    QCOMPARE(Text("FSLoss"),
             "Line of sight loss: " + Q(FormatFixed(engine.loss.lb0p + gas, 3, 0)) + " dB");
    QCOMPARE(Text("DiffLoss"),
             "Diffraction path loss: " + Q(FormatFixed(engine.loss.lbd + gas, 3, 0)) + " dB");
    QCOMPARE(Text("TropoLoss"),
             "Troposcatter path loss: " + Q(FormatFixed(engine.loss.lbs + gas, 3, 0)) + " dB");
    QCOMPARE(Text("DuctLoss"),
             "Ducting path loss: " + Q(FormatFixed(engine.loss.lba + gas, 3, 0)) + " dB");
    QCOMPARE(Edit("K_FACT")->text(), TNumEdit::FormatValue(engine.kMedian, 3, false));
    QCOMPARE(Text("PLEN"), Q(FormatFixed(engine.pathLength, 4, 1)) + " km");

    // Table: the header and one line per sample; the first is the
    // transmitter's ground plus its antenna.
    const int n = engine.profile.count;
    auto* table = Find<QListWidget>("Profile");
    QCOMPARE(table->count(), n + 1);
    QCOMPARE(table->item(0)->text(), "meters");
    QCOMPARE(table->item(1)->text(),
             QStringLiteral("0, %1").arg(static_cast<int>(engine.profile.height[0] + 0.5)));
    QCOMPARE(static_cast<int>(engine.profile.height[0] + 0.5), txGround + 10);
    for (const char* name : {"Series1", "Series2", "Series8", "Series9", "Series10"})
        QCOMPARE(Series(name)->count(), n);
    QCOMPARE(Series("Series1")->at(0).y(), double(txGround) + engine.profile.earthBulge[0]);
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
}

void MainFormTest::invalidLocationsKeepOldResults_data() {
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

void MainFormTest::invalidLocationsKeepOldResults() {
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
    Click("CalculateBtn");
    QVERIFY(Text("StartHeight").startsWith(startHeight));
    QVERIFY(Text("EndHeight").startsWith(endHeight));
    QCOMPARE(Text("OverallLoss"), overall);
    QCOMPARE(Edit("Range")->text(), range);
    QCOMPARE(Find<QListWidget>("Profile")->count(), lines);
    QVERIFY(dialogs->messages.isEmpty());
}

void MainFormTest::coincidentEndsArePathTooShort() {
    QVERIFY(StartForm());
    Click("RESET");
    const QString overall = Text("OverallLoss");
    const int points = Series("Series1")->count();
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("CalculateBtn");
    QVERIFY(Find<QLabel>("InvalidPath")->isVisible());
    QCOMPARE(Find<QLabel>("InvalidPath")->text(), "Path too short");
    QCOMPARE(Text("OverallLoss"), overall);
    QCOMPARE(Series("Series1")->count(), points);
    // What comes before the engine call is updated.
    QCOMPARE(Text("GasLoss"), "Gaseous Loss: 0.0 dB");
    QCOMPARE(Edit("Range")->text(), "0.0");
    QCOMPARE(Text("EndHeight").replace("RX", "TX"), Text("StartHeight"));
    // A valid path hides the message again.
    Click("RESET");
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
}

void MainFormTest::fieldOutOfLimitsStopsCalculate_data() {
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

void MainFormTest::fieldOutOfLimitsStopsCalculate() {
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
    QCOMPARE(Text("OverallLoss"), overall);
    QCOMPARE(Text("GasLoss"), gas);
    // A computed k-factor beyond the field's limits does not count while it
    // is not fixed: only the inputs of the calculation do.
    Edit(field.toLatin1().constData())->setText("10");
    Edit("K_FACT")->setText("1000");
    Click("CalculateBtn");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(Text("OverallLoss") != overall);
}

void MainFormTest::rangeAndBearingMode() {
    QVERIFY(StartForm());
    Click("RESET");
    QWidget* panel = Find<QWidget>("Panel1");
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 3, panel->height() - 3));
    QVERIFY(!form->State().startEndInput);
    QVERIFY(Edit("EndLoc")->isReadOnly());
    QVERIFY(!Edit("Range")->isReadOnly());
    Edit("Range")->setText("100");
    Edit("Bearing")->setText("90");
    Click("CalculateBtn");
    // The end point is placed on the WGS84 sphere, the path measured on the
    // 6371 km one: each calculation shortens the range by about 0.11 %.
    QCOMPARE(Edit("Range")->text(), "99.9");
    QCOMPARE(Edit("EndLoc")->text().size(), 8); // a computed Maidenhead end: 8 characters
    Click("CalculateBtn");
    QCOMPARE(Edit("Range")->text(), "99.8");
    // Another format and back: the stored end shows 10 characters again.
    Find<QRadioButton>("NGR")->setChecked(true);
    Find<QRadioButton>("LOC")->setChecked(true);
    QCOMPARE(Edit("EndLoc")->text().size(), 10);

    // The site evaluation's panels switch to this mode as well.
    Find<QWidget>("Panel2")->setFocus();
    QTest::mouseClick(Find<QWidget>("Panel2"), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(form->State().startEndInput);
    QTest::mouseClick(Find<QWidget>("Panel6"), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(!form->State().startEndInput);
}

void MainFormTest::imperialRangeAndBearing() {
    QVERIFY(StartForm());
    Click("RESET");
    QTest::mouseClick(Find<QWidget>("Panel1"), Qt::LeftButton, {}, QPoint(2, 2));
    Find<QRadioButton>("Imperial")->setChecked(true); // recalculates
    Edit("Range")->setText("10");
    Edit("Bearing")->setText("90");
    Click("CalculateBtn");
    QCOMPARE(Edit("Range")->text(), "10.0");
    QCOMPARE(Find<QLabel>("RangeUnitLabel")->text(), "mls");
    CLocator tx = form->State().txLocation;
    double lat = 0, lon = 0;
    QVERIFY(tx.DestinationPoint(lat, lon, 16.093, 90.0));
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
    QVERIFY(std::fabs(range - 10.0 * 6371.0 / 6378.137) < 0.01);
    QCOMPARE(Edit("Range")->text(), "10.0");
}

void MainFormTest::formatSwitchShowsStoredLocations() {
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

void MainFormTest::flatEarthAndImperialChart() {
    QVERIFY(StartForm());
    Click("RESET");
    Find<QCheckBox>("FlatEarth")->setChecked(true); // recalculates
    const TerrainProfile& p = Engine().profile;
    const int n = p.count;
    const double m = std::max({p.height[0], p.height[n - 1], p.maxHeight});
    QCOMPARE(LeftAxis()->max(), 1.5 * m);
    for (const QPointF& point : Series("Series2")->points())
        QCOMPARE(point.y(), 0.0);

    Find<QRadioButton>("Imperial")->setChecked(true);
    QCOMPARE(LeftAxis()->max(), 4.9 * m);
    for (const QPointF& point : Series("Series2")->points())
        QCOMPARE(point.y(), 0.5);
    auto* table = Find<QListWidget>("Profile");
    QCOMPARE(table->item(0)->text(), "Range (m)  Height (ft)");
    QCOMPARE(table->item(n)->text(),
             Q(FormatFixed(p.distance[n - 1] / 1.6093, 4, 2)) + QString(10, ' ') +
                 QString::number(static_cast<int>(p.height[n - 1] * 3.28084 + 0.5)));
    QCOMPARE(Series("Series8")->at(n - 1).x(), p.distance[n - 1] / 1.6093);
    QCOMPARE(LeftAxis()->titleText(), "Height (ft)");

    Find<QCheckBox>("FlatEarth")->setChecked(false);
    QCOMPARE(LeftAxis()->max(), 4.9 * m + 4.9 * Engine().profile.midPathBulge);
}

void MainFormTest::settingsRoundTrip() {
    QVERIFY(StartForm());
    Click("RESET");
    Edit("FREQ")->setText("2.4");
    Edit("TX_H")->setText("25");
    Edit("Percent")->setText("0.01");
    Find<QCheckBox>("ForcedKFactor")->setChecked(true);
    Edit("K_FACT")->setText("1.2");
    Find<QRadioButton>("DEG")->setChecked(true);
    Find<QRadioButton>("Imperial")->setChecked(true);
    Find<QRadioButton>("NCARSELECT")->setChecked(true);
    const QString start = Edit("StartLoc")->text();
    const QString range = Edit("Range")->text();
    Click("SaveInitButton");
    QVERIFY(dialogs->messages.isEmpty());
    const QStringList lines = ReadLines("profile.ini");
    QCOMPARE(lines.size(), 29);
    QCOMPARE(lines[5], "Frequency = 2.400000; # Frequency in GHz");
    QCOMPARE(lines[9], "Metric = 0; # 1 = Metric, 0 = Imperial System");
    QCOMPARE(lines[17], "LocatorFormat = 2; # 0 = Maidenhead, 1 = OSGB NGR, 2 = Decimal "
                        "Degrees, 3  Deg Min Sec");
    QCOMPARE(lines[25], "MapDirectory = " + tileDirectory + "/; ");
    QCOMPARE(lines[28], "PaletteFormat = 4; # The palette selected");

    form.reset();
    dialogs->directoryCaptions.clear();
    QVERIFY(StartForm());
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QCOMPARE(Edit("FREQ")->text(), "2.4");
    QCOMPARE(Edit("TX_H")->text(), "25.0");
    QCOMPARE(Edit("Percent")->text(), "0.01");
    QVERIFY(Find<QCheckBox>("ForcedKFactor")->isChecked());
    QCOMPARE(Edit("K_FACT")->text(), "1.2");
    QVERIFY(Find<QRadioButton>("DEG")->isChecked());
    QVERIFY(Find<QRadioButton>("Imperial")->isChecked());
    QVERIFY(Find<QRadioButton>("NCARSELECT")->isChecked());
    QCOMPARE(form->State().palette->GetType(), 4);
    QCOMPARE(Edit("StartLoc")->text(), start);
    QCOMPARE(Edit("Range")->text(), range); // miles, as saved

    // Degrees, minutes and seconds texts (longer than 19 characters) come
    // back whole and valid.
    Find<QRadioButton>("DMS")->setChecked(true);
    const QString dmsStart = Edit("StartLoc")->text();
    QVERIFY(dmsStart.size() > 19);
    Click("SaveInitButton");
    form.reset();
    QVERIFY(StartForm());
    QCOMPARE(Edit("StartLoc")->text(), dmsStart);
    QVERIFY(form->State().txLocation.IsValid());
    QVERIFY(form->State().rxLocation.IsValid());
    QVERIFY(Text("StartHeight").startsWith("TX ASL: "));
}

void MainFormTest::settingsKeysAndValues_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("capitals") << QByteArray("[LINKDATA]\nFREQUENCY = 2.5;\n") << "FREQ"
                              << "2.5";
    QTest::newRow("small letters") << QByteArray("[linkdata]\ntx_height = 30;\n") << "TX_H"
                                   << "30.0";
    QTest::newRow("hexadecimal real is 0")
        << QByteArray("[LinkData]\nTemperature = 0x10;\n") << "TEMPERATURE"
        << "0.0";
    QTest::newRow("quoted value") << QByteArray("[LinkData]\nPressure = \"950\";\n") << "PRESSURE"
                                  << "950.0";
    QTest::newRow("comment after value") << QByteArray("[Locator]\nRange = 25; # km\n") << "Range"
                                         << "25";
}

void MainFormTest::settingsKeysAndValues() {
    QFETCH(QByteArray, settings);
    QFETCH(QString, field);
    QFETCH(QString, text);
    settings += "[FilePaths]\nMapDirectory = " + tileDirectory.toUtf8() + ";\n";
    settings += "[Misc]\nPaletteFormat = 0x4;\n[LinkData]\nForcedKFactor = 0x10;\n";
    QVERIFY(StartForm(settings));
    // Before the first calculation rewrites the range field.
    if (field != "Range") QCOMPARE(Edit(field.toLatin1().constData())->text(), text);
    QVERIFY(Find<QRadioButton>("NCARSELECT")->isChecked()); // integers: 0x4 is 4
    QCOMPARE(form->State().palette->GetType(), 4);
    QVERIFY(Find<QCheckBox>("ForcedKFactor")->isChecked());
}

void MainFormTest::settingsThatCannotBeSavedSaySo() {
    QVERIFY(StartForm());
    QVERIFY(QDir().mkdir("profile.ini")); // a directory where the file should go
    Click("SaveInitButton");
    QCOMPARE(dialogs->messages, QStringList{"Could not save file!"});
    form->WriteSettings(QDir::current().filePath("missing/profile.ini"));
    QCOMPARE(dialogs->messages.size(), 2);
    // The results file and the profile table likewise.
    dialogs->saveAnswer = QDir::current().filePath("missing/results.dat");
    Click("SaveResults");
    QMetaObject::invokeMethod(form.get(), "ProfileDblClick");
    QCOMPARE(dialogs->messages, QStringList(4, "Could not save file!"));
}

void MainFormTest::resultsBlocks() {
    QVERIFY(StartForm());
    Click("RESET");
    dialogs->saveAnswer = QDir::current().filePath("results.dat");
    Click("SaveResults");
    Click("SaveResults");
    QCOMPARE(dialogs->saveCaptions.size(), 1);
    QCOMPARE(dialogs->saveProposals, QStringList{"results.dat"});
    const QStringList lines = ReadLines("results.dat");
    QCOMPARE(lines.size(), 60);
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

void MainFormTest::resultsCancelledWritesNothing() {
    QVERIFY(StartForm());
    dialogs->saveAnswer.clear(); // the dialog is cancelled
    Click("SaveResults");
    QVERIFY(!QFile::exists("results.dat"));
    dialogs->saveAnswer = QDir::current().filePath("mine.dat");
    Click("SaveResults"); // asked again, since nothing was saved
    QCOMPARE(dialogs->saveCaptions.size(), 2);
    QCOMPARE(ReadLines("mine.dat").size(), 30);
}

void MainFormTest::resultsBeforeAnyCalculation() {
    form = std::make_unique<TMainForm>(); // never started: the layout's captions
    Find<QRadioButton>("Imperial")->setChecked(true);
    dialogs->saveAnswer = QDir::current().filePath("results.dat");
    Click("SaveResults");
    const QStringList lines = ReadLines("results.dat");
    QCOMPARE(lines.size(), 30);
    QCOMPARE(lines[7], "Metric: 0; # 1 = Metric, 0 = Imperial System");
    QCOMPARE(lines[15], "LocatorFormat: UK National Grid");
    QCOMPARE(lines.mid(22),
             (QStringList{"TX ASL;", "RX ASL;", "LOS Loss;", "Gas Loss;", "Diffraction Loss;",
                          "Troposcatter Loss;", "Ducting Loss;", "Overall Loss;"}));
}

void MainFormTest::profileTable() {
    QVERIFY(StartForm());
    Click("RESET");
    dialogs->saveAnswer = QDir::current().filePath("profile.dat");
    auto* table = Find<QListWidget>("Profile");
    QMetaObject::invokeMethod(form.get(), "ProfileDblClick");
    QFile file("profile.dat");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n\n"));
    QCOMPARE(bytes.count("\r\n"), table->count());
    QVERIFY(bytes.startsWith("meters\r\n0, "));
    QCOMPARE(dialogs->saveProposals, QStringList{"profile.dat"});

    // A double-click on the chart copies it.
    QGuiApplication::clipboard()->clear();
    QWidget* chart = Find<QChartView>("Chart1")->viewport();
    QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
    QCOMPARE(dialogs->messages, QStringList{"Chart copied to Clipboard"});
    QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
}

void MainFormTest::readoutAtMidPath() {
    QVERIFY(StartForm());
    Click("RESET");
    auto* view = Find<QChartView>("Chart1");
    auto* terrain = view->chart()->findChild<QAreaSeries*>("Series1");
    QTest::qWait(50); // the chart lays its axes out in the event loop
    const double mid = Engine().pathLength / 2.0;
    const QPointF scene =
        view->chart()->mapToScene(view->chart()->mapToPosition(QPointF(mid, 50.0), terrain));
    form->Chart1MouseMove(view->mapFromScene(scene));
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
                                    " m asl, 1st Frenel zone " +
                                    Q(FormatFixed(p.fresnelRadius[i], 6, 1)) + " m");
    CLocator cursor =
        EndPointFromRangeBearing(form->State().txLocation, value.x(), form->State().pathBearing);
    QCOMPARE(Text("ChartLocator"), Q(cursor.GetText(FormatMaidenhead, 10)));
    QCOMPARE(Text("ChartLocator").size(), 10);

    Click("CalculateBtn");
    QVERIFY(!Find<QLabel>("ChartData")->isVisible());
    form->Chart1MouseMove(view->mapFromScene(scene));
    form->Chart1MouseLeave();
    QVERIFY(!Find<QLabel>("PointData")->isVisible());
}

void MainFormTest::refractivityPage() {
    QVERIFY(StartForm());
    Click("RESET");
    Edit("Percent")->setText("0.0001");
    Find<QTabWidget>("PageControl1")->setCurrentIndex(2);
    QCOMPARE(Text("PTime"), "0.0001 %");
    // Path data of the calculation, always in kilometres.
    QVERIFY(Text("DCT").endsWith(" km"));
    QVERIFY(Text("SEAFRACTION").endsWith(" %"));
    // Each look-up gives a value or says it has none.
    for (const char* name :
         {"TXN_0", "TXDNDZ", "TXBETA0", "TXBETAE", "RXN_0", "RXDNDZ", "RXBETA0", "RXBETAE"}) {
        const QString text = Text(name);
        QVERIFY2(text == "No data" || text.contains(QRegularExpression("^-?\\d+\\.\\d ")),
                 qPrintable(text));
    }
    QVERIFY(Text("Kfact") == "Defaulting to 1.333" ||
            Text("Kfact").contains(QRegularExpression("^\\d+\\.\\d$")));
}

void MainFormTest::helpAndAbout() {
    QVERIFY(StartForm());
    QTest::keyClick(form.get(), Qt::Key_F1);
    QVERIFY(form->HelpBrowser());
    QTRY_VERIFY(form->HelpBrowser()->isVisible());
    QCOMPARE(form->HelpBrowser()->CurrentTitle(), "Introduction");
    form->Help1Click();
    QCOMPARE(form->HelpBrowser()->CurrentTitle(), "Contents");
    form->About1Click();
    QVERIFY(form->About()->isVisible());
    QVERIFY(!form->About()->isModal());
    form->About()->findChild<QPushButton*>("Close")->click();
    QVERIFY(!form->About()->isVisible());
}

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
