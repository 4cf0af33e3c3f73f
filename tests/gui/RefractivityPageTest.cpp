// The "Radio Refractivity Data" page of the real window over the real
// terrain tile.
#include "WindowFixture.h"

#include <QCheckBox>
#include <QRegularExpression>

using namespace kestrova;
using namespace kestrova::test;

class RefractivityPageTest : public QObject, public WindowFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        if (!Init()) QSKIP(qPrintable(SkipMessage()));
    }
    void cleanup() { Cleanup(); }

    void refractivityPage();
};

void RefractivityPageTest::refractivityPage() {
    QVERIFY(StartForm());
    Click("RESET");
    Edit("Percent")->setText("0.0001");
    ShowPage("TabSheet1");
    QCOMPARE(Text("PTime"), "0.0001 %");
    // Path data of the calculation, always in kilometres.
    QVERIFY(Text("DCT").endsWith(" km"));
    QVERIFY(Text("SEAFRACTION").endsWith(" %"));
    // Each look-up gives a value or says it has none.
    for (const char* name :
         {"TXN_0", "TXDNDZ", "TXBETA0", "TXBETAE", "RXN_0", "RXDNDZ", "RXBETA0", "RXBETAE"}) {
        const QString text = Text(name);
        QVERIFY2(text == "No data" || text.contains(QRegularExpression("^-?\\d+\\.\\d ")),
                 qPrintable(text));
    }
    // The k-factor shown is the one the calculation used and shows on the
    // Input Data page, with where it came from.
    const QString k = QString::number(Engine().kMedian, 'f', 4);
    QVERIFY2(Text("Kfact").startsWith(k + " ("), qPrintable(Text("Kfact") + " / " + k));
    QVERIFY(Text("Kfact").endsWith(")"));
    QVERIFY(!Text("Kfact").contains("1.333"));
    // A fixed k-factor is shown as such.
    Find<QCheckBox>("ForcedKFactor")->setChecked(true);
    Edit("K_FACT")->setText("2");
    Click("CalculateBtn");
    ShowPage("TabSheet1");
    QCOMPARE(Text("Kfact"), "2.0000 (fixed on the Input Data page)");
}

QTEST_MAIN(RefractivityPageTest)
#include "RefractivityPageTest.moc"
