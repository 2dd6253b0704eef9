#include "ui/QFSegBar.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFView.h"

#include <cmath>
#include <limits>

namespace quillfen {
namespace {

double usable(double v) {
    return v > 0 && std::isfinite(v) ? v : 0;
}

} // namespace

std::vector<double> qfSegBarWidths(const std::vector<double>& values, double width, double gap) {
    std::vector<double> widths;
    if (values.empty()) return widths;
    double total = 0;
    for (const double v : values)
        total += usable(v);
    total = std::max(total, std::numeric_limits<double>::min());
    const double available = std::max(0.0, width - gap * double(values.size() - 1));
    widths.reserve(values.size());
    for (const double v : values)
        widths.push_back(available * usable(v) / total);
    return widths;
}

QFSegBar::QFSegBar(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFSegBar::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFSegBar::setSegments(std::vector<Segment> segments) {
    o_.segments = std::move(segments);
    update();
}

QSize QFSegBar::sizeHint() const {
    return {80, int(std::ceil(o_.height))};
}

void QFSegBar::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF bar(0, (height() - o_.height) / 2, width(), o_.height);
    const QPainterPath shape = qfContinuousRect(bar, o_.radius);
    p.fillPath(shape, QF::fill2());
    std::vector<double> values;
    values.reserve(o_.segments.size());
    for (const auto& s : o_.segments)
        values.push_back(s.value);
    const auto widths = qfSegBarWidths(values, bar.width(), o_.gap);
    double x = bar.left();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        if (widths[i] > 0) {
            QPainterPath segment;
            segment.addRect(QRectF(x, bar.top(), widths[i], bar.height()));
            // Intersected rather than clipped, so the rounded ends stay antialiased.
            p.fillPath(shape.intersected(segment), o_.segments[i].color.resolve());
        }
        x += widths[i] + o_.gap;
    }
}

} // namespace quillfen
