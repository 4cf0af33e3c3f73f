// TMapView: an image control of fixed size showing a map bitmap at its
// top-left corner and reporting mouse movement over it.
#pragma once

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace kestrova {

class TMapView : public QLabel {
    Q_OBJECT
public:
    TMapView(const char* name, int width, int height, QWidget* parent) : QLabel(parent) {
        setObjectName(QString::fromLatin1(name));
        setFixedSize(width, height);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setMouseTracking(true);
        setStyleSheet(QStringLiteral("background: white"));
    }

    // Draws the bitmap at (0, 0); the previous picture stays where the new
    // one does not cover it (a null bitmap changes nothing).
    void Draw(const QImage& bitmap) {
        if (bitmap.isNull()) return;
        QPixmap picture = pixmap();
        if (picture.size() != size()) {
            picture = QPixmap(size());
            picture.fill(Qt::white);
        }
        QPainter painter(&picture);
        painter.drawImage(0, 0, bitmap);
        painter.end();
        setPixmap(picture);
    }
    // The picture shown, as an image (for the readout and the tests).
    QImage Picture() const { return pixmap().toImage(); }

Q_SIGNALS:
    void MouseMoved(QPoint position);

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        QLabel::mouseMoveEvent(event);
        Q_EMIT MouseMoved(event->position().toPoint());
    }
};

} // namespace kestrova
