#include "ui/QFMirrorSparkline.h"

#include "ui/QFView.h"

#include <cmath>

namespace quillfen {
namespace {

// Fills between the flattened curve `line` and the centre line; `line` is left as it was.
void fillHalf(QPainter& painter, std::vector<QPointF>& line, double firstX, double lastX,
              double mid, const QLinearGradient& fade) {
    const std::size_t n = line.size();
    line.emplace_back(lastX, mid);
    line.emplace_back(firstX, mid);
    painter.setBrush(fade);
    qfFillUnder(painter, line);
    line.resize(n);
}

} // namespace

void qfPaintMirrorSparkline(QPainter& painter, const QRectF& box,
                            const QFMirrorSparkline::Options& o) {
    qfPaintMirrorSparkline(painter, box, o.up, o.down, o.colorUp.resolve(), o.colorDown.resolve(),
                           o.minMax, o.capacity);
}

void qfPaintMirrorSparkline(QPainter& painter, const QRectF& box, std::span<const double> up,
                            std::span<const double> down, const QColor& colorUp,
                            const QColor& colorDown, double minMax, int capacity) {
    const auto g = qfMirrorGeometry(up, down, minMax, capacity, box.size());
    if (g.up.size() < 2) return;
    const double h = box.height();
    const double scale = qfDeviceScale(painter);
    // Painting runs on the main thread only; the buffers are kept so that a repaint does not
    // allocate.
    static std::vector<QPointF> upLine, downLine, scratch;
    upLine.clear();
    downLine.clear();
    qfFlattenSmooth(upLine, g.up, scale);
    qfFlattenSmooth(downLine, g.down, scale);
    const double firstX = g.up.front().x(), lastX = g.up.back().x();
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.translate(box.topLeft());
    painter.setPen(Qt::NoPen);

    QLinearGradient fadeUp(0, 0, 0, h);
    fadeUp.setColorAt(0, QF::withOpacity(colorUp, 0.5));
    fadeUp.setColorAt(1, QF::withOpacity(colorUp, 0.05));
    fillHalf(painter, upLine, firstX, lastX, g.mid, fadeUp);
    QLinearGradient fadeDown(0, 0, 0, h);
    fadeDown.setColorAt(0, QF::withOpacity(colorDown, 0.05));
    fadeDown.setColorAt(1, QF::withOpacity(colorDown, 0.5));
    fillHalf(painter, downLine, firstX, lastX, g.mid, fadeDown);

    // The one-point centre line covers whole device pixels, so it stays sharp.
    const QTransform toDevice = painter.deviceTransform();
    const double edge = std::round((g.mid - 0.5) * toDevice.m22() + toDevice.dy());
    const double y = (edge - toDevice.dy()) / toDevice.m22() + 0.5;
    QPen centre(QF::withOpacity(QF::text4(), 0.6), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    centre.setMiterLimit(10);
    centre.setDashPattern({3, 3});
    centre.setDashOffset(0);
    painter.setPen(centre);
    painter.drawLine(QPointF(0, y), QPointF(box.width(), y));

    const double width = qfChartStroke().lineWidth;
    qfStrokeRibbon(painter, upLine, width, colorUp, scratch);
    qfStrokeRibbon(painter, downLine, width, colorDown, scratch);
    painter.restore();
}

QFMirrorSparkline::QFMirrorSparkline(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFMirrorSparkline::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFMirrorSparkline::setSeries(std::vector<double> up, std::vector<double> down) {
    o_.up = std::move(up);
    o_.down = std::move(down);
    update();
}

QSize QFMirrorSparkline::sizeHint() const {
    return {120, int(std::ceil(o_.height))};
}

void QFMirrorSparkline::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintMirrorSparkline(p, QRectF(0, 0, width(), o_.height), o_);
}

} // namespace quillfen
