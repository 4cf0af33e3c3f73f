// Named chart series shared by the pages' charts.
#pragma once

#include "app/pages/PageTools.h"

#include <QAreaSeries>
#include <QLineSeries>
#include <QPen>

namespace kestrova {

// A filled area (terrain, Earth bulge) under its upper line, which it owns.
inline QAreaSeries* NamedArea(const char* name, const QString& title, const QColor& colour) {
    auto* upper = new QLineSeries;
    auto* series = Named(new QAreaSeries(upper), name);
    upper->setParent(series);
    series->setName(title);
    series->setBrush(colour);
    series->setPen(QPen(colour));
    return series;
}

} // namespace kestrova
