// Small helpers shared by the pages: named controls, numeric fields from the
// window's table, the fixed number format of the labels, and location texts
// at the precisions the window uses.
#pragma once

#include "controls/NumEdit.h"
#include "controls/NumericFields.h"
#include "geo/Locator.h"
#include "geo/NumberFormat.h"
#include "inputs/InputLimits.h"
#include "propagation/engine/Terrain.h"

#include <QLabel>
#include <QString>

namespace kestrova {

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

inline QLabel* Label(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QLabel(caption, parent), name);
}

inline TNumEdit* NumField(const char* name, QWidget* parent) {
    return new TNumEdit(FindNumericField(name), parent);
}

// The text a numeric field of the table shows for value.
inline QString FieldText(double value, const InputLimit& limit) {
    return TNumEdit::FormatValue(value, limit.decimals, limit.integerEdit);
}

// The edition a page's figures come from, as the pages name it.
inline QString EditionTitle(Edition edition) {
    return edition == Edition::P452_18 ? QStringLiteral("ITU-R P.452-18 (2023)")
                                       : QStringLiteral("ITU-R P.452-14 (2009)");
}

// fixed (P, D) of the window's labels.
inline QString Fixed(double value, int precision, int decimals) {
    return QString::fromStdString(FormatFixed(value, precision, decimals));
}

// GetText precisions by format: stored locations shown again (a format
// change, start-up, reset, the readouts), and a computed end point.
inline constexpr int shownPrecision[] = {10, 8, 3, 3};
inline constexpr int computedPrecision[] = {8, 8, 3, 3};

inline QString LocationText(CLocator location, int format, const int (&precisions)[4]) {
    const int precision = format >= 0 && format < 4 ? precisions[format] : 0;
    return QString::fromStdString(location.GetText(format, precision));
}

} // namespace kestrova
