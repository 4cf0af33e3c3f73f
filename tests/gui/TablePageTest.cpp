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
    void fiveColumnsOnScreen();
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
    QVERIFY(bytes.startsWith("Range (m)  Height (m)\r\n0, "));
    QCOMPARE(dialogs->saveProposals, QStringList{"profile.dat"});
    QVERIFY2(form->statusBar()->currentMessage().startsWith("Saved profile.dat ("),
             qPrintable(form->statusBar()->currentMessage()));
}

void TablePageTest::fiveColumnsOnScreen() {
    QVERIFY(StartForm());
    Click("RESET");
    ShowPage("TabulatedData");
    auto* table = Find<QListWidget>("Profile");
    QVERIFY(table->count() > 100);
    // The lines flow down five columns across the list, whatever its width;
    // more columns scroll into view.
    for (const QSize size : {QSize(1180, 800), QSize(1280, 720), QSize(900, 600)}) {
        form->resize(size);
        QTest::qWait(20);
        const int width = table->viewport()->width();
        int columns = 0;
        int lastX = -1;
        for (int i = 0; i < table->count(); ++i) {
            const QRect cell = table->visualItemRect(table->item(i));
            if (cell.x() != lastX && cell.x() >= 0 && cell.right() < width) ++columns;
            lastX = cell.x();
        }
        QCOMPARE(columns, 5);
        // Each line fits its column.
        const QFontMetrics metrics(table->font());
        for (int i = 0; i < table->count(); i += 37)
            QVERIFY(metrics.horizontalAdvance(table->item(i)->text()) <= table->gridSize().width());
    }
}

QTEST_MAIN(TablePageTest)
#include "TablePageTest.moc"
