// The window shell driven by its control names, offscreen, in a temporary
// working directory, over the real terrain tile n51w002.hgt: start-up, reset,
// the settings file, the pages found by name, the window size, help and About.
#include "WindowFixture.h"
#include "app/About.h"
#include "app/HelpBrowser.h"
#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/P676.h"
#include "propagation/Refractivity.h"
#include "propagation/engine/EngineInputs.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"
#include <QCheckBox>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <cmath>

using namespace kestrova;
using namespace kestrova::test;

class MainFormTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void calculateBeforeStartUpDoesNothing();
    void startUpAsksForTerrainAndCalculates();
    void calculateWithResetDefaults();
    void settingsRoundTrip();
    void settingsKeysAndValues_data();
    void settingsKeysAndValues();
    void settingsThatCannotBeSavedSaySo();
    void settingsOutOfLimitsGiveWayToDefaults_data();
    void settingsOutOfLimitsGiveWayToDefaults();
    void aTerrainFolderNamedWithCommentMarksIsSavedQuoted();
    void aDamagedTileIsNamedInTheStatusBar();
    void helpAndAbout();
    void pagesByNameAndCaption();
    void windowFitsALaptopScreen();
};

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
    QVERIFY(StartFirstTime());
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QCOMPARE(form->windowTitle(), "Radio path estimation using SRTM data");
    // Defaults of a missing settings file: those of kestrova-cli.
    QCOMPARE(Edit("FREQ")->text(), "10.368");
    QCOMPARE(Edit("Percent")->text(), "50");
    QCOMPARE(Edit("PRESSURE")->text(), "1000.0");
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
    QVERIFY(Find<QLabel>("DataStatus")->text().contains(TilesStatus()));

    // One naming a directory without tiles: the chooser is asked.
    cleanup();
    init();
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = /nonexistent-kestrova/; \n"));
    QCOMPARE(dialogs->directoryCaptions,
             QStringList{"Please select directory containing terrain data"});
    QVERIFY(Find<QLabel>("DataStatus")->text().contains(TilesStatus()));
}

void MainFormTest::calculateWithResetDefaults() {
    QVERIFY(StartForm());
    Click("RESET");
    // The reset keeps the terrain directory: no chooser.
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QCOMPARE(Edit("RH")->text(), "50");
    QVERIFY(Find<QRadioButton>("LOC")->isChecked());
    QCOMPARE(Edit("StartLoc")->text(), "IO91GI44GM");

    // The link between the places the fields show (the reset's ends, SU374616
    // and IO91IO44, as ten-character locators).
    CLocator tx(Edit("StartLoc")->text().toStdString(), FormatMaidenhead);
    CLocator rx(Edit("EndLoc")->text().toStdString(), FormatMaidenhead);
    CSRTM store(CSRTM::kTilesPerStore, tileDirectory.toStdString() + "/");
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
    const double rho = P676::WaterVapourDensity(50, 20, true);
    const double gas = P676::GaseousAttenuation(10.368, 1000, 20, rho) * range;
    QCOMPARE(Text("GasLoss"), "Gaseous Loss: " + Q(FormatFixed(gas, 6, 1)) + " dB");
    QCOMPARE(Find<QLabel>("RHO")->text(), Q(FormatFixed(rho, 3, 1)) + " g/m3");
    CZONES zones(form->State().programDirectory);
    const CRefractivity maps; // the radio-climate maps the window finds, if any
    const RefractivityChoice choice = ChooseRefractivity(
        &maps, tx, rx, false, true, form->State().lastN0, form->State().lastDeltaN, std::nullopt);
    QCOMPARE(form->State().terrainDirectory, tileDirectory.toStdString() + "/");
    CTerrain engine;
    // The window's inputs (its weather included), checked against the
    // first-start values.
    const LinkInputs inputs = form->CurrentLinkInputs();
    QCOMPARE(inputs.n0, choice.n0);
    QCOMPARE(inputs.deltaN, choice.deltaN);
    QCOMPARE(inputs.frequency, 10.368);
    QCOMPARE(inputs.timePercent, 50.0);
    QCOMPARE(inputs.htg, 10.0);
    QCOMPARE(inputs.hrg, 10.0);
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
    QCOMPARE(table->item(0)->text(), "Range (m)  Height (m)");
    QCOMPARE(table->item(1)->text(),
             QStringLiteral("0, %1").arg(static_cast<int>(engine.profile.height[0] + 0.5)));
    QCOMPARE(static_cast<int>(engine.profile.height[0] + 0.5), txGround + 10);
    for (const char* name : {"Series1", "Series2", "Series8", "Series9", "Series10"})
        QCOMPARE(Series("Chart1", name)->count(), n);
    QCOMPARE(Series("Chart1", "Series1")->at(0).y(),
             double(txGround) + engine.profile.earthBulge[0]);
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
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
    QCOMPARE(lines.size(), 35);
    // Each input's line: its key, its value, its description and unit.
    QCOMPARE(lines[5], "Frequency = 2.400000; # Frequency of the link, GHz");
    QCOMPARE(lines[9], "Metric = 0; # 1: metric units, 0: imperial");
    QCOMPARE(lines[13], "ForcedKFactor = 1; # 1: the k-factor is used as given, 0: from the "
                        "path's ΔN");
    QCOMPARE(lines[14], "K_Factor = 1.200000; # Effective Earth radius factor k; used as given "
                        "when fixed, else from the path's ΔN");
    QCOMPARE(lines[17], "LocatorFormat = 2; # 0 Maidenhead locator, 1 OSGB NGR, 2 decimal "
                        "degrees, 3 degrees minutes seconds");
    QCOMPARE(lines[21], "StartLocator = " + start + "; ");
    QCOMPARE(lines[25], "Edition = 14; # The edition of ITU-R P.452 followed: 14 or 18");
    QCOMPARE(lines[31], "MapDirectory = " + tileDirectory + "/; ");
    QCOMPARE(lines[34], "PaletteFormat = 4; # The palette selected");

    form.reset();
    dialogs->directoryCaptions.clear();
    QVERIFY(StartFormWith({})); // the file just saved
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
    QVERIFY(StartFormWith({}));
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
    QTest::newRow("hexadecimal real is no number: the default")
        << QByteArray("[LinkData]\nTemperature = 0x10;\n") << "TEMPERATURE"
        << "20.0";
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

// A value outside its field's limits, or no number at all, gives way to the
// default, with a note in the status bar naming the key; "Save input data"
// then writes the default back, not the value.
void MainFormTest::settingsOutOfLimitsGiveWayToDefaults_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("note");
    QTest::newRow("frequency 1e308")
        << QByteArray("[LinkData]\nFrequency = 1e308;\n") << "FREQ" << 10.368
        << "LinkData:Frequency = 1e308 is not between 0.025 and 300; the default 10.368 is used";
    QTest::newRow("humidity 1000") << QByteArray("[LinkData]\nRelativeHumidity = 1000;\n") << "RH"
                                   << 50.0 << "LinkData:RelativeHumidity = 1000 is not between";
    QTest::newRow("temperature -300")
        << QByteArray("[LinkData]\nTemperature = -300;\n") << "TEMPERATURE" << 20.0
        << "LinkData:Temperature = -300 is not between";
    QTest::newRow("--5") << QByteArray("[LinkData]\nPercent = --5;\n") << "Percent" << 50.0
                         << "LinkData:Percent = --5 is not a number; the default 50 is used";
    QTest::newRow(".") << QByteArray("[LinkData]\nPressure = .;\n") << "PRESSURE" << 1000.0
                       << "LinkData:Pressure = . is not a number";
    QTest::newRow("trailing text") << QByteArray("[LinkData]\nTX_Height = 12 m;\n") << "TX_H"
                                   << 10.0 << "LinkData:TX_Height = 12 m is not a number";
    QTest::newRow("in limits") << QByteArray("[LinkData]\nRX_Height = 12.5;\n") << "RX_H" << 12.5
                               << "";
}

void MainFormTest::settingsOutOfLimitsGiveWayToDefaults() {
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QString, note);
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = " + tileDirectory.toUtf8() + ";\n" + line));
    QCOMPARE(Find<TNumEdit>(field.toLatin1().constData())->GetValue(), value);
    const QString status = Text("DataStatus");
    if (note.isEmpty())
        QVERIFY2(!status.contains("Settings:"), qPrintable(status));
    else
        QVERIFY2(status.contains("Settings: profile.ini: " + note), qPrintable(status));
    Click("SaveInitButton");
    QVERIFY(!ReadLines("profile.ini").filter("1e308").size());
}

// A terrain folder named with ";" and "#" is saved in quotes by "Save input
// data" and read back whole at the next start, which then asks nothing.
void MainFormTest::aTerrainFolderNamedWithCommentMarksIsSavedQuoted() {
    const QString folder = QDir::current().filePath("maps;x#y");
    QVERIFY(QDir().mkdir(folder));
    for (const QString& tile : QDir(tileDirectory).entryList({"*.hgt"}, QDir::Files))
        QVERIFY(QFile::link(tileDirectory + "/" + tile, folder + "/" + tile));
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = \"" + folder.toUtf8() + "/\";\n"));
    QCOMPARE(form->State().mapDirectory, folder.toStdString() + "/");
    Click("SaveInitButton");
    QVERIFY2(ReadLines("profile.ini").contains("MapDirectory = \"" + folder + "/\"; "),
             qPrintable(ReadLines("profile.ini").join("\n")));
    form.reset();
    QVERIFY(StartFormWith({})); // on the file just saved
    QCOMPARE(form->State().mapDirectory, folder.toStdString() + "/");
    QVERIFY(dialogs->directoryCaptions.isEmpty());
}

// A tile cut short by an interrupted download is not read as flat sea in
// silence: the status bar names it after the calculation.
void MainFormTest::aDamagedTileIsNamedInTheStatusBar() {
    const QString folder = QDir::current().filePath("tiles");
    QVERIFY(QDir().mkdir(folder));
    QFile real(tileDirectory + "/n51w002.hgt");
    QVERIFY(real.open(QIODevice::ReadOnly));
    QFile cut(folder + "/n51w002.hgt");
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(real.read(1000000));
    cut.close();
    QVERIFY(StartForm("[FilePaths]\nMapDirectory = " + folder.toUtf8() + "/;\n"));
    QVERIFY2(Text("DataStatus")
                 .contains("Terrain tile " + folder + "/n51w002.hgt is 1000000 bytes long"),
             qPrintable(Text("DataStatus")));
    QVERIFY(Text("DataStatus").contains("read as missing terrain"));
}

void MainFormTest::settingsThatCannotBeSavedSaySo() {
    QVERIFY(StartFirstTime());
    QVERIFY(QDir().mkdir("profile.ini")); // a directory where the file should go
    Click("SaveInitButton");
    // The message says why, naming the file.
    QCOMPARE(dialogs->messages,
             QStringList{"Could not save file! could not write \"" +
                         QDir::current().filePath("profile.ini") + "\": not a regular file"});
    form->WriteSettings(QDir::current().filePath("missing/profile.ini"));
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY2(dialogs->messages.last().contains("missing\" does not exist"),
             qPrintable(dialogs->messages.last()));
    // The results file and the profile table likewise.
    dialogs->saveAnswer = QDir::current().filePath("missing/results.dat");
    Click("SaveResults");
    QMetaObject::invokeMethod(Find<QObject>("TabulatedData"), "ProfileDblClick");
    QCOMPARE(dialogs->messages.size(), 4);
    for (const QString& message : dialogs->messages)
        QVERIFY2(message.startsWith("Could not save file! could not write \""),
                 qPrintable(message));
}

void MainFormTest::helpAndAbout() {
    QVERIFY(StartForm());
    QTest::keyClick(form.get(), Qt::Key_F1);
    QVERIFY(form->HelpBrowser());
    QTRY_VERIFY(form->HelpBrowser()->isVisible());
    QCOMPARE(form->HelpBrowser()->CurrentTitle(), "Input Data"); // the current page's topic
    form->Help1Click();
    QCOMPARE(form->HelpBrowser()->CurrentTitle(), "Contents");
    form->About1Click();
    QVERIFY(form->About()->isVisible());
    QVERIFY(!form->About()->isModal());
    form->About()->findChild<QPushButton*>("Close")->click();
    QVERIFY(!form->About()->isVisible());
}

void MainFormTest::pagesByNameAndCaption() {
    form = std::make_unique<TMainForm>();
    auto* tabs = Find<QTabWidget>("PageControl1");
    const struct {
        const char* name;
        const char* caption;
    } pages[] = {{"InputData", "Input Data"},
                 {"TabulatedData", "Tabulated Data"},
                 {"TabSheet1", "Radio Refractivity Data"},
                 {"map", "Terrain Map"},
                 {"TabSheet2", "Zone Map"},
                 {"Mechanisms", "Mechanisms"},
                 {"Coverage", "Area Coverage"},
                 {"Evaluation", "Site Evaluation"},
                 {"SiteDatabase", "Site Database"}};
    QCOMPARE(tabs->count(), 9);
    for (const auto& page : pages) {
        form->ShowPage(Find<QWidget>(page.name));
        QCOMPARE(tabs->tabText(tabs->currentIndex()), page.caption);
        QVERIFY(tabs->currentWidget()->isAncestorOf(Find<QWidget>(page.name)));
    }
}

void MainFormTest::windowFitsALaptopScreen() {
    QVERIFY(StartForm());
    Click("RESET");
    // The window can be made as small as a 1280 x 720 screen; every page
    // then shows whole or scrolls.
    QVERIFY(form->minimumSizeHint().width() <= 1280);
    QVERIFY(form->minimumSizeHint().height() <= 720);
    form->resize(1280, 720);
    QTest::qWait(20);
    QCOMPARE(form->size(), QSize(1280, 720));
    auto* tabs = Find<QTabWidget>("PageControl1");
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        auto* scroll = qobject_cast<QScrollArea*>(tabs->currentWidget());
        QVERIFY(scroll);
        QVERIFY(scroll->geometry().bottom() < form->height());
        QVERIFY(scroll->geometry().right() < form->width());
    }
}

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
