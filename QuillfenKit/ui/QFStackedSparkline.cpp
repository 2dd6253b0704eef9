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
    const double scale = qfDeviceScale(painter);
    // Painting runs on the main thread only; the buffers are kept so that a repaint does not
    // allocate.
    static std::vector<QPointF> lower, band, scratch;
    lower.clear();
    band.clear();
    qfFlattenSmooth(lower, g.lower, scale);
    qfFlattenSmooth(band, g.upper, scale);
    const std::size_t lowerLine = lower.size(), upperLine = band.size();
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.translate(box.topLeft());
    painter.setPen(Qt::NoPen);

    // Lower band: under the lower curve down to the bottom edge.
    lower.emplace_back(g.lower.back().x(), h);
    lower.emplace_back(g.lower.front().x(), h);
    QLinearGradient fadeA(0, 0, 0, h);
    fadeA.setColorAt(0, QF::withOpacity(colorA, 0.5));
    fadeA.setColorAt(1, QF::withOpacity(colorA, 0.08));
    painter.setBrush(fadeA);
    qfFillUnder(painter, lower);

    // Upper band: along the upper curve, straight down at the right end and back along the
    // lower one.
    qfFlattenSmooth(band, g.lower, scale, true);
    QLinearGradient fadeB(0, 0, 0, h);
    fadeB.setColorAt(0, QF::withOpacity(colorB, 0.62));
    fadeB.setColorAt(1, QF::withOpacity(colorB, 0.12));
    painter.setBrush(fadeB);
    qfFillUnder(painter, band);

    const double width = qfChartStroke().lineWidth;
    qfStrokeRibbon(painter, std::span(lower).first(lowerLine), width, colorA, scratch);
    qfStrokeRibbon(painter, std::span(band).first(upperLine), width, colorB, scratch);
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
