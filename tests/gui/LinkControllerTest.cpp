// The link controller on its own, without a window: its first-start values
// are the table's, its settings lines read back to the same inputs, a file
// of an older version still loads, and "Reset" puts back the reset values.
#include "app/LinkController.h"
#include "settings/SettingsFile.h"

#include <QSignalSpy>
#include <QTest>

namespace kestrova {

class LinkControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsFromTheTablesFirstStartValues();
    void settingsLinesReadBackToTheSameInputs();
    void anOlderSettingsFileStillLoads();
    void resetPutsBackTheResetValues();
    void editsStayQuietChangesAreSaid();

private:
    LinkState state;
};

void LinkControllerTest::startsFromTheTablesFirstStartValues() {
    const TLinkController link(state);
    for (const SetupNumber& number : SetupNumbers())
        QCOMPARE(link.Setup().*(number.member), number.limit->initial);
    // The calculation's inputs as kestrova-cli's defaults give them.
    const CalculationSettings settings = link.Settings();
    QCOMPARE(settings.frequency, limits::frequency.initial);
    QCOMPARE(settings.htg, limits::txHeight.initial);
    QCOMPARE(settings.timePercent, limits::percent.initial);
    QCOMPARE(settings.humidity, limits::humidity.initial);
    QVERIFY(!settings.forcedK);
    QCOMPARE(settings.edition, Edition::P452_14);
}

void LinkControllerTest::settingsLinesReadBackToTheSameInputs() {
    TLinkController link(state);
    link.SetNumber(&LinkSetup::frequency, 2.4);
    link.SetNumber(&LinkSetup::txHeight, 37.5);
    link.SetNumber(&LinkSetup::forcedK, 1);
    link.SetNumber(&LinkSetup::kFactor, 1.2);
    link.SetNumber(&LinkSetup::edition, 18);
    link.SetNumber(&LinkSetup::polarisation, 1);
    link.SetNumber(&LinkSetup::rxGain, -3.5);
    link.SetNumber(&LinkSetup::metric, 0);
    link.SetLocatorFormat(FormatDegrees);
    link.SetText(true, "51.5 N 1.5 W");
    const QString text = link.SettingsText();

    TLinkController read(state);
    std::vector<std::string> notes;
    read.ReadSettings(SettingsFile::FromText(text.toStdString()), notes);
    QVERIFY2(notes.empty(), notes.empty() ? "" : notes.front().c_str());
    for (const SetupNumber& number : SetupNumbers())
        QCOMPARE(read.Setup().*(number.member), link.Setup().*(number.member));
    QCOMPARE(read.Setup().Format(), int{FormatDegrees});
    QCOMPARE(read.Setup().EditionUsed(), Edition::P452_18);
    QCOMPARE(read.Settings().polarisation, p452v18::Polarisation::Horizontal);
    QVERIFY(CLocator(read.Setup().startText, FormatDegrees).IsValid());
}

void LinkControllerTest::anOlderSettingsFileStillLoads() {
    const char* older = "[LinkData]\n"
                        "Frequency = 1.420000; # Frequency in GHz\n"
                        "TX_Height = 30.000000; # TX Height AMSL \n"
                        "Metric = 0; # 1 = Metric, 0 = Imperial System\n"
                        "ForcedKFactor = 0x10; # 1 = yes, 0 = no\n"
                        "K_Factor = 4; # Effective Earth Radius factor typ 1.333\n"
                        "[Locator]\n"
                        "LocatorFormat = 1; \n"
                        "StartLocator = SU374616; \n"
                        "StartEndInput = 0; \n"
                        "[Edition]\n"
                        "Edition = 18; # ITU-R P.452 edition: 14 (2009) or 18 (2023)\n";
    TLinkController link(state);
    std::vector<std::string> notes;
    link.ReadSettings(SettingsFile::FromText(older), notes);
    const LinkSetup& setup = link.Setup();
    QCOMPARE(setup.frequency, 1.42);
    QCOMPARE(setup.txHeight, 30.0);
    QVERIFY(!setup.Metric());
    QVERIFY(setup.ForcedK()); // any integer but 0 is "yes", as it always was
    QCOMPARE(setup.kFactor, 4.0);
    QCOMPARE(setup.Format(), int{FormatNGR});
    QVERIFY(!setup.StartEnd());
    QCOMPARE(setup.EditionUsed(), Edition::P452_18);
    QCOMPARE(setup.rxHeight, limits::rxHeight.initial); // missing: the first-start value
    QVERIFY(notes.empty());
}

void LinkControllerTest::resetPutsBackTheResetValues() {
    TLinkController link(state);
    link.SetNumber(&LinkSetup::frequency, 2.4);
    link.SetNumber(&LinkSetup::startEndInput, 0);
    QSignalSpy changed(&link, &TLinkController::Changed);
    link.Reset();
    QCOMPARE(changed.count(), 1);
    for (const SetupNumber& number : SetupNumbers())
        if (number.member != &LinkSetup::range && number.member != &LinkSetup::bearing)
            QCOMPARE(link.Setup().*(number.member), number.limit->reset);
    QVERIFY(link.Setup().StartEnd());
    QCOMPARE(link.Setup().startText,
             CLocator(std::string("SU374616"), FormatNGR).GetMaidenhead(10)); // as a locator
    QVERIFY(link.Setup().range > 0.0); // the default link's range and bearing
}

void LinkControllerTest::editsStayQuietChangesAreSaid() {
    TLinkController link(state);
    QSignalSpy changed(&link, &TLinkController::Changed);
    link.Edit(&LinkSetup::frequency, 5.0); // the page's own field: it shows it already
    QCOMPARE(changed.count(), 0);
    link.SetNumber(&LinkSetup::frequency, 6.0); // another page: the field must follow
    QCOMPARE(changed.count(), 1);
    QCOMPARE(link.Setup().frequency, 6.0);
    link.SetLocatorFormat(7); // no such format: nothing changes
    QCOMPARE(changed.count(), 1);
}

} // namespace kestrova

QTEST_GUILESS_MAIN(kestrova::LinkControllerTest)
#include "LinkControllerTest.moc"
