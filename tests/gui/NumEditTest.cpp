// TNumEdit: the formatting of values, the key filter, and the check on
// leaving the field or pressing Enter, on the fields of the window's table.
#include "controls/NumEdit.h"
#include "RecordingDialogs.h"
#include "controls/NumericFields.h"

#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include <memory>

using kestrova::FindNumericField;
using kestrova::TNumEdit;
using kestrova::test::RecordingDialogs;

class NumEditTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void formatting_data();
    void formatting();
    void tableFieldsShowTheirLayoutValues();
    void decimalsAreLimited();
    void keyFilter_data();
    void keyFilter();
    void exitCheck_data();
    void exitCheck();
    void enterChecksAndKeepsFocus();
    void twoBadFieldsDoNotFightForFocus();
    void warnOnceWarnsOnce();
    void escapeUndoesAndArrowsMoveFocus();
    void getValueOfText();

private:
    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<QWidget> window;
    TNumEdit* freq = nullptr;
    TNumEdit* other = nullptr;
};

void NumEditTest::init() {
    dialogs = std::make_unique<RecordingDialogs>();
    window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    freq = new TNumEdit(FindNumericField("FREQ"), window.get());
    other = new TNumEdit(FindNumericField("TX_H"), window.get());
    layout->addWidget(freq);
    layout->addWidget(other);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void NumEditTest::cleanup() {
    window.reset();
    dialogs.reset();
}

void NumEditTest::formatting_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<bool>("integerEdit");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 decimals 10.368") << 10.368 << 3 << false << "10.368";
    QTest::newRow("3 decimals 0.025") << 0.025 << 3 << false << "0.025";
    QTest::newRow("3 decimals 300") << 300.0 << 3 << false << "300";
    QTest::newRow("3 decimals 0") << 0.0 << 3 << false << "0";
    QTest::newRow("3 decimals rounds to 5 digits") << 1.2345678 << 3 << false << "1.2346";
    QTest::newRow("3 decimals 0.0001") << 0.0001 << 3 << false << "0.0001";
    QTest::newRow("1 decimal 10") << 10.0 << 1 << false << "10.0";
    QTest::newRow("1 decimal negative") << -100.0 << 1 << false << "-100.0";
    QTest::newRow("0 decimals 2.6") << 2.6 << 0 << false << "3";
    QTest::newRow("0 decimals -19.6") << -19.6 << 0 << false << "-20";
    QTest::newRow("0 decimals no minus zero") << -0.2 << 0 << false << "0";
    QTest::newRow("tiny is scientific") << 0.0000005 << 3 << false << "5.0000E-007";
    QTest::newRow("huge is scientific") << 2500000.0 << 0 << false << "2.5E+6";
    QTest::newRow("integer edit 123.6") << 123.6 << 0 << true << "124";
    QTest::newRow("integer edit wins over decimals") << 12.25 << 3 << true << "12";
}

void NumEditTest::formatting() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(bool, integerEdit);
    QFETCH(QString, text);
    TNumEdit edit;
    edit.SetDecimals(decimals);
    edit.SetEditType(integerEdit);
    edit.SetValue(value);
    QCOMPARE(edit.text(), text);
}

void NumEditTest::tableFieldsShowTheirLayoutValues() {
    QCOMPARE(kestrova::NumericFields().size(), std::size_t{25});
    QWidget parent;
    const auto shown = [&](const char* name) {
        return TNumEdit(FindNumericField(name), &parent).text();
    };
    QCOMPARE(shown("FREQ"), "10.368");
    QCOMPARE(shown("TX_H"), "10.0");
    QCOMPARE(shown("K_FACT"), "1.333");
    QCOMPARE(shown("Range"), "10");
    QCOMPARE(shown("MinLoss"), "-20");
    QCOMPARE(shown("EvalPower"), "100");
    TNumEdit spacing(FindNumericField("ContourSpacing"), &parent);
    spacing.SetValue(123.6);
    QCOMPARE(spacing.text(), "124");
    QCOMPARE(spacing.GetMinValue(), 10.0);
    QCOMPARE(spacing.GetMaxValue(), 1000.0);
}

void NumEditTest::decimalsAreLimited() {
    TNumEdit edit;
    edit.SetDecimals(20);
    QCOMPARE(edit.GetDecimals(), 15);
    edit.SetDecimals(-3);
    QCOMPARE(edit.GetDecimals(), 0);
}

void NumEditTest::keyFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("letter") << "a"
                            << "";
    QTest::newRow("comma") << ","
                           << "";
    QTest::newRow("exponent") << "1e3"
                              << "1e3";
    QTest::newRow("signs and point") << "-1.5E+2"
                                     << "-1.5E+2";
    QTest::newRow("mixed") << "1x2 3"
                           << "123";
}

void NumEditTest::keyFilter() {
    QFETCH(QString, typed);
    QFETCH(QString, text);
    freq->setFocus();
    freq->clear();
    QTest::keyClicks(freq, typed);
    QCOMPARE(freq->text(), text);
    if (text == "1e3") QCOMPARE(freq->GetValue(), 1000.0);
}

void NumEditTest::exitCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::newRow("below minimum") << "0.02"
                                   << "Value must be between 0.025 and 300";
    QTest::newRow("minimum") << "0.025"
                             << "";
    QTest::newRow("maximum") << "300"
                             << "";
    QTest::newRow("above maximum") << "300.5"
                                   << "Value must be between 0.025 and 300";
    QTest::newRow("not a number") << "1.2.3"
                                  << "'1.2.3' is not a valid numeric input.";
    QTest::newRow("empty") << ""
                           << "'' is not a valid numeric input.";
}

void NumEditTest::exitCheck() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    QSignalSpy exits(freq, &TNumEdit::Exit);
    freq->setFocus();
    QTRY_VERIFY(freq->hasFocus());
    freq->setText(text);
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    if (message.isEmpty()) {
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(exits.count(), 1);
        QVERIFY(other->hasFocus());
    } else {
        QCOMPARE(dialogs->messages, QStringList{message});
        QCOMPARE(exits.count(), 0);
        QTRY_VERIFY(freq->hasFocus());
    }
}

void NumEditTest::enterChecksAndKeepsFocus() {
    QSignalSpy exits(freq, &TNumEdit::Exit);
    freq->setFocus();
    QTRY_VERIFY(freq->hasFocus());
    freq->setText("0.02");
    QTest::keyClick(freq, Qt::Key_Return);
    QCOMPARE(dialogs->messages, QStringList{"Value must be between 0.025 and 300"});
    QCOMPARE(exits.count(), 0);
    freq->setText("5");
    QTest::keyClick(freq, Qt::Key_Enter);
    QCOMPARE(exits.count(), 1);
    QVERIFY(freq->hasFocus());
    QCOMPARE(dialogs->messages.size(), 1);
}

void NumEditTest::twoBadFieldsDoNotFightForFocus() {
    other->setText("0"); // below its minimum of 1
    freq->setFocus();
    QTRY_VERIFY(freq->hasFocus());
    freq->setText("0");
    other->setFocus(Qt::TabFocusReason);
    QTest::qWait(50);
    QCOMPARE(dialogs->messages, QStringList{"Value must be between 0.025 and 300"});
    QVERIFY(freq->hasFocus());
}

void NumEditTest::warnOnceWarnsOnce() {
    freq->SetWarnOnce(true);
    freq->setText("500");
    freq->setModified(true);
    QVERIFY(!freq->DoExit());
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(!freq->isModified());
    QVERIFY(freq->DoExit()); // unchanged since the warning: passed on
    QCOMPARE(dialogs->messages.size(), 1);
}

void NumEditTest::escapeUndoesAndArrowsMoveFocus() {
    freq->setFocus();
    QTRY_VERIFY(freq->hasFocus());
    freq->selectAll();
    QTest::keyClicks(freq, "12");
    QCOMPARE(freq->text(), "12");
    QTest::keyClick(freq, Qt::Key_Escape);
    QCOMPARE(freq->text(), "10.368"); // the typing undone
    QCOMPARE(freq->selectedText(), freq->text());
    freq->setText("5");
    QTest::keyClick(freq, Qt::Key_Down);
    QTRY_VERIFY(other->hasFocus());
    QTest::keyClick(other, Qt::Key_Up);
    QTRY_VERIFY(freq->hasFocus());
    QVERIFY(dialogs->messages.isEmpty());
}

void NumEditTest::getValueOfText() {
    freq->setText("1.2.3");
    QCOMPARE(freq->GetValue(), 0.0);
    QCOMPARE(dialogs->messages, QStringList{"'1.2.3' is not a valid numeric input."});
    freq->setText(" 2.5 ");
    QCOMPARE(freq->GetValue(), 2.5);
    freq->setText("inf");
    QCOMPARE(freq->GetValue(), 0.0);
    QCOMPARE(dialogs->messages.size(), 2);
}

QTEST_MAIN(NumEditTest)
#include "NumEditTest.moc"
