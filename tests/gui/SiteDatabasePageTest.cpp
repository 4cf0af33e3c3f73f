// The "Site Database" page of the real window over the real terrain tile: a
// small site file loaded through the dialog seam, its list and count, the
// seven summary lines of a site, and each site copied to either end of the
// link in every location format, with the antenna height and frequency set
// only within their fields' limits and a new calculation run.
#include "WindowFixture.h"

#include "app/pages/SiteDatabasePage.h"
#include "geo/Locator.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "terrain/SRTM.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

using namespace kestrova;
using namespace kestrova::test;

namespace {

// Sites on the tile n51w002 and two lines that are not sites.
const char* const siteFile = "# Sites around Newbury\n"             // 1: skipped
                             "Walbury Hill~SU374616~15m~1.297GHz\n" // 0
                             "Lambourn mast~51.52 N 1.55 W~30f~\n"  // 1: 9.144 m, no frequency
                             "Tower~SU4070~10~0.433GHz\n"           // 2: height without unit
                             "Short~IO91~10m\n"                     // 5: skipped
                             "High mast~SU4575~1500m~400GHz\n"      // 3: beyond RX_H and FREQ
                             "Hannington~SU5355~45m~0.145GHz\n";    // 4

} // namespace

class SiteDatabasePageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void loadListsTheSitesAndCountsSkippedLines();
    void fileThatCannotBeReadSaysWhy();
    void cancelKeepsTheDatabase();
    void summaryOfASite();
    void copyToTxInEachFormat_data();
    void copyToTxInEachFormat();
    void copyToRxSelectsLocationEntry();
    void valuesOutsideTheFieldsAreNotCopied();
    void nothingSelectedCopiesNothing();
    void siteOutsideTheFormatSwitchesToDegrees_data();
    void siteOutsideTheFormatSwitchesToDegrees();
    void frequencyChangeIsNoted();

private:
    QTreeWidget* List() { return Find<QTreeWidget>("SiteList"); }
    // The window reset, the fixture file loaded on the site database page.
    bool OpenWithSites() {
        if (!StartForm()) return false;
        Click("RESET");
        QFile file(QStringLiteral("sites.dat"));
        if (!file.open(QIODevice::WriteOnly) || file.write(siteFile) < 0) return false;
        file.close();
        ShowPage("SiteDatabase");
        dialogs->openAnswer = QDir::current().absoluteFilePath(QStringLiteral("sites.dat"));
        Click("LoadSitesButton");
        return List()->topLevelItemCount() == 5;
    }
    // A click on the site's row.
    void Select(int index) {
        const QRect row = List()->visualItemRect(List()->topLevelItem(index));
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row.center());
    }
    const CSite& Site(int index) {
        return Find<TSiteDatabasePage>("SiteDatabase")->Sites()->GetSite(index);
    }
    static double RangeKm(const LinkState& state) {
        CPath path;
        path.SetPath(state.txLocation, state.rxLocation);
        double range = 0.0;
        double bearing = 0.0;
        path.GetRangeBearing(range, bearing);
        return range;
    }
    // An 8-character locator names a square of 0.5' x 0.25' by its centre,
    // up to 0.0042 degrees from the site.
    static constexpr double maidenhead8 = 0.005;
    // txLocation or rxLocation lies where the site is, within tolerance
    // degrees.
    static bool Near(const CLocator& location, const CSite& site, double tolerance) {
        return Near(location, CLocator(site.GetLatitude(), site.GetLongitude()), tolerance);
    }
    static bool Near(const CLocator& location, const CLocator& place, double tolerance) {
        return location.IsValid() &&
               std::fabs(location.GetLatitude() - place.GetLatitude()) < tolerance &&
               std::fabs(location.GetLongitude() - place.GetLongitude()) < tolerance;
    }
};

void SiteDatabasePageTest::loadListsTheSitesAndCountsSkippedLines() {
    QVERIFY(StartForm());
    ShowPage("SiteDatabase");
    QCOMPARE(Text("NumSitesLabel"), "0 Sites");
    QVERIFY(OpenWithSites());
    QCOMPARE(dialogs->openCaptions.last(), "Please select site database file");
    QCOMPARE(dialogs->openFilters.last(), "Site list (*.dat)");
    QCOMPARE(dialogs->openStarts.last(), Q(form->State().startDirectory));
    QVERIFY(dialogs->messages.isEmpty());

    // The list is silent about the skipped lines; the count names them.
    QCOMPARE(Text("NumSitesLabel"), "5 Sites (2 lines skipped)");
    const QString why = Find<QLabel>("NumSitesLabel")->toolTip();
    QVERIFY2(why.contains("Line 1: ") && why.contains("Line 5: ") && !why.contains("Line 2"),
             qPrintable(why));
    QCOMPARE(List()->columnCount(), 4);
    QCOMPARE(List()->headerItem()->text(3), "Frequency");
    const QStringList rows[] = {{"Walbury Hill", "IO91GI", "15 m", "1.297 GHz"},
                                {"Lambourn mast", "IO91FM", "9 m", ""},
                                {"Tower", "IO91GK", "", "0.433 GHz"},
                                {"High mast", "IO91HL", "1500 m", "400.000 GHz"},
                                {"Hannington", "IO91JH", "45 m", "0.145 GHz"}};
    for (int i = 0; i < 5; ++i)
        for (int c = 0; c < 4; ++c)
            QCOMPARE(List()->topLevelItem(i)->text(c), rows[i][c]);

    // Another file replaces the list.
    QFile other(QStringLiteral("other.dat"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("One~SU374616~10m~\r\n");
    other.close();
    dialogs->openAnswer = QStringLiteral("other.dat");
    Click("LoadSitesButton");
    // The dialog starts in the folder the last file came from.
    QCOMPARE(dialogs->openStarts.last(), QDir::current().absolutePath() + "/");
    QCOMPARE(List()->topLevelItemCount(), 1);
    QCOMPARE(Text("NumSitesLabel"), "1 Sites");
    QVERIFY(Find<QLabel>("NumSitesLabel")->toolTip().isEmpty());
}

void SiteDatabasePageTest::fileThatCannotBeReadSaysWhy() {
    QVERIFY(OpenWithSites());
    Select(0);
    const struct {
        const char* name;
        const char* reason;
    } rows[] = {{"missing.dat", "does not exist"}, {".", "is not a regular file"}};
    for (const auto& row : rows) {
        dialogs->messages.clear();
        dialogs->openAnswer = QString::fromLatin1(row.name);
        Click("LoadSitesButton");
        QCOMPARE(Text("NumSitesLabel"), "0 Sites");
        QCOMPARE(List()->topLevelItemCount(), 0);
        QVERIFY(Find<QPlainTextEdit>("SiteInfo")->toPlainText().isEmpty());
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY2(dialogs->messages[0].contains(row.reason), qPrintable(dialogs->messages[0]));
    }
    // A file without a single site is no error: it lists nothing.
    QFile empty(QStringLiteral("empty.dat"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.write("Name~Locator~Height~Frequency\n");
    empty.close();
    dialogs->messages.clear();
    dialogs->openAnswer = QStringLiteral("empty.dat");
    Click("LoadSitesButton");
    QCOMPARE(Text("NumSitesLabel"), "0 Sites (1 line skipped)");
    QVERIFY(dialogs->messages.isEmpty());
    // Copying with nothing loaded does nothing.
    const QString start = Edit("StartLoc")->text();
    Click("CopyTx");
    QCOMPARE(Edit("StartLoc")->text(), start);
}

void SiteDatabasePageTest::cancelKeepsTheDatabase() {
    QVERIFY(OpenWithSites());
    Select(1);
    const QString info = Find<QPlainTextEdit>("SiteInfo")->toPlainText();
    dialogs->openAnswer.clear();
    Click("LoadSitesButton");
    QCOMPARE(List()->topLevelItemCount(), 5);
    QCOMPARE(Text("NumSitesLabel"), "5 Sites (2 lines skipped)");
    QCOMPARE(Find<QPlainTextEdit>("SiteInfo")->toPlainText(), info);
    QVERIFY(dialogs->messages.isEmpty());
}

void SiteDatabasePageTest::summaryOfASite() {
    QVERIFY(OpenWithSites());
    QVERIFY(Find<QPlainTextEdit>("SiteInfo")->isReadOnly());
    // The terrain height under the site from a store of its own, without
    // interpolation.
    CSRTM store(CSRTM::kTilesPerStore, tileDirectory.toStdString() + "/");
    const int walbury = store.GetHeight(Site(0).GetLatitude(), Site(0).GetLongitude(), false);
    QVERIFY(walbury > 200); // Walbury Hill, 297 m
    Select(0);
    QCOMPARE(Find<QPlainTextEdit>("SiteInfo")->toPlainText().split(u'\n'),
             QStringList({"Walbury Hill", QStringLiteral("Height    %1 m").arg(walbury),
                          "Mast Height 15 m", "Frequency   1.297 GHz", "NGR       SU374616",
                          "Locator   IO91GI44", "Lat/Long 51 21 8.1 N   1 27 51.6 W"}));
    // A site without a mast height or frequency says so.
    Select(2);
    const QStringList tower = Find<QPlainTextEdit>("SiteInfo")->toPlainText().split(u'\n');
    QCOMPARE(tower.size(), 7);
    QCOMPARE(tower[0], "Tower");
    QCOMPARE(tower[2], "No mast height data");
    QCOMPARE(tower[3], "Frequency   0.433 GHz");
    Select(1);
    QCOMPARE(Find<QPlainTextEdit>("SiteInfo")->toPlainText().split(u'\n')[3], "No frequency data");
}

void SiteDatabasePageTest::copyToTxInEachFormat_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("format");
    QTest::addColumn<double>("tolerance"); // degrees
    QTest::newRow("Maidenhead, 8 characters") << "LOC" << 0 << maidenhead8;
    QTest::newRow("OSGB, 8 digits") << "NGR" << 1 << 0.0003; // 10 m
    // 7 decimals, but the latitude to 7 significant digits.
    QTest::newRow("decimal degrees, 7 decimals") << "DEG" << 2 << 1e-5;
    QTest::newRow("degrees-minutes-seconds") << "DMS" << 3 << 0.0001;
}

void SiteDatabasePageTest::copyToTxInEachFormat() {
    QFETCH(QString, button);
    QFETCH(int, format);
    QFETCH(double, tolerance);
    QVERIFY(OpenWithSites());
    Find<QRadioButton>(qPrintable(button))->setChecked(true);
    const CLocator rx = form->State().rxLocation;
    Select(4);
    Click("CopyTx");
    QCOMPARE(Edit("StartLoc")->text(),
             Q(CLocator(Site(4).GetLatitude(), Site(4).GetLongitude()).GetText(format)));
    QCOMPARE(Edit("TX_H")->text(), "45.0");
    QCOMPARE(Edit("FREQ")->text(), "0.145");
    // A new calculation from the site to the link's receiver (which moved
    // by the rounding of its text in the new format).
    const LinkState& state = form->State();
    QVERIFY(Near(state.txLocation, Site(4), tolerance));
    QVERIFY(Near(state.rxLocation, rx, 0.0005));
    QCOMPARE(Engine().frequency, 0.145);
    QCOMPARE(Engine().htg, 45.0);
    QCOMPARE(Edit("Range")->text(), Q(FormatFixed(RangeKm(state), 6, 1)));
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
    QVERIFY(dialogs->messages.isEmpty());
}

void SiteDatabasePageTest::copyToRxSelectsLocationEntry() {
    QVERIFY(OpenWithSites());
    ShowPage("InputData");
    QTest::mouseClick(Find<QWidget>("Panel1"), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(!form->Link().Setup().StartEnd());
    ShowPage("SiteDatabase");
    Select(1); // 30 feet: 9.1 m, no frequency
    const QString frequency = Edit("FREQ")->text();
    Click("CopyRx");
    QVERIFY(form->Link().Setup().StartEnd());
    QVERIFY(!Edit("EndLoc")->isReadOnly());
    QCOMPARE(Edit("EndLoc")->text(), "IO91FM34"); // the locator format of the reset
    QCOMPARE(Edit("RX_H")->text(), "9.1");
    QCOMPARE(Edit("FREQ")->text(), frequency);
    QVERIFY(Near(form->State().rxLocation, Site(1), maidenhead8));
    // The calculation ran to the site: the range shown is the new path's.
    QCOMPARE(Edit("Range")->text(), Q(FormatFixed(RangeKm(form->State()), 6, 1)));
    QVERIFY(dialogs->messages.isEmpty());
}

void SiteDatabasePageTest::valuesOutsideTheFieldsAreNotCopied() {
    QVERIFY(OpenWithSites());
    // No mast height: TX_H stays, the frequency is copied.
    Select(2);
    Click("CopyTx");
    QCOMPARE(Edit("TX_H")->text(), "10.0");
    QCOMPARE(Edit("FREQ")->text(), "0.433");
    // 1500 m fits TX_H (up to 10000 m) but not RX_H (up to 1000 m); 400 GHz
    // fits neither end's FREQ (up to 300 GHz).
    Select(3);
    Click("CopyTx");
    QCOMPARE(Edit("TX_H")->text(), "1500.0");
    QCOMPARE(Edit("FREQ")->text(), "0.433");
    Click("CopyRx");
    QCOMPARE(Edit("RX_H")->text(), "10.0");
    QCOMPARE(Edit("FREQ")->text(), "0.433");
    QVERIFY(Near(form->State().rxLocation, Site(3), maidenhead8));
}

void SiteDatabasePageTest::nothingSelectedCopiesNothing() {
    QVERIFY(OpenWithSites());
    const QString start = Edit("StartLoc")->text();
    const QString end = Edit("EndLoc")->text();
    Click("CopyTx");
    Click("CopyRx");
    QCOMPARE(Edit("StartLoc")->text(), start);
    QCOMPARE(Edit("EndLoc")->text(), end);
    QVERIFY(Find<QPlainTextEdit>("SiteInfo")->toPlainText().isEmpty());
}

void SiteDatabasePageTest::siteOutsideTheFormatSwitchesToDegrees_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("locationField");
    QTest::addColumn<QString>("heightField");
    QTest::newRow("to Tx") << "CopyTx"
                           << "StartLoc"
                           << "TX_H";
    QTest::newRow("to Rx") << "CopyRx"
                           << "EndLoc"
                           << "RX_H";
}

// A site that no OSGB grid reference can hold (41 N 74 W): the link turns
// to decimal degrees and says so; no field ever shows "Invalid", and
// location, height and frequency are copied together.
void SiteDatabasePageTest::siteOutsideTheFormatSwitchesToDegrees() {
    QFETCH(QString, button);
    QFETCH(QString, locationField);
    QFETCH(QString, heightField);
    QVERIFY(StartForm());
    Click("RESET");
    QFile file(QStringLiteral("far.dat"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Far away~41.0 N 74.0 W~20m~2.4GHz\n");
    file.close();
    ShowPage("SiteDatabase");
    dialogs->openAnswer = QDir::current().absoluteFilePath(QStringLiteral("far.dat"));
    Click("LoadSitesButton");
    QCOMPARE(List()->topLevelItemCount(), 1);
    Find<QRadioButton>("NGR")->setChecked(true);
    const CLocator tx = form->State().txLocation;
    const CLocator rx = form->State().rxLocation;
    Select(0);
    Find<QPushButton>(qPrintable(button))->click();

    QVERIFY(Find<QRadioButton>("DEG")->isChecked());
    for (const char* field : {"StartLoc", "EndLoc"})
        QVERIFY2(!Edit(field)->text().contains("Invalid"), qPrintable(Edit(field)->text()));
    QCOMPARE(Edit(qPrintable(locationField))->text(),
             Q(CLocator(Site(0).GetLatitude(), Site(0).GetLongitude()).GetText(FormatDegrees)));
    QCOMPARE(Edit(qPrintable(heightField))->text(), "20.0");
    QCOMPARE(Edit("FREQ")->text(), "2.4");
    const LinkState& state = form->State();
    const bool toTx = button == "CopyTx";
    QVERIFY(Near(toTx ? state.txLocation : state.rxLocation, Site(0), 1e-5));
    // The other end stays where it was (but for the rounding of its text in
    // the new format).
    QVERIFY(Near(toTx ? state.rxLocation : state.txLocation, toTx ? rx : tx, 0.0005));
    const QString status = form->statusBar()->currentMessage();
    QVERIFY2(status.contains("decimal degrees") && status.contains("Far away") &&
                 status.contains("Frequency changed"),
             qPrintable(status));
}

// Copying a site whose frequency differs says so in the status bar; one
// with the link's frequency, or without one, changes nothing there.
void SiteDatabasePageTest::frequencyChangeIsNoted() {
    QVERIFY(OpenWithSites());
    form->statusBar()->clearMessage();
    const QString before = Edit("FREQ")->text();
    Select(4); // 0.145 GHz
    Click("CopyTx");
    QCOMPARE(form->statusBar()->currentMessage(),
             QStringLiteral("Frequency changed from %1 GHz to 0.145 GHz, the site's").arg(before));
    form->statusBar()->clearMessage();
    Click("CopyRx"); // the same frequency
    QVERIFY(form->statusBar()->currentMessage().isEmpty());
    Select(1); // no frequency
    Click("CopyTx");
    QVERIFY(form->statusBar()->currentMessage().isEmpty());
    QCOMPARE(Edit("FREQ")->text(), "0.145");
}

QTEST_MAIN(SiteDatabasePageTest)
#include "SiteDatabasePageTest.moc"
