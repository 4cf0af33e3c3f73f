// The window's start and its inputs under careless or hostile conditions:
// the demo tile, a chosen terrain directory kept at once, settings files
// with a bad line or of an absurd size, a fixed k-factor that must not
// outlive its calculation, and weather no air can have.
#include "WindowFixture.h"
#include "controls/NumEdit.h"

#include <QAction>
#include <QCheckBox>

#include <algorithm>
#include <cstdlib>

using namespace kestrova;
using kestrova::test::WindowFixture;

class StartupTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void settingsWithABadLineKeepEveryOtherValue();
    void settingsAboveOneMegabyteAreNotRead();
    void aChosenTerrainDirectoryIsKeptAtOnce();
    void aTerrainFileServesAsItsTileDoes();
    void aFixedKFactorDoesNotOutliveItsCalculation();
    void weatherNoAirCanHaveIsRefused();
    void mapStatusSaysWhatLoaded_data();
    void mapStatusSaysWhatLoaded();

private:
    // The tile directory as the settings file holds it.
    QString TileFolder() const { return tileDirectory + QStringLiteral("/"); }
    QByteArray Settings() {
        QFile file(QStringLiteral("profile.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

void StartupTest::settingsWithABadLineKeepEveryOtherValue() {
    QVERIFY(StartForm("[LinkData]\nFrequency = 2.4;\nthis line cannot be parsed\n"
                      "Percent = 1.5;\n[FilePaths]\nMapDirectory = " +
                      TileFolder().toUtf8() + "; \n"));
    QCOMPARE(Edit("FREQ")->text(), "2.4");
    QCOMPARE(Edit("Percent")->text(), "1.5");
    QVERIFY(dialogs->directoryCaptions.isEmpty()); // the directory was read too
    QVERIFY(Text("DataStatus").contains(TilesStatus()));
}

void StartupTest::settingsAboveOneMegabyteAreNotRead() {
    QByteArray settings = "[LinkData]\nFrequency = 2.4;\n";
    for (int i = 0; i < 200000; ++i)
        settings += "[s" + QByteArray::number(i) + "]\n";
    QVERIFY(StartForm(settings));
    QCOMPARE(Edit("FREQ")->text(), "10.368"); // the default
    QVERIFY(Text("DataStatus")
                .contains("Settings: profile.ini is above 1 MB and was not read, defaults in use"));
    // The demo tile, and the file left as it was.
    QVERIFY(Text("DataStatus").contains("Terrain: demo tile (51–52 N, 2–1 W)"));
    QCOMPARE(Settings(), settings);
}

// The directory chosen at start goes into profile.ini at once, through the
// safe writer; every other line of the file stays as it was.
void StartupTest::aChosenTerrainDirectoryIsKeptAtOnce() {
    const QByteArray before = "# my settings\n[LinkData]\nFrequency = 2.4; # kept\n"
                              "[FilePaths]\nMapDirectory = /nonexistent-kestrova/; \n";
    QVERIFY(StartForm(before));
    QCOMPARE(dialogs->directoryCaptions.size(), 1);
    QCOMPARE(Settings(), "# my settings\n[LinkData]\nFrequency = 2.4; # kept\n[FilePaths]\n"
                         "MapDirectory = " +
                             TileFolder().toUtf8() + "; \n");
    QVERIFY(Text("DataStatus").contains(TilesStatus()));

    // The chooser is one menu click away, and its answer kept likewise.
    QDir().mkdir(QStringLiteral("other"));
    QFile::copy(TileFolder() + QStringLiteral("n51w002.hgt"), QStringLiteral("other/n51w002.hgt"));
    dialogs->directoryAnswer = QDir::current().filePath(QStringLiteral("other"));
    form->findChild<QAction*>(QStringLiteral("TerrainDirectory1"))->trigger();
    QCOMPARE(dialogs->directoryCaptions.size(), 2);
    QVERIFY(Settings().contains("MapDirectory = " + dialogs->directoryAnswer.toUtf8() + "/; \n"));
    QVERIFY(Settings().contains("Frequency = 2.4; # kept\n"));
    QVERIFY(Text("DataStatus").contains("1 tile in"));
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
}

// A GeoTIFF copy of the tile chosen with "Terrain File...": kept, named in
// the status bar with its grid and area, and the link's figures unchanged.
void StartupTest::aTerrainFileServesAsItsTileDoes() {
    QVERIFY(StartForm());
    const QString overall = Text("OverallLoss");
    const QString copy = QDir::current().filePath(QStringLiteral("copy.tif"));
    const QString command = QStringLiteral("gdal_translate -q '%1' '%2'")
                                .arg(TileFolder() + QStringLiteral("n51w002.hgt"), copy);
    QCOMPARE(std::system(command.toUtf8().constData()), 0);
    dialogs->openAnswer = copy;
    form->findChild<QAction*>(QStringLiteral("TerrainFile1"))->trigger();
    QCOMPARE(dialogs->openCaptions.size(), 1);
    QVERIFY(Settings().contains("MapDirectory = " + copy.toUtf8() + "; \n"));
    QVERIFY2(
        Text("DataStatus")
            .contains("Terrain raster copy.tif: GTiff, EPSG:4326, 1201 x 1201 pixels of 3.00\""),
        qPrintable(Text("DataStatus")));
    QCOMPARE(Text("OverallLoss"), overall);
    QVERIFY(dialogs->messages.isEmpty());
}

// Without radio-climate maps, a calculation with "Fixed" k = 0.5 runs on
// ΔN = -157; once unticked the next one is back on the default 45 N/km.
void StartupTest::aFixedKFactorDoesNotOutliveItsCalculation() {
    QVERIFY(StartForm());
    const CTerrain& engine = *form->State().engine;
    Find<QCheckBox>("ForcedKFactor")->setChecked(true);
    Edit("K_FACT")->setText("0.5");
    Find<QPushButton>("CalculateBtn")->click();
    QCOMPARE(engine.deltaN, -157.0);
    QCOMPARE(Edit("K_FACT")->text(), "0.5");
    Find<QCheckBox>("ForcedKFactor")->setChecked(false);
    Find<QPushButton>("CalculateBtn")->click();
    QCOMPARE(engine.deltaN, 45.0);
    QCOMPARE(Edit("K_FACT")->text(), TNumEdit::FormatValue(157.0 / 112.0, 3, false));
    QVERIFY(dialogs->messages.isEmpty());
}

void StartupTest::weatherNoAirCanHaveIsRefused() {
    QVERIFY(StartForm());
    const QString overall = Text("OverallLoss");
    const QString gas = Text("GasLoss");
    Edit("PRESSURE")->setText("0.0001");
    Edit("FREQ")->setText("118.75");
    Find<QPushButton>("CalculateBtn")->click();
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages.first().contains("exceeds the total pressure 0.0001 hPa"));
    QVERIFY(overall != "Overall path loss: -");
    QCOMPARE(Text("OverallLoss"), "Overall path loss: -"); // no figures beside such weather
    QCOMPARE(Text("GasLoss"), gas);
}

namespace {

// A 1.5° map file of count numbers (a whole map holds 121 × 241), each
// value, in the layout of ITU-R's files: a row a line, blanks before each.
QByteArray MapText(double value, int count = 121 * 241) {
    QByteArray text;
    const QByteArray number = "   " + QByteArray::number(value);
    for (int i = 0; i < count; ++i)
        text += number + (i % 241 == 240 ? "\r\n" : "");
    return text;
}

} // namespace

// The status bar names the maps that loaded, those missing and those
// damaged (with why), and beside the result where N0 and ΔN came from.
void StartupTest::mapStatusSaysWhatLoaded_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("source");
    const QString defaults = QStringLiteral("N0/ΔN defaults 320 N-units and 45 N/km in use");
    const QString gradients = QStringLiteral(
        "DNDZ_90.TXT, DNDZ_50.TXT, DNDZ_10.TXT, DNDZ_01.TXT, S_OCCUR.TXT, E_OCCUR.TXT");
    QTest::newRow("all") << QStringList{"N050.TXT",    "DN50.TXT",    "DNDZ_90.TXT", "DNDZ_50.TXT",
                                        "DNDZ_10.TXT", "DNDZ_01.TXT", "S_OCCUR.TXT", "E_OCCUR.TXT"}
                         << "Radio-climate maps: loaded N050.TXT, DN50.TXT, " + gradients
                         << QStringLiteral("N0/ΔN from the maps");
    QTest::newRow("only N050") << QStringList{"N050.TXT"}
                               << "Radio-climate maps: loaded N050.TXT; missing DN50.TXT, " +
                                      gradients + "; " + defaults
                               << defaults + " (DN50.TXT: missing)";
    QTest::newRow("only DN50") << QStringList{"DN50.TXT"}
                               << "Radio-climate maps: loaded DN50.TXT; missing N050.TXT, " +
                                      gradients + "; " + defaults
                               << defaults + " (N050.TXT: missing)";
    QTest::newRow("truncated N050")
        << QStringList{"truncated N050.TXT", "DN50.TXT"}
        << "Radio-climate maps: loaded DN50.TXT; missing " + gradients +
               "; damaged N050.TXT (28,920 of 29,161 numbers); " + defaults
        << defaults + " (N050.TXT: 28,920 of 29,161 numbers)";
    QTest::newRow("none") << QStringList{}
                          << "Radio-climate maps: loaded none; missing N050.TXT, DN50.TXT, " +
                                 gradients + "; " + defaults
                          << defaults + " (N050.TXT: missing; DN50.TXT: missing)";
}

void StartupTest::mapStatusSaysWhatLoaded() {
    QFETCH(QStringList, files);
    QFETCH(QString, status);
    QFETCH(QString, source);
    for (const QString& name : files) {
        const bool truncated = name.startsWith(QStringLiteral("truncated "));
        const QString fileName = truncated ? name.mid(10) : name;
        const double value = fileName == QStringLiteral("N050.TXT") ? 330.0 : 40.0;
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(MapText(value, truncated ? 120 * 241 : 121 * 241));
    }
    QVERIFY(StartForm());
    const QStringList parts = Text("DataStatus").split(QStringLiteral("  |  "));
    const auto maps = std::find_if(parts.begin(), parts.end(), [](const QString& part) {
        return part.startsWith(QStringLiteral("Radio-climate maps"));
    });
    QVERIFY(maps != parts.end());
    QCOMPARE(*maps, status);
    Find<QPushButton>("CalculateBtn")->click();
    QCOMPARE(Text("N0Status"), source);
    QCOMPARE(form->State().engine->deltaN, source.contains("maps") ? 40.0 : 45.0);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
