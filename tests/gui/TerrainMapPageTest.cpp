// The "Terrain Map" page of the real window over the real terrain tile: the
// maps it shows are the pixels kestrova-cli terrain-map writes, contours
// follow their boxes, the palette buttons redraw, the hover readout, and a
// drawing on every visit.
#include "WindowFixture.h"

#include "CliRun.h"
#include "app/pages/MapView.h"
#include "app/pages/TerrainMapPage.h"
#include "controls/NumEdit.h"
#include "maps/MapArea.h"
#include "terrain/SRTM.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QScrollArea>

using namespace kestrova;
using namespace kestrova::test;

class TerrainMapPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void showingThePageDrawsWhatTheCommandLineWrites();
    void contoursFollowTheirBoxes();
    void paletteButtonsRedraw();
    void hoverShowsThePositionUnderTheMouse();
    void everyVisitDraws();
    void coincidentEndsDrawNothing();
    void heightUnderTheMouse();
    void mapsSavedAsPngAndSvg();

private:
    QImage Picture(const char* name) {
        return Find<TMapView>(name)->Picture().convertToFormat(QImage::Format_RGB32);
    }
    // kestrova-cli terrain-map for the window's current link and tiles.
    cli::CliRun CommandLine(const QStringList& extra) {
        cli::Words words{"terrain-map",
                         "--format",
                         std::to_string(form->LocatorFormat()),
                         "--tx",
                         Edit("StartLoc")->text().toStdString(),
                         "--rx",
                         Edit("EndLoc")->text().toStdString(),
                         "--tiles",
                         tileDirectory.toStdString() + "/"};
        for (const QString& word : extra)
            words.push_back(word.toStdString());
        return cli::Cli(words);
    }
    static int BlackPixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixel(x, y) == qRgb(0, 0, 0);
        return count;
    }
    TTerrainMapPage* Page() { return Find<TTerrainMapPage>("map"); }
};

void TerrainMapPageTest::showingThePageDrawsWhatTheCommandLineWrites() {
    QVERIFY(StartForm());
    Click("RESET"); // the default link, HSV palette, contours every 100 m on the local maps
    ShowPage("map");
    QVERIFY(dialogs->messages.isEmpty());
    const QImage link = Picture("LinkMap");
    QCOMPARE(link.size(), QSize(480, 480));

    QTemporaryDir out;
    const cli::CliRun run =
        CommandLine({"--palette", "0", "--contours", "100", "--local-contours", "--json", "--png",
                     out.filePath("link.png"), "--tx-png", out.filePath("tx.png"), "--rx-png",
                     out.filePath("rx.png")});
    QVERIFY2(run.status == 0, run.err.c_str());
    const auto load = [&](const char* name) {
        return QImage(out.filePath(name)).convertToFormat(QImage::Format_RGB32);
    };
    QCOMPARE(load("link.png"), link);
    QCOMPARE(load("tx.png"), Picture("TXLocal"));
    QCOMPARE(load("rx.png"), Picture("RXLocal"));

    // The frame, the height range and the texts beside the maps.
    const CLocator& tx = form->State().txLocation;
    const CLocator& rx = form->State().rxLocation;
    const MapFrame frame = LinkMapFrame(tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(),
                                        rx.GetLongitude(), 480, 480);
    QCOMPARE(Page()->LinkMapSouth(), frame.south);
    QCOMPARE(Page()->LinkMapSpan(), frame.span);
    QVERIFY(run.out.find("\"contourSegments\":0") != std::string::npos);
    QVERIFY(Text("MapH").startsWith("Map heights - maximum "));
    QVERIFY(Text("MapH").endsWith("m,  minimum 0m"));
    static const QRegularExpression area("^TX Area: \\d+\\.\\d X \\d+\\.\\d km  \\(max \\d+m,  min "
                                         "-?\\d+m\\)$");
    QVERIFY2(area.match(Text("TXArea")).hasMatch(), qPrintable(Text("TXArea")));
    QVERIFY(Text("RXArea").startsWith("RX Area: "));
    // The path's ends: a red and a blue disc.
    const MapPixel txPixel = PixelOf(frame, tx.GetLatitude(), tx.GetLongitude());
    const MapPixel rxPixel = PixelOf(frame, rx.GetLatitude(), rx.GetLongitude());
    QCOMPARE(link.pixel(txPixel.x, txPixel.y), qRgb(255, 0, 0));
    QCOMPARE(link.pixel(rxPixel.x, rxPixel.y), qRgb(0, 0, 255));
    QCOMPARE(Picture("TXLocal").pixel(120, 120), qRgb(255, 0, 0));
    QCOMPARE(Picture("RXLocal").pixel(120, 120), qRgb(0, 0, 255));

    // The page fits a 1280 x 720 screen without scrolling.
    form->resize(1280, 720);
    QTest::qWait(20);
    auto* scroll = Find<QScrollArea>("mapScroll");
    QVERIFY(Page()->minimumSizeHint().height() <= scroll->viewport()->height());
    QVERIFY(Page()->minimumSizeHint().width() <= scroll->viewport()->width());
}

void TerrainMapPageTest::contoursFollowTheirBoxes() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    // Local contours only (the default): none on the link map, some on the
    // local maps besides their discs' outlines.
    QCOMPARE(BlackPixels(Picture("LinkMap")), 0);
    const int discOutline = 32;
    const int local = BlackPixels(Picture("TXLocal")) + BlackPixels(Picture("RXLocal"));
    QVERIFY(local > 2 * discOutline);

    Find<QCheckBox>("LocalContours")->setChecked(false);
    QCOMPARE(BlackPixels(Picture("LinkMap")), 0); // read at the next drawing
    Click("RedrawMap");
    QVERIFY(BlackPixels(Picture("LinkMap")) > 100);

    // A finer spacing draws more; no contours at all without the first box.
    const int at100 = BlackPixels(Picture("LinkMap"));
    Edit("ContourSpacing")->setText("50");
    Click("RedrawMap");
    QVERIFY(BlackPixels(Picture("LinkMap")) > at100);
    Find<QCheckBox>("ShowContours")->setChecked(false);
    Click("RedrawMap");
    QCOMPARE(BlackPixels(Picture("LinkMap")), 0);
    QVERIFY(BlackPixels(Picture("TXLocal")) <= discOutline);

    // A spacing outside 10..1000 m says so, and draws without contours.
    Find<QCheckBox>("ShowContours")->setChecked(true);
    Edit("ContourSpacing")->setText("5");
    Click("RedrawMap");
    QCOMPARE(dialogs->messages, QStringList{"Value must be between 10 and 1000"});
    QCOMPARE(BlackPixels(Picture("LinkMap")), 0);
}

void TerrainMapPageTest::paletteButtonsRedraw() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    const QImage hsv = Picture("LinkMap");
    Find<QRadioButton>("JETSELECT")->click();
    QCOMPARE(form->State().palette->GetType(), 2);
    const QImage jet = Picture("LinkMap");
    QVERIFY(jet != hsv);
    QTemporaryDir out;
    const cli::CliRun run = CommandLine({"--palette", "2", "--contours", "100", "--local-contours",
                                         "--png", out.filePath("jet.png")});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(QImage(out.filePath("jet.png")).convertToFormat(QImage::Format_RGB32), jet);
    // The discrete palettes are in the same choice as the continuous ones.
    Find<QRadioButton>("SCHWARZWALDSELECT")->click();
    QVERIFY(!Find<QRadioButton>("JETSELECT")->isChecked());
    QCOMPARE(form->State().palette->GetType(), 5);
    QVERIFY(Picture("LinkMap") != jet);
}

void TerrainMapPageTest::hoverShowsThePositionUnderTheMouse() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    auto* location = Find<QLabel>("LocationOnMap");
    QVERIFY(!location->isVisible());
    // The top-left pixel is the north-west corner of the map's square.
    Page()->LinkMapMouseMove(QPoint(0, 0));
    CLocator cursor = form->State().cursorLocation;
    QCOMPARE(cursor.GetLatitude(), Page()->LinkMapSouth() + Page()->LinkMapSpan());
    QCOMPARE(cursor.GetLongitude(), Page()->LinkMapWest());
    QVERIFY(location->isVisible());
    QCOMPARE(location->text(), "Cursor Position " + Q(cursor.GetText(FormatMaidenhead, 10)));

    // A real mouse movement, in another format: the middle of the map.
    Find<QRadioButton>("DEG")->setChecked(true);
    QTest::mouseMove(Find<TMapView>("LinkMap"), QPoint(240, 240));
    QTRY_VERIFY(location->text().contains(" N "));
    cursor = form->State().cursorLocation;
    QVERIFY(std::fabs(cursor.GetLatitude() - (Page()->LinkMapSouth() + Page()->LinkMapSpan() / 2)) <
            1e-9);
    QCOMPARE(location->text(), "Cursor Position " + Q(cursor.GetText(FormatDegrees, 3)));
}

void TerrainMapPageTest::everyVisitDraws() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    const double span = Page()->LinkMapSpan();
    // Leave the page (which asks any long work to stop), change the link
    // and come back: the map is drawn for the new link.
    ShowPage("InputData");
    Edit("EndLoc")->setText("IO91JI");
    ShowPage("map");
    QVERIFY(Page()->LinkMapSpan() != span);
    CLocator rx = form->State().rxLocation;
    QCOMPARE(rx.GetText(FormatMaidenhead, 6), std::string("IO91JI"));
    const MapFrame frame = LinkMapFrame(form->State().txLocation.GetLatitude(),
                                        form->State().txLocation.GetLongitude(), rx.GetLatitude(),
                                        rx.GetLongitude(), 480, 480);
    QCOMPARE(Page()->LinkMapSpan(), frame.span);
    const MapPixel end = PixelOf(frame, rx.GetLatitude(), rx.GetLongitude());
    QCOMPARE(Picture("LinkMap").pixel(end.x, end.y), qRgb(0, 0, 255));
}

void TerrainMapPageTest::coincidentEndsDrawNothing() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    const QImage before = Picture("LinkMap");
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("RedrawMap");
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(Text("MapH"), "Map heights - maximum 0m,  minimum 0m");
    QCOMPARE(Page()->LinkMapSpan(), 0.0);
    QCOMPARE(Picture("LinkMap"), before); // no new map: the image keeps what it showed
}

// The terrain height under the mouse, from the tiles the map is drawn
// from: in metres, in feet in the imperial window; "no data" off the tiles.
void TerrainMapPageTest::heightUnderTheMouse() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    auto* height = Find<QLabel>("HeightOnMap");
    QVERIFY(!height->isVisible());
    Page()->LinkMapMouseMove(QPoint(240, 240));
    const CLocator cursor = form->State().cursorLocation;
    CSRTM store(CSRTM::kTilesPerStore, tileDirectory.toStdString() + "/");
    const int metres = store.GetHeight(cursor.GetLatitude(), cursor.GetLongitude(), false);
    QVERIFY(metres > 0 && metres < 1000);
    QVERIFY(height->isVisible());
    QCOMPARE(height->text(), QStringLiteral("Terrain height %1 m").arg(metres));
    Find<QRadioButton>("Imperial")->setChecked(true);
    Page()->LinkMapMouseMove(QPoint(240, 240));
    QCOMPARE(height->text(),
             QStringLiteral("Terrain height %1 ft").arg(std::lround(metres * 3.2808399)));
    // Each pixel its own height: two corners of a hilly map differ.
    Find<QRadioButton>("Metric")->setChecked(true);
    QStringList corners;
    for (const QPoint p : {QPoint(5, 5), QPoint(470, 470)}) {
        Page()->LinkMapMouseMove(p);
        const CLocator at = form->State().cursorLocation;
        QCOMPARE(height->text(),
                 QStringLiteral("Terrain height %1 m")
                     .arg(store.GetHeight(at.GetLatitude(), at.GetLongitude(), false)));
        corners << height->text();
    }
    QVERIFY(corners[0] != corners[1]);
}

// The link map and both local maps have Copy, Save as PNG and Save as SVG.
void TerrainMapPageTest::mapsSavedAsPngAndSvg() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map");
    for (const char* name : {"LinkMap", "TXLocal", "RXLocal"}) {
        auto* map = Find<TMapView>(name);
        QCOMPARE(map->contextMenuPolicy(), Qt::ActionsContextMenu);
        for (const char* action : {"CopyImage", "SavePng", "SaveSvg"})
            QVERIFY(map->actions().contains(map->findChild<QAction*>(action)));
    }
    dialogs->saveAnswer = QDir::current().filePath("link.png");
    Find<TMapView>("LinkMap")->findChild<QAction*>("SavePng")->trigger();
    QCOMPARE(QImage(dialogs->saveAnswer).convertToFormat(QImage::Format_RGB32), Picture("LinkMap"));
    dialogs->saveAnswer = QDir::current().filePath("tx.svg");
    Find<TMapView>("TXLocal")->findChild<QAction*>("SaveSvg")->trigger();
    QFile svg(dialogs->saveAnswer);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    QVERIFY(text.contains("<svg") && text.contains("<image"));
    QVERIFY(form->statusBar()->currentMessage().startsWith("Saved tx.svg ("));
    Find<TMapView>("RXLocal")->findChild<QAction*>("CopyImage")->trigger();
    QCOMPARE(form->statusBar()->currentMessage(), "Map copied to the clipboard");
    QVERIFY(dialogs->messages.isEmpty());
}

QTEST_MAIN(TerrainMapPageTest)
#include "TerrainMapPageTest.moc"
