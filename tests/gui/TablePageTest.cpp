// The "Tabulated Data" page of the real window over the real terrain tile.
#include "WindowFixture.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>

using namespace kestrova;
using namespace kestrova::test;

class TablePageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void profileTable();
};

void TablePageTest::profileTable() {
    QVERIFY(StartForm());
    Click("RESET");
    dialogs->saveAnswer = QDir::current().filePath("profile.dat");
    auto* table = Find<QListWidget>("Profile");
    QMetaObject::invokeMethod(Find<QObject>("TabulatedData"), "ProfileDblClick");
    QFile file("profile.dat");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.endsWith("\r\n\n"));
    QCOMPARE(bytes.count("\r\n"), table->count());
    QVERIFY(bytes.startsWith("meters\r\n0, "));
    QCOMPARE(dialogs->saveProposals, QStringList{"profile.dat"});

    // A double-click on the chart copies it.
    QGuiApplication::clipboard()->clear();
    QWidget* chart = Find<QChartView>("Chart1")->viewport();
    QTest::mouseDClick(chart, Qt::LeftButton, {}, chart->rect().center());
    QCOMPARE(dialogs->messages, QStringList{"Chart copied to Clipboard"});
    QVERIFY(!QGuiApplication::clipboard()->pixmap().isNull());
}

QTEST_MAIN(TablePageTest)
#include "TablePageTest.moc"
