// The window as a new user meets it: a first window that fits the screen
// and comes back where it was left, the first-start values of kestrova-cli,
// a Reset that keeps the terrain directory, words spelled out, and a help
// topic for every page that F1 opens.
#include "WindowFixture.h"

#include "CliRun.h"
#include "app/HelpBrowser.h"
#include "app/pages/Page.h"
#include "controls/NumEdit.h"
#include "coverage/Kml.h"
#include "geo/NumberFormat.h"
#include "inputs/InputLimits.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBrowser>

#include <nlohmann/json.hpp>

using namespace kestrova;
using kestrova::test::Q;
using kestrova::test::WindowFixture;

class FirstUseTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void theFirstWindowFitsTheScreen();
    void sizePositionAndPageAreKeptAcrossRestarts();
    void firstStartValuesAreThoseOfTheCommandLine();
    void resetKeepsTheTerrainDirectory();
    void wordsAreSpelledOut();
    void everyPageHasAHelpTopicThatF1Opens();

private:
    // Every text a user reads in the window: labels, buttons, group titles,
    // form captions, tab captions and tooltips.
    QStringList WindowTexts() {
        QStringList texts;
        for (const QWidget* widget : form->findChildren<QWidget*>()) {
            texts << widget->toolTip();
            if (const auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
                texts << button->text();
            if (const auto* group = qobject_cast<const QGroupBox*>(widget)) texts << group->title();
        }
        auto* tabs = Find<QTabWidget>("PageControl1");
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
        texts.removeAll(QString());
        return texts;
    }
};

// A new user's first window lies inside the screen's available area, the
// status bar included.
void FirstUseTest::theFirstWindowFitsTheScreen() {
    QVERIFY(StartFirstTime());
    const QRect available = form->screen()->availableGeometry();
    QVERIFY2(available.contains(form->frameGeometry()),
             qPrintable(QStringLiteral("window %1x%2 on %3x%4")
                            .arg(form->frameGeometry().width())
                            .arg(form->frameGeometry().height())
                            .arg(available.width())
                            .arg(available.height())));
    QWidget* status = Find<QLabel>("DataStatus");
    QVERIFY(status->isVisible());
    const QRect statusOnScreen(status->mapToGlobal(QPoint(0, 0)), status->size());
    QVERIFY(available.contains(statusOnScreen));
}

// Closing keeps the size, position and current page; a kept place that no
// longer fits the screen is brought back onto it.
void FirstUseTest::sizePositionAndPageAreKeptAcrossRestarts() {
    QVERIFY(StartForm());
    const QRect available = form->screen()->availableGeometry();
    const QRect place(available.x() + 40, available.y() + 60, available.width() / 2,
                      available.height() / 2);
    form->setGeometry(place);
    ShowPage("Mechanisms");
    QTest::qWait(20);
    const QRect kept = form->geometry();
    form->close();
    form.reset();

    QVERIFY(StartFormWith({})); // the settings file as the last close left it
    QCOMPARE(form->geometry(), kept);
    QCOMPARE(form->CurrentPage()->objectName(), "Mechanisms");
    form.reset();

    // A place beyond the screen (another, larger monitor once).
    QFile file(QStringLiteral("profile.ini"));
    QVERIFY(file.open(QIODevice::Append));
    file.write("[Window]\nGeometry = 5000, 4000, 3000, 2000, 99; \n");
    file.close();
    QVERIFY(StartFormWith({}));
    QVERIFY2(available.contains(form->frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(form->frameGeometry().x())
                            .arg(form->frameGeometry().y())
                            .arg(form->frameGeometry().width())
                            .arg(form->frameGeometry().height())));
    QCOMPARE(form->CurrentPage()->objectName(), "InputData"); // no such page: the first
}

// Without a settings file the window starts with the values kestrova-cli
// uses when an option is not given, and both give the same loss.
void FirstUseTest::firstStartValuesAreThoseOfTheCommandLine() {
    QVERIFY(
        StartForm(QByteArray("[FilePaths]\nMapDirectory = ") + tileDirectory.toUtf8() + "/; \n"));
    const std::pair<const char*, const InputLimit*> fields[] = {
        {"FREQ", &limits::frequency},    {"TX_H", &limits::txHeight},
        {"RX_H", &limits::rxHeight},     {"Percent", &limits::percent},
        {"PRESSURE", &limits::pressure}, {"TEMPERATURE", &limits::temperature},
        {"RH", &limits::humidity},
    };
    for (const auto& [name, limit] : fields)
        QCOMPARE(Find<TNumEdit>(name)->GetValue(), limit->initial);
    QVERIFY(Engine().valid);
    // The same link through the command line with no radio options.
    const cli::CliRun run = cli::Cli({"link", "--tx", Edit("StartLoc")->text().toStdString(),
                                      "--rx", Edit("EndLoc")->text().toStdString(), "--format",
                                      "loc", "--tiles", tileDirectory.toStdString(), "--json"});
    QCOMPARE(run.status, 0);
    const auto json = nlohmann::json::parse(run.out);
    QCOMPARE(Text("OverallLoss"),
             "Overall path loss: " + Q(FormatFixed(json["lb"].get<double>(), 3, 0)) + " dB");

    // Reset comes back to the same values.
    for (const auto& [name, limit] : fields)
        Edit(name)->setText("3");
    Click("RESET");
    for (const auto& [name, limit] : fields)
        QCOMPARE(Find<TNumEdit>(name)->GetValue(), limit->initial);
}

// Reset restores the link's inputs; the chosen terrain directory stays and
// no chooser opens.
void FirstUseTest::resetKeepsTheTerrainDirectory() {
    QVERIFY(
        StartForm(QByteArray("[FilePaths]\nMapDirectory = ") + tileDirectory.toUtf8() + "/; \n"));
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    const std::string terrain = form->State().terrainDirectory;
    dialogs->directoryAnswer.clear(); // a chooser would now be cancelled
    Click("RESET");
    QVERIFY(dialogs->directoryCaptions.isEmpty());
    QCOMPARE(form->State().terrainDirectory, terrain);
    QVERIFY(Text("DataStatus").contains(TilesStatus()));
    QVERIFY(Engine().valid);
}

void FirstUseTest::wordsAreSpelledOut() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("map"); // the local maps' texts
    const QString all = WindowTexts().join(u'\n');
    for (const char* wrong : {"Maxumum", "Highligted", "occurence", "Frenel", "Min Range",
                              "Maximum range", "miles", "meters", "Dravelin"})
        QVERIFY2(
            !all.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(wrong)),
                                             QRegularExpression::CaseInsensitiveOption)),
            wrong);
    // The field strengths with their unit, the power in watts, the
    // coastal distances of each end, the table's header.
    const QStringList texts = WindowTexts();
    for (const char* right :
         {"Maximum fs (dBµV/m)", "Minimum fs (dBµV/m)", "W", "Show Highlighted Terrain",
          "TX coastal distance", "RX coastal distance", "Surface duct occurrence"})
        QVERIFY2(texts.contains(QString::fromUtf8(right)), right);
    QVERIFY(Text("TXArea").contains(" km  (max "));
    QCOMPARE(Find<QListWidget>("Profile")->item(0)->text(), "Range (m)  Height (m)");
    const std::string kml = KmlDocument({});
    QVERIFY(kml.find("<description>Results from Kestrova</description>") != std::string::npos);
}

void FirstUseTest::everyPageHasAHelpTopicThatF1Opens() {
    QVERIFY(StartForm());
    auto* tabs = Find<QTabWidget>("PageControl1");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        const TPage* page = form->CurrentPage();
        QVERIFY(page);
        const QString topic = PageHelpTopic(page->objectName());
        QVERIFY2(!topic.isEmpty(), qPrintable(page->objectName()));
        QVERIFY2(
            QFile::exists(QStringLiteral(":/help/") + topic.toLower() + QStringLiteral(".html")),
            qPrintable(topic));
        QTest::keyClick(form.get(), Qt::Key_F1);
        QVERIFY(form->HelpBrowser() && form->HelpBrowser()->isVisible());
        // The topic, not the contents page.
        const QString title = form->HelpBrowser()->CurrentTitle();
        QVERIFY2(title != "Contents", qPrintable(page->objectName()));
        QVERIFY2(title.contains(page->Caption()) || page->Caption().contains(title),
                 qPrintable(title + " / " + page->Caption()));
        titles << title;
    }
    titles.removeDuplicates();
    QCOMPARE(titles.size(), tabs->count());
    QCOMPARE(PageHelpTopics().size(), tabs->count());
}

QTEST_MAIN(FirstUseTest)
#include "FirstUseTest.moc"
