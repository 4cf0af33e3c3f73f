// The land cover of the window: chosen with "Land Cover..." through the
// dialogs, it gives the P.452-18 profile chart a clutter band over the
// terrain, the very heights kestrova-cli lists, and is kept in profile.ini.
#include "CliRun.h"
#include "WindowFixture.h"
#include "controls/NumEdit.h"
#include "geo/NumberFormat.h"

#include <QAction>
#include <QComboBox>

#include <nlohmann/json.hpp>

#include <cstdlib>

using namespace kestrova;
using namespace kestrova::test;

class LandCoverTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QFAIL(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void chosenLandCoverDrawsTheCommandLinesClutter();
    void unreadableOrUnknownLandCoverIsNamed();

private:
    // Built-up (WorldCover 50) west of 1.4 W over the demo tile's cell.
    QString MakeLandCover() {
        const QString path = QDir::current().filePath("cover.tif");
        const QString command = "gdal_create -of GTiff -ot Byte -outsize 120 240 -a_srs "
                                "EPSG:4326 -a_ullr -2 52 -1.4 51 -burn 50 '" +
                                path + "' >/dev/null 2>&1";
        return std::system(command.toUtf8().constData()) == 0 ? path : QString();
    }
    void Trigger(const char* action) { Find<QAction>(action)->trigger(); }
    // Each sample's band height over the terrain, m.
    QList<double> Band() {
        const QList<QPointF> top = Series("Chart1", "Clutter")->points();
        const QList<QPointF> ground = Series("Chart1", "Series1")->points();
        QList<double> band;
        for (qsizetype i = 0; i < top.size() && i < ground.size(); ++i)
            band << top[i].y() - ground[i].y();
        return band;
    }
};

void LandCoverTest::chosenLandCoverDrawsTheCommandLinesClutter() {
    const QString cover = MakeLandCover();
    QVERIFY(!cover.isEmpty());
    QVERIFY(StartForm());
    Click("RESET");
    Find<QComboBox>("Edition")->setCurrentIndex(1);
    QVERIFY(Series("Chart1", "Clutter")->points().isEmpty()); // no land cover yet
    const QString bare = Text("OverallLoss");

    dialogs->openAnswer = cover; // and "No": WorldCover classes
    Trigger("LandCover1");
    QCOMPARE(dialogs->questions.size(), 1);
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(Text("OverallLoss") != bare);
    const QList<double> band = Band();
    QCOMPARE(band.size(), Engine().profile.count);
    QVERIFY(band.contains(15.0) && band.contains(0.0)); // the path leaves the built-up area

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
                                      Edit("FREQ")->text().toStdString(),
                                      "--percent",
                                      Edit("Percent")->text().toStdString(),
                                      "--tx-height",
                                      Edit("TX_H")->text().toStdString(),
                                      "--rx-height",
                                      Edit("RX_H")->text().toStdString(),
                                      "--edition",
                                      "18",
                                      "--land-cover",
                                      cover.toStdString(),
                                      "--profile-out",
                                      QDir::current().filePath("profile.csv").toStdString(),
                                      "--json"});
    QCOMPARE(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    QList<double> listed;
    for (const auto& height : json["clutterHeights"])
        listed << height.get<double>();
    QCOMPARE(band, listed);
    QCOMPARE(Text("OverallLoss"),
             "Overall path loss: " +
                 QString::fromStdString(FormatFixed(json["lb"].get<double>(), 3, 0)) + " dB");

    // Kept at once, and in use again at the next start.
    QVERIFY(ReadLines("profile.ini").contains("LandCover = " + cover + "; "));
    form.reset();
    QVERIFY(StartForm(ReadLines("profile.ini").join("\n").toUtf8()));
    QVERIFY(form->State().landCover);
    Click("RESET");
    Find<QComboBox>("Edition")->setCurrentIndex(1);
    QCOMPARE(Band(), listed);

    Trigger("NoLandCover1");
    QVERIFY(Series("Chart1", "Clutter")->points().isEmpty());
    QCOMPARE(Text("OverallLoss"), bare);
}

void LandCoverTest::unreadableOrUnknownLandCoverIsNamed() {
    QFile junk(QDir::current().filePath("junk.tif"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a raster");
    junk.close();
    QVERIFY(StartForm());
    Find<QComboBox>("Edition")->setCurrentIndex(1);
    dialogs->openAnswer = junk.fileName();
    Trigger("LandCover1");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY2(dialogs->messages.first().contains("junk.tif") &&
                 dialogs->messages.first().contains("not a raster GDAL can read"),
             qPrintable(dialogs->messages.first()));
    QVERIFY(!form->State().landCover);
    QVERIFY(Series("Chart1", "Clutter")->points().isEmpty());
    QVERIFY(!ReadLines("profile.ini").join("\n").contains("LandCover"));

    // CORINE codes read with the WorldCover table: named once, read as 0 m.
    const QString corine = QDir::current().filePath("clc.tif");
    QCOMPARE(std::system(("gdal_create -of GTiff -ot Int16 -outsize 10 10 -a_srs EPSG:4326 "
                          "-a_ullr -2 52 -1 51 -burn 112 '" +
                          corine + "' >/dev/null 2>&1")
                             .toUtf8()
                             .constData()),
             0);
    Click("RESET");
    Find<QComboBox>("Edition")->setCurrentIndex(1);
    const QString bare = Text("OverallLoss");
    dialogs->openAnswer = corine;
    Trigger("LandCover1");
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY2(dialogs->messages.last().contains("112 are not in the WorldCover table"),
             qPrintable(dialogs->messages.last()));
    QCOMPARE(Text("OverallLoss"), bare);
}

QTEST_MAIN(LandCoverTest)
#include "LandCoverTest.moc"
