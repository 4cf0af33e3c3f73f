// The "Zone Map" page of the real window: the zones of an inland link with
// its path, the pixels kestrova-cli zone-map writes, the key, and a link
// without an area.
#include "WindowFixture.h"

#include "CliRun.h"
#include "app/pages/MapView.h"
#include "maps/MapArea.h"

#include <QFrame>
#include <QRadioButton>

using namespace kestrova;
using namespace kestrova::test;

class ZoneMapPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void inlandLinkIsGreenWithItsPath();
    void keyToZones();
    void coincidentEndsKeepThePicture();

private:
    QImage Picture() {
        return Find<TMapView>("ZoneMap")->Picture().convertToFormat(QImage::Format_RGB32);
    }
    // A link north of Oxford, far from any coast, in decimal degrees.
    void InlandLink() {
        Find<QRadioButton>("DEG")->setChecked(true);
        Edit("StartLoc")->setText("51.75 N 1.38 W");
        Edit("EndLoc")->setText("51.85 N 1.22 W");
        Click("CalculateBtn");
    }
};

void ZoneMapPageTest::inlandLinkIsGreenWithItsPath() {
    QVERIFY(StartForm());
    if (!form->State().zoneMap->IsUsable()) QSKIP("zones01.dem is not beside the test");
    InlandLink();
    ShowPage("TabSheet2");
    const QImage map = Picture();
    QCOMPARE(map.size(), QSize(400, 400));
    const QRgb green = qRgb(0, 128, 0);
    for (const QPoint corner : {QPoint(2, 2), QPoint(397, 2), QPoint(2, 397), QPoint(397, 397)})
        QCOMPARE(map.pixel(corner), green);
    const CLocator& tx = form->State().txLocation;
    const CLocator& rx = form->State().rxLocation;
    const MapFrame frame = LinkMapFrame(tx.GetLatitude(), tx.GetLongitude(), rx.GetLatitude(),
                                        rx.GetLongitude(), 400, 400);
    const MapPixel txPixel = PixelOf(frame, tx.GetLatitude(), tx.GetLongitude());
    const MapPixel rxPixel = PixelOf(frame, rx.GetLatitude(), rx.GetLongitude());
    QCOMPARE(map.pixel(txPixel.x, txPixel.y), qRgb(255, 0, 0));
    QCOMPARE(map.pixel(rxPixel.x, rxPixel.y), qRgb(0, 0, 255));
    int white = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            white += map.pixel(x, y) == qRgb(255, 255, 255);
    QVERIFY(white > 150); // the line and the discs' outlines

    QTemporaryDir out;
    const cli::CliRun run =
        cli::Cli({"zone-map", "--format", "deg", "--tx", "51.75 N 1.38 W", "--rx", "51.85 N 1.22 W",
                  "--zones", form->State().zoneMap->GetFileName(), "--png",
                  out.filePath("zones.png").toStdString()});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(QImage(out.filePath("zones.png")).convertToFormat(QImage::Format_RGB32), map);
    QVERIFY(dialogs->messages.isEmpty());
}

void ZoneMapPageTest::keyToZones() {
    QVERIFY(StartForm());
    QCOMPARE(Text("Label30"), "Key to Zones");
    const struct {
        const char* shape;
        const char* label;
        const char* text;
        QColor colour;
    } keys[] = {{"Shape1", "Label25", "Sea", QColor(0, 0, 128)},
                {"Shape2", "Label28", "Coastal", QColor(0, 255, 255)},
                {"Shape3", "Label29", "Inland", QColor(0, 128, 0)}};
    for (const auto& key : keys) {
        QCOMPARE(Text(key.label), key.text);
        const QImage swatch = Find<QFrame>(key.shape)->grab().toImage();
        QCOMPARE(swatch.pixelColor(swatch.width() / 2, swatch.height() / 2), key.colour);
    }
}

void ZoneMapPageTest::coincidentEndsKeepThePicture() {
    QVERIFY(StartForm());
    InlandLink();
    ShowPage("TabSheet2");
    const QImage before = Picture();
    ShowPage("InputData");
    Edit("EndLoc")->setText(Edit("StartLoc")->text());
    Click("CalculateBtn");
    ShowPage("TabSheet2");
    QCOMPARE(Picture(), before);
    QVERIFY(dialogs->messages.isEmpty());
}

QTEST_MAIN(ZoneMapPageTest)
#include "ZoneMapPageTest.moc"
