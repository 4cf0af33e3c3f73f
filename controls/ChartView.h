// TChartView: a chart view that zooms in by dragging a rectangle, zooms out
// no further than the data (its "home" ranges), returns to them on Home or
// from its context menu, and reports mouse movement, the mouse leaving, and
// double-clicks. Its context menu holds "Zoom out" and "Reset zoom" (the
// actions ZoomOut and ResetZoom), then whatever else is added to it.
#pragma once

#include <QChartView>
#include <QHash>
#include <QPair>

class QAction;

namespace kestrova {

class TChartView : public QChartView {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent);

    // The axes' present ranges become the home ranges: the data's extent,
    // which a zoom out never passes and a reset returns to.
    void SetHome();
    // The chart's values under a point of the view (in view coordinates).
    QPointF ValueAt(QPoint position) const;
    // Whether the point lies in the chart's plot area.
    bool InPlotArea(QPoint position) const;

public Q_SLOTS:
    // Twice the span about the same centre, within the home ranges.
    void ZoomOut();
    // The home ranges.
    void ResetZoom();

Q_SIGNALS:
    void MouseMoved(QPoint position); // in view coordinates
    void MouseLeft();
    void DoubleClicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QHash<QAbstractAxis*, QPair<double, double>> home;
};

} // namespace kestrova
