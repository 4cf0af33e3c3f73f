// TPanel: a framed panel that reports a click anywhere on its free area.
#pragma once

#include <QFrame>
#include <QMouseEvent>

namespace kestrova {

class TPanel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

Q_SIGNALS:
    void Clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QFrame::mousePressEvent(event);
        Q_EMIT Clicked();
    }
};

} // namespace kestrova
