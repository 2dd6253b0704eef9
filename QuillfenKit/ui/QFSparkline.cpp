#include "ui/QFSparkline.h"

#include "ui/QFView.h"

namespace quillfen {

void qfPaintSparkline(QPainter& painter, const QRectF& box, const QFSparkline::Options& o) {
    qfPaintSparkline(painter, box, o.values, o.color.resolve(), o.maxValue, o.lineWidth,
                     o.fillOpacity, o.capacity);
}

void qfPaintSparkline(QPainter& painter, const QRectF& box, std::span<const double> values,
                      const QColor& color, double maxValue, double lineWidth, double fillOpacity,
                      int capacity) {
    const auto pts = qfSparklinePoints(values, maxValue, capacity, box.size());
    if (pts.size() < 2) return;
    // Painting runs on the main thread only; the buffers are kept so that a repaint does not
    // allocate.
    static std::vector<QPointF> curve, scratch;
    curve.clear();
    qfFlattenSmooth(curve, pts, qfDeviceScale(painter));
    const std::size_t line = curve.size();
    const double h = box.height();
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.translate(box.topLeft());

    // The area under the line, closed along the bottom edge.
    curve.emplace_back(pts.back().x(), h);
    curve.emplace_back(pts.front().x(), h);
    QLinearGradient fade(0, 0, 0, h);
    fade.setColorAt(0, QF::withOpacity(color, fillOpacity * 0.45));
    fade.setColorAt(1, QF::withOpacity(color, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    qfFillUnder(painter, curve);

    qfStrokeRibbon(painter, std::span(curve).first(line), lineWidth,
                   QF::withOpacity(color, fillOpacity), scratch);
    painter.restore();
}

QFSparkline::QFSparkline(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void QFSparkline::setOptions(Options options) {
    o_ = std::move(options);
    update();
}

void QFSparkline::setValues(std::vector<double> values) {
    o_.values = std::move(values);
    update();
}

void QFSparkline::setMaxValue(double maxValue) {
    o_.maxValue = maxValue;
    update();
}

std::vector<QPointF> QFSparkline::points(QSizeF size) const {
    return qfSparklinePoints(o_.values, o_.maxValue, o_.capacity, size);
}

QPainterPath QFSparkline::smoothPath(std::span<const QPointF> points,
                                     std::optional<double> closeAt) {
    return qfSmoothPath(points, closeAt);
}

QSize QFSparkline::sizeHint() const {
    return {120, 28};
}

void QFSparkline::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintSparkline(p, rect(), o_);
}

} // namespace quillfen
