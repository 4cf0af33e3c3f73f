// TChartView: a chart view that zooms by dragging a rectangle and reports
// mouse movement, the mouse leaving, and double-clicks.
#pragma once

#include <QChartView>
#include <QMouseEvent>

namespace kestrova {

class TChartView : public QChartView {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent) : QChartView(parent) {
        setRubberBand(QChartView::RectangleRubberBand);
        setMouseTracking(true);
        viewport()->setMouseTracking(true);
        setRenderHint(QPainter::Antialiasing);
    }

Q_SIGNALS:
    void MouseMoved(QPoint position); // in view coordinates
    void MouseLeft();
    void DoubleClicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QChartView::mouseMoveEvent(event);
        Q_EMIT MouseMoved(event->position().toPoint());
    }
    void leaveEvent(QEvent* event) override {
        QChartView::leaveEvent(event);
        Q_EMIT MouseLeft();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QChartView::mouseDoubleClickEvent(event);
        Q_EMIT DoubleClicked();
    }
};

} // namespace kestrova
