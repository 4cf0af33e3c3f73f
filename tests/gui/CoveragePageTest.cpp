// The "Area Coverage" page of the real window over the real terrain tile:
// Plot Coverage fills the map and its scale on worker threads, in each
// display mode with the pixels kestrova-cli coverage writes; Abort,
// leaving the page and closing the window stop the walk at once; a second
// start is refused while a map is computed; the coverage file, KMZ and
// GeoTIFF go through the dialog seam and a failed save leaves the earlier
// file whole.
#include "WindowFixture.h"

#include "CliRun.h"
#include "app/pages/CoveragePage.h"
#include "app/pages/MapView.h"
#include "controls/NumEdit.h"
#include "coverage/CoverageImage.h"
#include "coverage/CoverageRaster.h"
#include "coverage/Kml.h"
#include "coverage/ZipReader.h"
#include "geo/Path.h"
#include "propagation/engine/MissingTerrain.h"

#include <QCheckBox>
#include <QClipboard>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollArea>

#include <gdal_priv.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <sys/resource.h>
#include <vector>

using namespace kestrova;
using namespace kestrova::test;

class CoveragePageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void defaultMapFillsTheMapAndTheScale();
    void eachDisplayModeDrawsWhatTheCommandLineWrites();
    void abortKeepsThePartialMapAndRefusesItsKmz();
    void leavingThePageOrClosingTheWindowStopsTheWalk();
    void aSecondStartDuringAMapStartsNothing();
    void areasTooSmallOrTooLarge();
    void coverageFileThroughTheDialog();
    void failedSaveLeavesTheEarlierFile();
    void kmzAndGeoTiffThroughTheDialog();
    void doubleClickCopiesTheMap();
    void displayModeRedrawsTheFinishedMap();
    void scaleHasIntermediateLabels();
    void settingsKeptAcrossRestarts();
    void mapSavedAsPngAndExportsSaySo();

private:
    TCoveragePage* Page() { return Find<TCoveragePage>("Coverage"); }
    TNumEdit* Field(const char* name) { return Find<TNumEdit>(name); }
    QImage Picture(const char* name) {
        return Find<TMapView>(name)->Picture().convertToFormat(QImage::Format_RGB32);
    }
    // The window with the default link on the coverage page; a map of
    // rangeKm at 30 arc-seconds.
    bool OpenPage(const char* rangeKm = "50") {
        if (!StartForm()) return false;
        Click("RESET");
        ShowPage("Coverage");
        Field("CoverageRange")->setText(rangeKm);
        return true;
    }
    // Plots and waits for the map.
    bool Plot() {
        Click("PlotCoverage");
        return QTest::qWaitFor([&] { return !Page()->Running(); }, 120000);
    }
    CoverageArea Area() {
        return *CoverageAreaAround(form->State().txLocation, Field("CoverageRange")->GetValue(),
                                   static_cast<int>(Field("CoverageResolution")->GetValue()));
    }
    static QImage BlankWithMarker() {
        QImage image = BlankCoverageImage();
        DrawTransmitterMarker(image);
        return image;
    }
    // kestrova-cli coverage for the window's link, weather, refractivity,
    // tiles and zone map.
    cli::CliRun CommandLine(const QStringList& extra) {
        const LinkState& state = form->State();
        cli::Words words{"coverage",
                         "--format",
                         std::to_string(form->LocatorFormat()),
                         "--tx",
                         Edit("StartLoc")->text().toStdString(),
                         "--range",
                         Edit("CoverageRange")->text().toStdString(),
                         "--resolution",
                         Edit("CoverageResolution")->text().toStdString(),
                         "--tiles",
                         tileDirectory.toStdString() + "/",
                         "--zones",
                         state.programDirectory + "zones01.dem",
                         "--n0",
                         QString::number(state.lastN0, 'g', 17).toStdString(),
                         "--delta-n",
                         QString::number(state.lastDeltaN, 'g', 17).toStdString(),
                         "--palette",
                         std::to_string(state.palette->GetType())};
        const std::pair<const char*, const char*> fields[] = {{"--freq", "FREQ"},
                                                              {"--percent", "Percent"},
                                                              {"--tx-height", "TX_H"},
                                                              {"--rx-height", "RX_H"},
                                                              {"--temperature", "TEMPERATURE"},
                                                              {"--pressure", "PRESSURE"},
                                                              {"--humidity", "RH"},
                                                              {"--max-fs", "MaxLoss"},
                                                              {"--min-fs", "MinLoss"},
                                                              {"--max-height", "MaxHeight"},
                                                              {"--min-height", "MinHeight"}};
        for (const auto& [option, field] : fields) {
            words.push_back(option);
            words.push_back(Edit(field)->text().toStdString());
        }
        for (const QString& word : extra)
            words.push_back(word.toStdString());
        return cli::Cli(words);
    }
};

void CoveragePageTest::defaultMapFillsTheMapAndTheScale() {
    QVERIFY(OpenPage());
    // Before any map: a black map, no scale, the link's data.
    QCOMPARE(Picture("CoverageMap"), BlankCoverageImage());
    QVERIFY(!Find<QLabel>("ScaleMax")->isVisible());
    QCOMPARE(Text("CoverageFrequency"), Edit("FREQ")->text());
    QCOMPARE(Text("CoverageTxHeight"), Edit("TX_H")->text());
    QCOMPARE(Text("CoverageMapCentre"), Q(CLocator(form->State().txLocation).GetText(FormatDMS)));

    QVERIFY(Plot());
    QVERIFY(dialogs->messages.isEmpty());
    const CoverageArea area = Area();
    QCOMPARE(Page()->North(), area.north);
    QCOMPARE(Page()->West(), area.west);
    QCOMPARE(Page()->East(), area.west + area.extent);
    QCOMPARE(Page()->South(), area.north - area.extent);
    // The highlighted terrain fills the map: hardly a black pixel is left.
    const QImage map = Picture("CoverageMap");
    QCOMPARE(map, Page()->Image());
    int black = 0;
    for (int y = 0; y < map.height(); ++y)
        for (int x = 0; x < map.width(); ++x)
            black += map.pixel(x, y) == qRgb(0, 0, 0);
    QVERIFY2(black < map.width() * map.height() / 20, qPrintable(QString::number(black)));
    QCOMPARE(map.pixel(250, 250), qRgb(255, 0, 0)); // the transmitter
    // Its scale: heights.
    QVERIFY(Find<QLabel>("ScaleMax")->isVisible());
    QCOMPARE(Text("ScaleMax"), "500 m");
    QCOMPARE(Text("ScaleMin"), "0 m");
    QVERIFY(Picture("ColourScale").pixel(16, 0) != qRgb(255, 255, 255));
    const auto* progress = Find<QProgressBar>("CoverageProgress");
    QCOMPARE(progress->value(), area.n * area.n);
    QVERIFY2(progress->text().startsWith(QString::number(area.n * area.n) + " cells in "),
             qPrintable(progress->text()));
    // The walk's last point and its gaseous loss.
    const CLocator& rx = form->State().rxLocation;
    QVERIFY(std::fabs(rx.GetLatitude() - (area.north - (area.n - 1) * area.step)) < 1e-9);
    QVERIFY(std::fabs(rx.GetLongitude() - (area.west + (area.n - 1) * area.step)) < 1e-9);
    QVERIFY(form->State().pathGasLoss > 0.0);
    // The area runs past the tile's eastern and southern edges: the page
    // says how much of it has no terrain, as the command line does.
    const auto run = CommandLine({"--csv", workDirectory->filePath("map.csv"), "--json"});
    QVERIFY2(run.status == 0, run.err.c_str());
    const double share = nlohmann::json::parse(run.out)["terrainMissing"].get<double>();
    QVERIFY(share > 0.1 && share < 0.9);
    QVERIFY(Find<QLabel>("CoverageTerrainNote")->isVisible());
    QVERIFY2(Text("CoverageTerrainNote")
                 .startsWith("No terrain data for " + Q(ShareText(share)) + " of the area"),
             qPrintable(Text("CoverageTerrainNote")));

    // The page fits a 1280 x 720 screen without scrolling.
    form->resize(1280, 720);
    QTest::qWait(20);
    auto* scroll = Find<QScrollArea>("CoverageScroll");
    QVERIFY(Page()->minimumSizeHint().height() <= scroll->viewport()->height());
    QVERIFY(Page()->minimumSizeHint().width() <= scroll->viewport()->width());
}

void CoveragePageTest::eachDisplayModeDrawsWhatTheCommandLineWrites() {
    QVERIFY(OpenPage("15"));
    Field("MaxLoss")->setText("95");
    Field("MinLoss")->setText("-15");
    Find<QRadioButton>("DEMSELECT")->click();
    struct Row {
        const char* button;
        const char* mode;
        bool contours;
        const char* scaleMax;
    };
    const Row rows[] = {
        {"CoverageTerrain", "terrain", false, "500 m"},
        {"Colourfull", "colour", true, "95.0 dBuV/m"},
        {"Monochrome", "mono", false, "95.0 dBuV/m"},
        {"CoverageTerrain", "terrain", true, "500 m"},
    };
    QImage previous;
    for (const Row& row : rows) {
        Find<QRadioButton>(row.button)->setChecked(true);
        Find<QCheckBox>("LossContours")->setChecked(row.contours);
        QVERIFY(Plot());
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(Text("ScaleMax"), row.scaleMax);
        const QImage map = Picture("CoverageMap");
        QVERIFY(map != previous);
        previous = map;

        QTemporaryDir out;
        QStringList options{"--mode",  row.mode,
                            "--image", out.filePath("map.png"),
                            "--scale", out.filePath("scale.png")};
        if (row.contours) options << "--contours";
        const cli::CliRun run = CommandLine(options);
        QVERIFY2(run.status == 0, run.err.c_str());
        QCOMPARE(QImage(out.filePath("map.png")).convertToFormat(QImage::Format_RGB32), map);
        QCOMPARE(QImage(out.filePath("scale.png")).convertToFormat(QImage::Format_RGB32),
                 Picture("ColourScale"));
    }
}

void CoveragePageTest::abortKeepsThePartialMapAndRefusesItsKmz() {
    QVERIFY(OpenPage("150"));
    Find<QCheckBox>("SaveCoverage")->setChecked(true);
    Find<QRadioButton>("Colourfull")->setChecked(true);
    Click("PlotCoverage");
    QVERIFY(Page()->Running());
    QVERIFY(!Find<QPushButton>("PlotCoverage")->isEnabled());
    QVERIFY(Find<QPushButton>("Abort")->isEnabled());
    QTest::qWait(300); // the preview shows the first columns
    Click("Abort");
    // Stopped before the click returns: the workers are joined.
    QVERIFY(!Page()->Running());
    QVERIFY(form->State().abortRequested);
    const auto* progress = Find<QProgressBar>("CoverageProgress");
    QVERIFY2(progress->text().startsWith("Aborted after "), qPrintable(progress->text()));
    QVERIFY2(progress->text().endsWith("the map is incomplete"), qPrintable(progress->text()));
    QVERIFY(progress->value() < progress->maximum());
    // No composition, no contours, no file; the partial preview stays on
    // screen beside the field-strength scale.
    QVERIFY(Picture("CoverageMap") != BlankWithMarker());
    QCOMPARE(Text("ScaleMax"), "100.0 dBuV/m");
    QCOMPARE(QColor(Picture("ColourScale").pixel(16, 0)), QColor(128, 0, 0));
    QVERIFY(dialogs->saveCaptions.isEmpty());
    QVERIFY(Find<QPushButton>("PlotCoverage")->isEnabled());

    // The incomplete map is not exported as a KMZ overlay...
    dialogs->saveAnswer = QDir::current().filePath("partial.kmz");
    Click("ExportKMZ");
    QVERIFY(!QFile::exists("partial.kmz"));
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY2(dialogs->messages.first().contains("incomplete"),
             qPrintable(dialogs->messages.first()));
    // ... and its GeoTIFF marks the cells never computed as no data.
    dialogs->saveAnswer = QDir::current().filePath("partial.tif");
    Click("ExportGeoTiff");
    QCOMPARE(dialogs->messages.size(), 1);
    GDALAllRegister();
    GDALDataset* tif = GDALDataset::FromHandle(
        GDALOpen(QDir::current().filePath("partial.tif").toUtf8().constData(), GA_ReadOnly));
    QVERIFY(tif != nullptr);
    GDALRasterBand* band = tif->GetRasterBand(1);
    int hasNoData = 0;
    const double noData = band->GetNoDataValue(&hasNoData);
    const int n = tif->GetRasterXSize();
    std::vector<float> lastRow(static_cast<std::size_t>(n));
    const CPLErr read =
        band->RasterIO(GF_Read, 0, n - 1, n, 1, lastRow.data(), n, 1, GDT_Float32, 0, 0, nullptr);
    GDALClose(GDALDataset::ToHandle(tif));
    QCOMPARE(read, CE_None);
    QVERIFY(hasNoData);
    // The last column is the one an early abort never reaches.
    QCOMPARE(double(lastRow.back()), noData);
}

void CoveragePageTest::leavingThePageOrClosingTheWindowStopsTheWalk() {
    QVERIFY(OpenPage("150"));
    Click("PlotCoverage");
    QVERIFY(Page()->Running());
    ShowPage("InputData");
    QVERIFY(!Page()->Running());
    ShowPage("Coverage");
    QCOMPARE(Picture("CoverageMap"), BlankWithMarker());

    // Closing the window during a map, and destroying it during another.
    Click("PlotCoverage");
    QVERIFY(Page()->Running());
    form->close();
    QVERIFY(!Page()->Running());
    QVERIFY(StartForm());
    ShowPage("Coverage");
    Field("CoverageRange")->setText("150");
    Click("PlotCoverage");
    QVERIFY(Page()->Running());
    form.reset(); // joins the workers
}

void CoveragePageTest::aSecondStartDuringAMapStartsNothing() {
    QVERIFY(OpenPage("60"));
    Click("PlotCoverage");
    QVERIFY(Page()->Running());
    // While the map is computed its grey preview has the grey bar beside
    // it, whatever the display mode.
    QCOMPARE(Text("ScaleMax"), "100.0 dBuV/m");
    QCOMPARE(Picture("ColourScale").pixel(16, 0), qRgb(255, 255, 255));
    const double north = Page()->North();
    // Neither the disabled button nor the handler itself starts a map of
    // the new range while the first one runs.
    Field("CoverageRange")->setText("20");
    Click("PlotCoverage");
    Page()->PlotCoverageClick();
    QCOMPARE(Page()->North(), north);
    QVERIFY(QTest::qWaitFor([&] { return !Page()->Running(); }, 120000));
    QCOMPARE(Page()->North(), north);
    QVERIFY(Picture("CoverageMap") != BlankWithMarker()); // the first map, whole
    // Once it is done, the button starts the next one.
    QVERIFY(Plot());
    QVERIFY(Page()->North() < north);
}

void CoveragePageTest::areasTooSmallOrTooLarge() {
    QVERIFY(OpenPage("15"));
    QVERIFY(Plot());
    const QImage map = Picture("CoverageMap");
    const double north = Page()->North();
    // Fewer than 5 x 5 cells: nothing happens, the last map stays.
    Field("CoverageRange")->setText("1");
    Field("CoverageResolution")->setText("3600");
    Click("PlotCoverage");
    QVERIFY(!Page()->Running());
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(Picture("CoverageMap"), map);
    QCOMPARE(Page()->North(), north);
    // More than ten million cells: asked first, with what it takes; No
    // starts nothing.
    Field("CoverageRange")->setText("100");
    Field("CoverageResolution")->setText("1");
    Click("PlotCoverage");
    QVERIFY(!Page()->Running());
    QCOMPARE(dialogs->questions.size(), 1);
    const QString question = dialogs->questions.first();
    const int n = Area().n;
    QVERIFY2(question.contains(
                 QStringLiteral("%1 x %1 = %2 cells").arg(n).arg(static_cast<long long>(n) * n)),
             qPrintable(question));
    QVERIFY(question.contains(" MB ") && question.contains(" cores"));
    QCOMPARE(Picture("CoverageMap"), map);
    // Too many cells a side for any memory: said so.
    Field("CoverageRange")->setText("1000");
    Click("PlotCoverage");
    QVERIFY(!Page()->Running());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages.first().contains("cells a side"));
    // An area past the pole: said so too.
    dialogs->messages.clear();
    Field("CoverageRange")->setText("3000");
    Click("PlotCoverage");
    QVERIFY(!Page()->Running());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY2(dialogs->messages.first().contains("beyond the North Pole"),
             qPrintable(dialogs->messages.first()));
    // A limit field out of range says so and starts nothing.
    dialogs->messages.clear();
    Field("CoverageRange")->setText("3001");
    Click("PlotCoverage");
    QCOMPARE(dialogs->messages, QStringList{"Value must be between 1 and 3000"});
    QVERIFY(!Page()->Running());
}

void CoveragePageTest::coverageFileThroughTheDialog() {
    QVERIFY(OpenPage("15"));
    Find<QCheckBox>("SaveCoverage")->setChecked(true);
    dialogs->saveAnswer = QDir::current().filePath("map.csv");
    QVERIFY(Plot());
    QCOMPARE(dialogs->saveProposals, QStringList{"coverage.csv"});
    const int n = Area().n;
    QStringList lines = ReadLines("map.csv");
    QCOMPARE(lines.size(), n + 1);
    QVERIFY(lines[0].startsWith("Top Left Location "));
    QVERIFY(lines[0].contains("Steps = " + QString::number(n) + ",Tx location = "));
    QCOMPARE(lines[1].count(','), n - 1);

    // Without the header; the name chosen before is proposed again.
    Find<QCheckBox>("IncHeader")->setChecked(false);
    QVERIFY(Plot());
    QCOMPARE(dialogs->saveProposals.last(), dialogs->saveAnswer);
    QCOMPARE(ReadLines("map.csv").size(), n);
    // Cancelled: nothing is written.
    QFile::remove("map.csv");
    dialogs->saveAnswer.clear();
    QVERIFY(Plot());
    QVERIFY(!QFile::exists("map.csv"));
    QVERIFY(dialogs->messages.isEmpty());
}

// The file grows past what the process may write (as on a full disk): the
// save says so, the earlier file stays as it was and no temporary remains;
// the map on screen is the map.
void CoveragePageTest::failedSaveLeavesTheEarlierFile() {
    QVERIFY(OpenPage("15"));
    QFile earlier("map.csv");
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier coverage file\n");
    earlier.close();
    Find<QCheckBox>("SaveCoverage")->setChecked(true);
    dialogs->saveAnswer = QDir::current().filePath("map.csv");

    rlimit limit{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
    const rlimit small{1000, limit.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool plotted = Plot();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(plotted);
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY2(dialogs->messages.first().startsWith("Could not save file! could not write \""),
             qPrintable(dialogs->messages.first()));
    QCOMPARE(ReadLines("map.csv"), QStringList{"an earlier coverage file"});
    QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden).filter("map.csv"),
             QStringList{"map.csv"});
    QCOMPARE(Picture("CoverageMap"), Page()->Image());
    QVERIFY(Page()->Image() != BlankWithMarker());
}

void CoveragePageTest::kmzAndGeoTiffThroughTheDialog() {
    QVERIFY(OpenPage("15"));
    // No grid yet to export as GeoTIFF.
    dialogs->saveAnswer = QDir::current().filePath("grid");
    Click("ExportGeoTiff");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->saveCaptions.isEmpty());
    dialogs->messages.clear();

    QVERIFY(Plot());
    // KMZ: the extension added, the document's box that of the map.
    dialogs->saveAnswer = QDir::current().filePath("overlay");
    Click("ExportKMZ");
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(dialogs->saveProposals.last(), "coverage.kmz");
    const auto entries = ReadZip(QDir::current().filePath("overlay.kmz").toStdString());
    QCOMPARE(entries.size(), std::size_t{3});
    const CLocator& tx = form->State().txLocation;
    const KmlOverlay overlay =
        CoverageOverlay(Area(), tx.GetLatitude(), tx.GetLongitude(), Field("TX_H")->GetValue());
    QCOMPARE(Q(entries[0].content), Q(KmlDocument(overlay)));
    const QString kml = Q(entries[0].content);
    QCOMPARE(QImage::fromData(QByteArray::fromStdString(entries[1].content)).size(),
             QSize(500, 500));
    QVERIFY(!QFile::exists("doc.kml") && !QFile::exists("KestrovaImage.jpg"));
    // An archive that cannot be written says so.
    dialogs->saveAnswer = QDir::current().filePath("missing/overlay.kmz");
    Click("ExportKMZ");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages.first().startsWith("Could not save file!"));
    dialogs->messages.clear();

    // GeoTIFF: one pixel a cell, the grid's values.
    dialogs->saveAnswer = QDir::current().filePath("grid");
    Click("ExportGeoTiff");
    QVERIFY(dialogs->messages.isEmpty());
    // The dialog starts in the folder last used (the KMZ's; not the one
    // that could not be written to).
    QCOMPARE(dialogs->saveProposals.last(), QDir::current().filePath("coverage.tif"));
    GDALAllRegister();
    GDALDataset* tif = GDALDataset::FromHandle(
        GDALOpen(QDir::current().filePath("grid.tif").toUtf8().constData(), GA_ReadOnly));
    QVERIFY(tif != nullptr);
    const int n = Area().n;
    const int width = tif->GetRasterXSize();
    const int height = tif->GetRasterYSize();
    double transform[6] = {};
    tif->GetGeoTransform(transform);
    GDALClose(GDALDataset::ToHandle(tif));
    QCOMPARE(width, n);
    QCOMPARE(height, n);
    QVERIFY(std::fabs(transform[3] - (Page()->North() + Area().step / 2)) < 1e-9);
    // The KMZ's box is the GeoTIFF's bounds, to the KML's six significant
    // digits.
    const auto box = [&kml](const char* edge) {
        const QString open = QStringLiteral("<%1>").arg(QLatin1String(edge));
        const qsizetype from = kml.indexOf(open) + open.size();
        return kml.mid(from, kml.indexOf(QStringLiteral("</"), from) - from).toDouble();
    };
    const auto same = [](double kmlValue, double tiffValue) {
        return std::fabs(kmlValue - tiffValue) <= 5e-6 * std::fabs(tiffValue);
    };
    QVERIFY(same(box("west"), transform[0]));
    QVERIFY(same(box("north"), transform[3]));
    QVERIFY(same(box("east"), transform[0] + n * transform[1]));
    QVERIFY(same(box("south"), transform[3] + n * transform[5]));
    // Cancelled: nothing happens.
    dialogs->saveAnswer.clear();
    Click("ExportKMZ");
    Click("ExportGeoTiff");
    QVERIFY(dialogs->messages.isEmpty());
}

void CoveragePageTest::doubleClickCopiesTheMap() {
    QVERIFY(OpenPage("15"));
    QGuiApplication::clipboard()->clear();
    // Before any map: the black map.
    QTest::mouseDClick(Find<TMapView>("CoverageMap"), Qt::LeftButton);
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(form->statusBar()->currentMessage(), "Map copied to the clipboard");
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             BlankCoverageImage());
    QVERIFY(Plot());
    QTest::mouseDClick(Find<TMapView>("CoverageMap"), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             Page()->Image());
}

// After a whole map, another display mode (or contours) redraws it at once
// from the grid kept, as kestrova-cli draws that mode; no new computation
// runs, and the KMZ takes what is shown.
void CoveragePageTest::displayModeRedrawsTheFinishedMap() {
    QVERIFY(OpenPage("15"));
    QVERIFY(Plot());
    const QString progress = Find<QProgressBar>("CoverageProgress")->text();
    struct Row {
        const char* button;
        const char* mode;
        bool contours;
        const char* scaleMax;
    };
    const Row rows[] = {
        {"Colourfull", "colour", false, "100.0 dBuV/m"},
        {"Colourfull", "colour", true, "100.0 dBuV/m"},
        {"Monochrome", "mono", true, "100.0 dBuV/m"},
        {"CoverageTerrain", "terrain", false, "500 m"},
    };
    for (const Row& row : rows) {
        Find<QRadioButton>(row.button)->setChecked(true);
        Find<QCheckBox>("LossContours")->setChecked(row.contours);
        QVERIFY(!Page()->Running());
        QCOMPARE(Text("ScaleMax"), row.scaleMax);
        QTemporaryDir out;
        QStringList options{"--mode", row.mode, "--image", out.filePath("map.png")};
        if (row.contours) options << "--contours";
        const cli::CliRun run = CommandLine(options);
        QVERIFY2(run.status == 0, run.err.c_str());
        const QImage expected =
            QImage(out.filePath("map.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(Picture("CoverageMap"), expected);
        QCOMPARE(Page()->Image().convertToFormat(QImage::Format_RGB32), expected);
    }
    // Still the one computation.
    QCOMPARE(Find<QProgressBar>("CoverageProgress")->text(), progress);
    QVERIFY(dialogs->messages.isEmpty());
}

// Between the scale's ends, values at the band edges: every second of the
// field strength's ten bands, every fourth of the terrain's sixteen, each
// level with its edge.
void CoveragePageTest::scaleHasIntermediateLabels() {
    QVERIFY(OpenPage("15"));
    Field("MaxLoss")->setText("90");
    Field("MinLoss")->setText("-10");
    Field("MaxHeight")->setText("400");
    Find<QRadioButton>("Colourfull")->setChecked(true);
    QVERIFY(Plot());
    QWidget* ticks = Find<QWidget>("ScaleTicks");
    const auto tickTexts = [&] {
        QStringList texts;
        for (const char* name : {"ScaleTick1", "ScaleTick2", "ScaleTick3", "ScaleTick4"})
            if (Find<QLabel>(name)->isVisible()) texts << Text(name);
        return texts;
    };
    QCOMPARE(tickTexts(),
             QStringList({"70.0 dBuV/m", "50.0 dBuV/m", "30.0 dBuV/m", "10.0 dBuV/m"}));
    const int height = Find<QWidget>("ColourScale")->height();
    QCOMPARE(ticks->height(), height);
    for (int k = 1; k <= 4; ++k) {
        const auto* tick = Find<QLabel>(qPrintable(QStringLiteral("ScaleTick%1").arg(k)));
        QVERIFY(std::abs(tick->geometry().center().y() - k * height / 5) <= 1);
    }
    Find<QRadioButton>("CoverageTerrain")->setChecked(true); // redrawn at once
    QCOMPARE(tickTexts(), QStringList({"300 m", "200 m", "100 m"}));
    QCOMPARE(Text("ScaleMax"), "400 m");
}

// Range, resolution, limits, display mode and options come back after a
// restart; a value outside its limits in the file gives way to the field's.
void CoveragePageTest::settingsKeptAcrossRestarts() {
    QVERIFY(OpenPage("25"));
    Field("CoverageResolution")->setText("15");
    Field("MaxLoss")->setText("80");
    Field("MinLoss")->setText("-5");
    Field("MaxHeight")->setText("900");
    Field("MinHeight")->setText("50");
    Find<QRadioButton>("Monochrome")->setChecked(true);
    Find<QCheckBox>("LossContours")->setChecked(true);
    Find<QCheckBox>("SaveCoverage")->setChecked(true);
    Find<QCheckBox>("IncHeader")->setChecked(false);
    form->close();
    form.reset();
    QVERIFY(StartFormWith({}));
    const std::pair<const char*, const char*> fields[] = {
        {"CoverageRange", "25"}, {"CoverageResolution", "15"}, {"MaxLoss", "80"},
        {"MinLoss", "-5"},       {"MaxHeight", "900"},         {"MinHeight", "50"}};
    for (const auto& [name, text] : fields)
        QCOMPARE(Edit(name)->text(), text);
    QVERIFY(Find<QRadioButton>("Monochrome")->isChecked());
    QVERIFY(Find<QCheckBox>("LossContours")->isChecked());
    QVERIFY(Find<QCheckBox>("SaveCoverage")->isChecked());
    QVERIFY(!Find<QCheckBox>("IncHeader")->isChecked());
    form.reset();

    QVERIFY(StartForm("[FilePaths]\nMapDirectory = " + tileDirectory.toUtf8() +
                      "/; \n[Coverage]\nRange = 99999; \nMode = 7; \nMaxFs = 80; \n"));
    QCOMPARE(Edit("CoverageRange")->text(), "50"); // the field's first-start value
    QVERIFY(Find<QRadioButton>("CoverageTerrain")->isChecked());
    QCOMPARE(Edit("MaxLoss")->text(), "80");
}

// The map saved as PNG from its menu; every save and export leaves a line
// in the status bar naming the file and its size.
void CoveragePageTest::mapSavedAsPngAndExportsSaySo() {
    QVERIFY(OpenPage("15"));
    QVERIFY(Plot());
    dialogs->saveAnswer = QDir::current().filePath("map.png");
    Find<TMapView>("CoverageMap")->findChild<QAction*>("SavePng")->trigger();
    QCOMPARE(dialogs->saveProposals.last(), "coverage-map.png");
    const QImage png(QDir::current().filePath("map.png"));
    QCOMPARE(png.convertToFormat(QImage::Format_RGB32), Picture("CoverageMap"));
    const auto said = [&](const QString& name) {
        const qint64 bytes = QFileInfo(QDir::current().filePath(name)).size();
        const QString size = bytes < 1024 ? QStringLiteral("%1 bytes").arg(bytes)
                                          : QStringLiteral("%1 kB").arg((bytes + 512) / 1024);
        return QStringLiteral("Saved %1 (%2)").arg(name, size);
    };
    QCOMPARE(form->statusBar()->currentMessage(), said("map.png"));
    const std::pair<const char*, const char*> exports[] = {{"ExportKMZ", "coverage.kmz"},
                                                           {"ExportGeoTiff", "coverage.tif"}};
    for (const auto& [button, name] : exports) {
        form->statusBar()->clearMessage();
        dialogs->saveAnswer = QDir::current().filePath(name);
        Click(button);
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(form->statusBar()->currentMessage(), said(name));
    }
    QVERIFY(dialogs->messages.isEmpty());
}

QTEST_MAIN(CoveragePageTest)
#include "CoveragePageTest.moc"
