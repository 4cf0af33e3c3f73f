#include "controls/NumEdit.h"

#include "controls/NumericFields.h"
#include "controls/UserDialogs.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// Characters that can form a number.
bool IsNumberCharacter(QChar c) {
    return c.isDigit() || c == u'+' || c == u'-' || c == u'.' || c == u'e' || c == u'E';
}

// Text that reads as zero carries no minus sign.
QString WithoutNegativeZero(QString text) {
    bool ok = false;
    if (text.startsWith(u'-') && text.toDouble(&ok) == 0.0 && ok) text.remove(0, 1);
    return text;
}

// Scientific notation with the given significant digits and an exponent of
// at least exponentDigits digits: "5.0000E-007".
QString Scientific(double x, int significant, int exponentDigits) {
    const QString text = QString::number(x, 'E', significant - 1);
    const qsizetype e = text.indexOf(u'E');
    const QString mantissa = text.left(e);
    const QChar sign = text.at(e + 1);
    QString exponent = text.mid(e + 2);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    exponent = exponent.rightJustified(std::max(exponentDigits, 1), u'0');
    return mantissa + u'E' + sign + exponent;
}

// At most `significant` significant digits, no trailing zeros; scientific
// when the number has more integer digits than that.
QString General(double x, int significant) {
    if (x == 0.0) return QStringLiteral("0");
    const int integerDigits = static_cast<int>(std::floor(std::log10(std::fabs(x)))) + 1;
    if (integerDigits > significant) {
        QString text = QString::number(x, 'g', significant).toUpper();
        return text;
    }
    QString text = QString::number(x, 'f', std::max(0, significant - integerDigits));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.')) text.chop(1);
    }
    return text;
}

// Set while a field takes the focus back after a failed check.
bool reclaimingFocus = false;

QString WholeNumber(double x) {
    return QString::number(std::round(x) + 0.0, 'f', 0);
}

} // namespace

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    setFixedWidth(80);
    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textChanged, this, [this] { reported = false; });
}

TNumEdit::TNumEdit(const NumericField& field, QWidget* parent) : TNumEdit(parent) {
    setObjectName(QString::fromLatin1(field.name));
    SetDecimals(field.decimals);
    FMinValue = field.minimum;
    FMaxValue = field.maximum;
    FIntegerEdit = field.integerEdit;
    // What the field is, its unit, limits and first-start value: the
    // table's words, as kestrova-cli's help gives them.
    setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(field.description),
                                             QString::fromStdString(field.HelpText())));
    SetValue(field.initial);
    setModified(false);
}

QString TNumEdit::FormatValue(double x, int decimals, bool integerEdit) {
    QString text;
    if (x != 0.0 && (std::fabs(x) < 0.000001 || std::fabs(x) > 1000000.0))
        text = Scientific(x, decimals + 2, decimals);
    else if (decimals == 0)
        text = WholeNumber(x);
    else if (decimals == 1)
        text = QString::number(x, 'f', 1);
    else
        text = General(x, decimals + 2);
    if (integerEdit) text = WholeNumber(x);
    return WithoutNegativeZero(text);
}

bool TNumEdit::ParseNumber(const QString& text, double& value) {
    bool ok = false;
    const double number = text.toDouble(&ok); // QString::toDouble reads the C locale
    if (!ok || !std::isfinite(number)) return false;
    value = number;
    return true;
}

double TNumEdit::GetValue() {
    double value = 0.0;
    if (ParseNumber(text(), value)) return value;
    UserDialogs::Current().Message(this, UserDialogs::Kind::Error,
                                   u'\'' + text() +
                                       QStringLiteral("' is not a valid numeric input."));
    selectAll();
    setFocus();
    return 0.0;
}

void TNumEdit::SetValue(double x) {
    setText(FormatValue(x, FDecimals, FIntegerEdit));
}

void TNumEdit::SetDecimals(int decimals) {
    FDecimals = static_cast<std::int8_t>(std::clamp(decimals, 0, 15));
}

bool TNumEdit::AllAcceptable(std::initializer_list<TNumEdit*> fields) {
    for (TNumEdit* field : fields) {
        if (field == nullptr || field->IsAcceptable()) continue;
        if (field->ProblemReported())
            field->setFocus();
        else
            field->DoExit();
        return false;
    }
    return true;
}

bool TNumEdit::IsAcceptable() const {
    double value = 0.0;
    return ParseNumber(text(), value) && value >= FMinValue && value <= FMaxValue;
}

bool TNumEdit::DoExit() {
    if (!WornOnce || isModified()) {
        double value = 0.0;
        if (!ParseNumber(text(), value)) {
            checking = true;
            UserDialogs::Current().Message(this, UserDialogs::Kind::Error,
                                           u'\'' + text() +
                                               QStringLiteral("' is not a valid numeric input."));
            checking = false;
            reported = true;
            ReturnFocus();
            return false;
        }
        if (value < FMinValue || value > FMaxValue) {
            const QString message =
                QStringLiteral("Value must be between %1 and %2")
                    .arg(QString::number(FMinValue, 'g', 6), QString::number(FMaxValue, 'g', 6));
            if (WornOnce) setModified(false);
            checking = true;
            UserDialogs::Current().Message(this, UserDialogs::Kind::Error, message);
            checking = false;
            reported = true;
            selectAll();
            ReturnFocus();
            return false;
        }
    }
    Q_EMIT Exit();
    return true;
}

void TNumEdit::ReturnFocus() {
    // Focus is taken back once the focus change under way has finished. The
    // field it is taken from is not checked on the way: two fields with bad
    // values would otherwise take it from each other for ever.
    QTimer::singleShot(0, this, [this] {
        reclaimingFocus = true;
        setFocus(Qt::OtherFocusReason);
        reclaimingFocus = false;
        selectAll();
    });
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        DoExit();
        event->accept();
        return;
    case Qt::Key_Escape:
        undo();
        selectAll();
        event->accept();
        return;
    case Qt::Key_Up:
        focusNextPrevChild(false);
        event->accept();
        return;
    case Qt::Key_Down:
        focusNextPrevChild(true);
        event->accept();
        return;
    default:
        break;
    }
    // Copy, cut, paste and the other shortcuts pass untouched.
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        for (QChar c : typed)
            if (!IsNumberCharacter(c)) {
                event->accept(); // swallowed
                return;
            }
    }
    QLineEdit::keyPressEvent(event);
}

void TNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu, a popup or another window taking focus (our own message box
    // among them) is not the user leaving the field.
    const Qt::FocusReason reason = event->reason();
    if (checking || reclaimingFocus || reason == Qt::PopupFocusReason ||
        reason == Qt::ActiveWindowFocusReason)
        return;
    DoExit();
}

} // namespace kestrova
