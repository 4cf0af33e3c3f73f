// The window's chart view (see ChartView.h).
#include "controls/ChartView.h"

#include <QAction>
#include <QKeyEvent>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

// The range of a value or logarithmic axis (none for other axes).
bool AxisRange(const QAbstractAxis* axis, double& min, double& max) {
    if (const auto* value = qobject_cast<const QValueAxis*>(axis)) {
        min = value->min();
        max = value->max();
        return true;
    }
    if (const auto* log = qobject_cast<const QLogValueAxis*>(axis)) {
        min = log->min();
        max = log->max();
        return true;
    }
    return false;
}

// [min, max] twice as wide about its centre, then moved or cut to lie
// within [low, high].
QPair<double, double> Widened(double min, double max, double low, double high) {
    const double span = 2.0 * (max - min);
    if (!(span < high - low)) return {low, high};
    double from = (min + max) / 2.0 - span / 2.0;
    from = std::clamp(from, low, high - span);
    return {from, from + span};
}

} // namespace

TChartView::TChartView(QWidget* parent) : QChartView(parent) {
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing);
    setFocusPolicy(Qt::StrongFocus); // Home reaches the chart clicked last
    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* zoomOut = new QAction(QStringLiteral("Zoom out"), this);
    zoomOut->setObjectName(QStringLiteral("ZoomOut"));
    auto* reset = new QAction(QStringLiteral("Reset zoom\tHome"), this);
    reset->setObjectName(QStringLiteral("ResetZoom"));
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    connect(zoomOut, &QAction::triggered, this, &TChartView::ZoomOut);
    connect(reset, &QAction::triggered, this, &TChartView::ResetZoom);
    addActions({zoomOut, reset, separator});
}

void TChartView::SetHome() {
    home.clear();
    for (QAbstractAxis* axis : chart()->axes()) {
        double min = 0.0;
        double max = 0.0;
        if (AxisRange(axis, min, max)) home.insert(axis, {min, max});
    }
}

QPointF TChartView::ValueAt(QPoint position) const {
    return chart()->mapToValue(chart()->mapFromScene(mapToScene(position)));
}

bool TChartView::InPlotArea(QPoint position) const {
    return chart()->plotArea().contains(chart()->mapFromScene(mapToScene(position)));
}

void TChartView::ZoomOut() {
    for (auto entry = home.cbegin(); entry != home.cend(); ++entry) {
        double min = 0.0;
        double max = 0.0;
        if (!AxisRange(entry.key(), min, max)) continue;
        const auto [low, high] = entry.value();
        if (auto* log = qobject_cast<QLogValueAxis*>(entry.key())) {
            if (!(min > 0.0 && low > 0.0)) continue;
            const auto [from, to] =
                Widened(std::log10(min), std::log10(max), std::log10(low), std::log10(high));
            log->setRange(std::pow(10.0, from), std::pow(10.0, to));
        } else {
            const auto [from, to] = Widened(min, max, low, high);
            entry.key()->setRange(from, to);
        }
    }
}

void TChartView::ResetZoom() {
    chart()->zoomReset();
    for (auto entry = home.cbegin(); entry != home.cend(); ++entry)
        entry.key()->setRange(entry.value().first, entry.value().second);
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    Q_EMIT MouseMoved(event->position().toPoint());
}

// The right button opens the context menu: it never zooms out past the
// data as the chart view's own right click would.
void TChartView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TChartView::leaveEvent(QEvent* event) {
    QChartView::leaveEvent(event);
    Q_EMIT MouseLeft();
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    QChartView::mouseDoubleClickEvent(event);
    Q_EMIT DoubleClicked();
}

void TChartView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        ResetZoom();
        event->accept();
        return;
    }
    QChartView::keyPressEvent(event);
}

} // namespace kestrova
