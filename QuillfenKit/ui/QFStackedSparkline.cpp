#include "ui/QFStackedSparkline.h"

#include "ui/QFView.h"

#include <cmath>

namespace quillfen {

void qfPaintStackedSparkline(QPainter& painter, const QRectF& box,
                             const QFStackedSparkline::Options& o) {
    qfPaintStackedSparkline(painter, box, o.a, o.b, o.colorA.resolve(), o.colorB.resolve(),
                            o.minMax, o.capacity);
}

void qfPaintStackedSparkline(QPainter& painter, const QRectF& box, std::span<const double> a,
                             std::span<const double> b, const QColor& colorA, const QColor& colorB,
                             double minMax, int capacity) {
    const auto g = qfStackedGeometry(a, b, minMax, capacity, box.size());
    if (g.lower.size() < 2) return;
    const double h = box.height();
    const int reserve = int(g.lower.size()) * 6 + 8;
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.translate(box.topLeft());

    QPainterPath lowerBand;
    lowerBand.reserve(reserve);
    qfAppendSmooth(lowerBand, g.lower, true);
    lowerBand.lineTo(g.lower.back().x(), h);
    lowerBand.lineTo(g.lower.front().x(), h);
    lowerBand.closeSubpath();
    QLinearGradient fadeA(0, 0, 0, h);
    fadeA.setColorAt(0, QF::withOpacity(colorA, 0.5));
    fadeA.setColorAt(1, QF::withOpacity(colorA, 0.08));
    painter.fillPath(lowerBand, fadeA);

    QPainterPath upperBand;
    upperBand.reserve(reserve);
    qfAppendSmooth(upperBand, g.upper, true);
    qfAppendSmoothReversed(upperBand, g.lower, false);
    upperBand.closeSubpath();
    QLinearGradient fadeB(0, 0, 0, h);
    fadeB.setColorAt(0, QF::withOpacity(colorB, 0.62));
    fadeB.setColorAt(1, QF::withOpacity(colorB, 0.12));
    painter.fillPath(upperBand, fadeB);

    const auto& stroke = qfChartStroke();
    painter.strokePath(qfSmoothPath(g.lower), stroke.pen(colorA));
    painter.strokePath(qfSmoothPath(g.upper), stroke.pen(colorB));
    painter.restore();
}

QFStackedSparkline::QFStackedSparkline(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFStackedSparkline::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFStackedSparkline::setSeries(std::vector<double> a, std::vector<double> b) {
    o_.a = std::move(a);
    o_.b = std::move(b);
    update();
}

QSize QFStackedSparkline::sizeHint() const {
    return {120, int(std::ceil(o_.height))};
}

void QFStackedSparkline::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintStackedSparkline(p, QRectF(0, 0, width(), o_.height), o_);
}

} // namespace quillfen
