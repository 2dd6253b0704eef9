#include "ui/QFRing.h"

#include "ui/QFView.h"

#include <QPainterPath>

#include <cmath>

namespace quillfen {

double qfRingFraction(double value) {
    if (!(value > 0)) return 0;
    return std::min(value, 1.0);
}

void qfPaintRing(QPainter& painter, const QRectF& box, const QFRing::Options& ring) {
    const double side = ring.size - ring.stroke;
    if (side <= 0) return;
    const QRectF circle(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QF::track(), ring.stroke, Qt::SolidLine, Qt::FlatCap));
    painter.drawEllipse(circle);
    if (const double fraction = qfRingFraction(ring.value); fraction > 0) {
        QPen pen(ring.color.resolve(), ring.stroke, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        QPainterPath arc;
        arc.arcMoveTo(circle, 90);
        // Negative sweeps run clockwise on screen.
        arc.arcTo(circle, 90, -360 * fraction);
        painter.drawPath(arc);
    }
    painter.restore();
}

QFRing::QFRing(Options options, QWidget* center, QWidget* parent)
    : QWidget(parent)
    , o_(options) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCenter(center);
}

void QFRing::setOptions(Options options) {
    o_ = options;
    updateGeometry();
    placeCenter();
    update();
}

void QFRing::setValue(double value) {
    o_.value = value;
    update();
}

void QFRing::setCenter(QWidget* center) {
    if (center_ == center) return;
    delete center_;
    center_ = center;
    if (center_) {
        center_->setParent(this);
        center_->show();
        placeCenter();
    }
}

QSize QFRing::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFRing::placeCenter() {
    if (!center_) return;
    const QSize s = center_->sizeHint().boundedTo(size());
    center_->setGeometry((width() - s.width()) / 2, (height() - s.height()) / 2, s.width(),
                         s.height());
}

void QFRing::resizeEvent(QResizeEvent*) {
    placeCenter();
}

void QFRing::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintRing(p, rect(), o_);
}

} // namespace quillfen
