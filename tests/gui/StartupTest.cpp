// The window's start and its inputs under careless or hostile conditions:
// the demo tile, a chosen terrain directory kept at once, settings files
// with a bad line or of an absurd size, a fixed k-factor that must not
// outlive its calculation, and weather no air can have.
#include "RecordingDialogs.h"
#include "app/MainForm.h"
#include "controls/NumEdit.h"
#include "propagation/engine/Terrain.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace kestrova;
using kestrova::test::RecordingDialogs;

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void settingsWithABadLineKeepEveryOtherValue();
    void settingsAboveOneMegabyteAreNotRead();
    void aChosenTerrainDirectoryIsKeptAtOnce();
    void aFixedKFactorDoesNotOutliveItsCalculation();
    void weatherNoAirCanHaveIsRefused();

private:
    bool StartForm(const QByteArray& settings = {});
    template <typename T> T* Find(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QString Text(const char* name) { return Find<QLabel>(name)->text(); }
    QLineEdit* Edit(const char* name) { return Find<QLineEdit>(name); }
    QByteArray Settings() {
        QFile file(QStringLiteral("profile.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString tileDirectory;
    QString previousDirectory;
    std::unique_ptr<QTemporaryDir> workDirectory;
    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<TMainForm> form;
};

void StartupTest::init() {
    tileDirectory = qEnvironmentVariable("KESTROVA_DATA") + QStringLiteral("/srtm3/");
    if (!QFile::exists(tileDirectory + QStringLiteral("n51w002.hgt")))
        QSKIP("terrain tile n51w002.hgt not found; set KESTROVA_DATA to the data directory");
    previousDirectory = QDir::currentPath();
    workDirectory = std::make_unique<QTemporaryDir>();
    QVERIFY(workDirectory->isValid());
    QVERIFY(QDir::setCurrent(workDirectory->path()));
    dialogs = std::make_unique<RecordingDialogs>();
    dialogs->directoryAnswer = tileDirectory;
}

void StartupTest::cleanup() {
    form.reset();
    dialogs.reset();
    if (!previousDirectory.isEmpty()) QDir::setCurrent(previousDirectory);
    workDirectory.reset();
}

bool StartupTest::StartForm(const QByteArray& settings) {
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

void StartupTest::settingsWithABadLineKeepEveryOtherValue() {
    QVERIFY(StartForm("[LinkData]\nFrequency = 2.4;\nthis line cannot be parsed\n"
                      "Percent = 1.5;\n[FilePaths]\nMapDirectory = " +
                      tileDirectory.toUtf8() + "; \n"));
    QCOMPARE(Edit("FREQ")->text(), "2.4");
    QCOMPARE(Edit("Percent")->text(), "1.5");
    QVERIFY(dialogs->directoryCaptions.isEmpty()); // the directory was read too
    QVERIFY(Text("DataStatus").contains("4 tiles"));
}

void StartupTest::settingsAboveOneMegabyteAreNotRead() {
    QByteArray settings = "[LinkData]\nFrequency = 2.4;\n";
    for (int i = 0; i < 200000; ++i)
        settings += "[s" + QByteArray::number(i) + "]\n";
    QVERIFY(StartForm(settings));
    QCOMPARE(Edit("FREQ")->text(), "1.42"); // the default
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
                             tileDirectory.toUtf8() + "; \n");
    QVERIFY(Text("DataStatus").contains("4 tiles"));

    // The chooser is one menu click away, and its answer kept likewise.
    QDir().mkdir(QStringLiteral("other"));
    QFile::copy(tileDirectory + QStringLiteral("n51w002.hgt"), QStringLiteral("other/n51w002.hgt"));
    dialogs->directoryAnswer = QDir::current().filePath(QStringLiteral("other"));
    form->findChild<QAction*>(QStringLiteral("TerrainDirectory1"))->trigger();
    QCOMPARE(dialogs->directoryCaptions.size(), 2);
    QVERIFY(Settings().contains("MapDirectory = " + dialogs->directoryAnswer.toUtf8() + "/; \n"));
    QVERIFY(Settings().contains("Frequency = 2.4; # kept\n"));
    QVERIFY(Text("DataStatus").contains("1 tile in"));
    QVERIFY(!Find<QLabel>("InvalidPath")->isVisible());
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
    QCOMPARE(Text("OverallLoss"), overall);
    QCOMPARE(Text("GasLoss"), gas);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
