// TNumEdit: the one-line edit behind every numeric input of the window. It
// accepts only characters that can form a number, shows its value with the
// field's number of decimals, and checks the value against the field's
// limits when the user leaves the field or presses Enter: focus returns to
// the field, with a message, while the text is not a number or out of range.
// The value lives only in the text; numbers are read and written in the C
// locale whatever the user's locale is.
#pragma once

#include <QLineEdit>

#include <cstdint>
#include <initializer_list>

namespace kestrova {

struct InputLimit;
using NumericField = InputLimit;

class TNumEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Decimals READ GetDecimals WRITE SetDecimals)
    Q_PROPERTY(double Min READ GetMinValue WRITE SetMinValue)
    Q_PROPERTY(double Max READ GetMaxValue WRITE SetMaxValue)
    Q_PROPERTY(bool IntegerEdit READ GetIntegerEdit WRITE SetEditType)

public:
    explicit TNumEdit(QWidget* parent = nullptr);
    // A field of the window's table: its name, limits, decimals and value.
    TNumEdit(const NumericField& field, QWidget* parent);

    // The text as a number; 0, after telling the user, when it is not one.
    double GetValue();
    // Shows x formatted with the field's decimals; no range check.
    void SetValue(double x);

    int GetDecimals() const { return FDecimals; }
    void SetDecimals(int decimals); // limited to 0..15
    double GetMinValue() const { return FMinValue; }
    void SetMinValue(double value) { FMinValue = value; }
    double GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(double value) { FMaxValue = value; }
    bool GetIntegerEdit() const { return FIntegerEdit; }
    void SetEditType(bool integerEdit) { FIntegerEdit = integerEdit; }
    // When set, the exit check runs only on modified text, and an
    // out-of-range warning clears the modified flag (so it is given once).
    void SetWarnOnce(bool warnOnce) { WornOnce = warnOnce; }

    // True when the text is a number within the limits.
    bool IsAcceptable() const;
    // True when the exit check has reported the current text.
    bool ProblemReported() const { return reported; }
    // True when every field is acceptable. Otherwise the first that is not
    // says why (unless its exit check just did) and takes the focus, so a
    // calculation never runs on a value that is not a number or outside
    // its limits.
    static bool AllAcceptable(std::initializer_list<TNumEdit*> fields);

    // The text SetValue shows for x.
    static QString FormatValue(double x, int decimals, bool integerEdit);
    // Text to number in the C locale; false for text that is not a finite
    // number.
    static bool ParseNumber(const QString& text, double& value);

public Q_SLOTS:
    // Validation on leaving the field (and on Enter); true when the value is
    // accepted and the exit was passed on.
    bool DoExit();

Q_SIGNALS:
    // The field was left (or Enter pressed) with an accepted value.
    void Exit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ReturnFocus();

    std::int8_t FDecimals = 0;
    double FMaxValue = 10.0;
    double FMinValue = 0.0;
    bool FIntegerEdit = false;
    bool WornOnce = false;
    bool checking = false; // a message of the check is showing
    bool reported = false; // the check has reported the current text
};

} // namespace kestrova
