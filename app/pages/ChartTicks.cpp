// Round tick values (see ChartTicks.h).
#include "app/pages/ChartTicks.h"

#include <QValueAxis>

#include <cmath>

namespace kestrova {

double RoundTickInterval(double span, int maxTicks) {
    if (!(span > 0) || !std::isfinite(span) || maxTicks < 1) return 1.0;
    const double rough = span / maxTicks;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * decade >= rough) return step * decade;
    return 10.0 * decade;
}

void KeepTicksRound(QValueAxis* axis) {
    static const char* const kept = "kestrovaRoundTicks";
    if (axis->property(kept).toBool()) return;
    axis->setProperty(kept, true);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setLabelFormat(QStringLiteral("%g"));
    // Every range, a zoom's included, gets the round interval of its span.
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis](qreal min, qreal max) {
        axis->setTickInterval(RoundTickInterval(max - min));
    });
}

void SetRoundRange(QValueAxis* axis, double min, double max) {
    KeepTicksRound(axis);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(RoundTickInterval(max - min));
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setRange(min, max);
}

} // namespace kestrova
