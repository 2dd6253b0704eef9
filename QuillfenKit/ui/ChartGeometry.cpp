#include "ui/ChartGeometry.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace quillfen {
namespace {

// A sample that is not a number counts as 0; histories come from another process.
double finite(double v) {
    return std::isfinite(v) ? v : 0.0;
}

double clamped(double v, double hi) {
    return std::clamp(finite(v), 0.0, std::max(hi, 0.0));
}

template <typename It> void appendSmooth(QPainterPath& path, It first, It last, bool move) {
    if (first == last) return;
    QPointF previous = *first;
    if (move)
        path.moveTo(previous);
    else
        path.lineTo(previous);
    for (auto it = std::next(first); it != last; ++it) {
        const QPointF p = *it;
        const double mx = (previous.x() + p.x()) * 0.5;
        path.cubicTo(QPointF(mx, previous.y()), QPointF(mx, p.y()), p);
        previous = p;
    }
}

template <typename It>
void flattenSmooth(std::vector<QPointF>& out, It first, It last, double scale) {
    if (first == last) return;
    QPointF previous = *first;
    out.push_back(previous);
    for (auto it = std::next(first); it != last; ++it) {
        const QPointF p = *it;
        const double mx = (previous.x() + p.x()) * 0.5;
        const double wide = std::abs(p.x() - previous.x()) * scale;
        const int pieces = std::clamp(int(std::ceil(wide / 3)), 1, 16);
        // B(t) with the control points (mx, y0) and (mx, y1).
        for (int k = 1; k < pieces; ++k) {
            const double t = double(k) / pieces, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            out.emplace_back(a * previous.x() + (b + c) * mx + d * p.x(),
                             (a + b) * previous.y() + (c + d) * p.y());
        }
        out.push_back(p);
        previous = p;
    }
}

double step(double width, int capacity) {
    return capacity < 2 ? 0.0 : width / double(capacity - 1);
}

} // namespace

std::vector<double> qfXs(int count, double width, int capacity) {
    std::vector<double> xs;
    if (count < 1) return xs;
    const double s = step(width, capacity);
    xs.reserve(std::size_t(count));
    const double first = width - s * double(count - 1);
    for (int i = 0; i < count; ++i)
        xs.push_back(first + s * double(i));
    return xs;
}

void qfAppendSmooth(QPainterPath& path, std::span<const QPointF> points, bool move) {
    appendSmooth(path, points.begin(), points.end(), move);
}

void qfAppendSmoothReversed(QPainterPath& path, std::span<const QPointF> points, bool move) {
    appendSmooth(path, points.rbegin(), points.rend(), move);
}

void qfFlattenSmooth(std::vector<QPointF>& out, std::span<const QPointF> points, double scale,
                     bool reversed) {
    if (reversed)
        flattenSmooth(out, points.rbegin(), points.rend(), scale);
    else
        flattenSmooth(out, points.begin(), points.end(), scale);
}

namespace {

void ribbon(QPainter& painter, std::span<const QPointF> line, double width, const QColor& color,
            std::vector<QPointF>& scratch) {
    const std::size_t n = line.size();
    if (n < 2) return;
    const double half = width / 2;
    // The unit direction of the piece from line[i] to line[i + 1] (null when it has no length).
    const auto direction = [&](std::size_t i) {
        const QPointF d = line[i + 1] - line[i];
        const double len = std::hypot(d.x(), d.y());
        return len > 1e-9 ? d / len : QPointF(0, 0);
    };
    const auto normalOf = [](QPointF d) { return QPointF(-d.y(), d.x()); };
    // One side forward, a round cap, the other side back, a round cap: one polygon, filled
    // once, so a translucent line is blended once everywhere.
    constexpr int kCapSteps = 6;
    scratch.resize(2 * n + 2 * (kCapSteps - 1));
    const std::size_t back = scratch.size() - 1;
    QPointF previous = direction(0), first = previous, last = previous;
    for (std::size_t i = 0; i < n; ++i) {
        QPointF next = i + 1 < n ? direction(i) : previous;
        if (next.isNull()) next = previous;
        if (previous.isNull()) previous = next;
        if (i == 0) first = next;
        last = next;
        // A mitred offset keeps the ribbon `width` wide through a turn; sharp turns are cut off
        // at twice the width, where a round join would bulge no further.
        QPointF m = normalOf(previous) + normalOf(next);
        const double len = std::hypot(m.x(), m.y());
        m = len > 1e-9 ? m / len : normalOf(next);
        const QPointF nn = normalOf(next);
        const double cosHalf = std::max(m.x() * nn.x() + m.y() * nn.y(), 0.5);
        const QPointF offset = m * (half / cosHalf);
        scratch[i] = line[i] + offset;
        scratch[back - (kCapSteps - 1) - i] = line[i] - offset;
        previous = next;
    }
    for (int k = 1; k < kCapSteps; ++k) {
        const double phi = M_PI * k / kCapSteps, c = std::cos(phi), s = std::sin(phi);
        scratch[n - 1 + std::size_t(k)] = line[n - 1] + (normalOf(last) * c + last * s) * half;
        scratch[back - std::size_t(kCapSteps - 1) + std::size_t(k)] =
            line[0] + (normalOf(first) * -c - first * s) * half;
    }
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(scratch.data(), int(scratch.size()), Qt::WindingFill);
    painter.restore();
}

// Pieces per polygon when the line is opaque. The antialiasing rasterizer slows down sharply
// once a polygon's outline no longer fits its working memory; short runs that overlap by one
// piece cost less than half as much, and an opaque colour does not show the overlaps.
constexpr std::size_t kRun = 24;

} // namespace

void qfStrokeRibbon(QPainter& painter, std::span<const QPointF> line, double width,
                    const QColor& color, std::vector<QPointF>& scratch) {
    if (color.alpha() < 255 || line.size() <= kRun + 1)
        return ribbon(painter, line, width, color, scratch);
    for (std::size_t i = 0; i + 1 < line.size(); i += kRun)
        ribbon(painter, line.subspan(i, std::min(kRun + 1, line.size() - i)), width, color,
               scratch);
}

void qfFillUnder(QPainter& painter, std::span<const QPointF> outline) {
    const bool antialiased = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawPolygon(outline.data(), int(outline.size()));
    painter.setRenderHint(QPainter::Antialiasing, antialiased);
}

QPen QFStrokeStyle::pen(const QColor& color) const {
    QPen p(color, lineWidth, Qt::SolidLine, cap, join);
    p.setMiterLimit(miterLimit);
    if (!dashPattern.isEmpty()) {
        p.setDashPattern(dashPattern);
        p.setDashOffset(dashPhase);
    }
    return p;
}

const QFStrokeStyle& qfChartStroke() {
    static const QFStrokeStyle style{1.6, Qt::RoundCap, Qt::RoundJoin, 10, {}, 0};
    return style;
}

std::vector<QPointF> qfSparklinePoints(std::span<const double> values, double maxValue,
                                       int capacity, QSizeF size) {
    std::vector<QPointF> points;
    const auto n = values.size();
    if (n < 2) return points;
    const double h = size.height();
    const double s = step(size.width(), capacity);
    const double span = h <= 2 ? 0.0 : h - 2;
    // (height − 2) / max × v, as a share of the maximum so that a tiny maximum cannot overflow.
    const double top = std::max(maxValue, std::numeric_limits<double>::min());
    const double first = size.width() - s * double(n - 1);
    points.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        points.emplace_back(first + s * double(i),
                            h - span * (clamped(values[i], maxValue) / top) - 1);
    return points;
}

QPainterPath qfSmoothPath(std::span<const QPointF> points, std::optional<double> closeAt) {
    QPainterPath path;
    path.reserve(int(points.size()) * 3 + 4);
    qfAppendSmooth(path, points, true);
    if (closeAt && !points.empty()) {
        path.lineTo(points.back().x(), *closeAt);
        path.lineTo(points.front().x(), *closeAt);
        path.closeSubpath();
    }
    return path;
}

QFStackedGeometry qfStackedGeometry(std::span<const double> a, std::span<const double> b,
                                    double minMax, int capacity, QSizeF size) {
    QFStackedGeometry g;
    const std::size_t n = std::min(a.size(), b.size());
    double top = 0;
    for (std::size_t i = 0; i < n; ++i)
        top = std::max(top, finite(a[i]) + finite(b[i]));
    g.ceiling = std::max(top, minMax);
    const double h = size.height();
    const double span = h <= 2 || !(g.ceiling > 0) ? 0.0 : h - 2;
    const auto y = [&](double v) {
        return span > 0 ? h - span * (clamped(v, g.ceiling) / g.ceiling) - 1 : h - 1;
    };
    const auto xs = qfXs(int(n), size.width(), capacity);
    g.lower.reserve(n);
    g.upper.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        g.lower.emplace_back(xs[i], y(a[i]));
        g.upper.emplace_back(xs[i], y(finite(a[i]) + finite(b[i])));
    }
    return g;
}

QFMirrorGeometry qfMirrorGeometry(std::span<const double> up, std::span<const double> down,
                                  double minMax, int capacity, QSizeF size) {
    QFMirrorGeometry g;
    g.mid = size.height() * 0.5;
    double peak = minMax;
    for (const double v : up)
        peak = std::max(peak, finite(v));
    for (const double v : down)
        peak = std::max(peak, finite(v));
    g.peak = peak;
    const std::size_t n = std::min(up.size(), down.size());
    const auto xs = qfXs(int(n), size.width(), capacity);
    const double amp = std::max(g.mid - 1, 0.0);
    const auto share = [&](double v) {
        return peak > 0 ? std::clamp(finite(v) / peak, 0.0, 1.0) : 0.0;
    };
    g.up.reserve(n);
    g.down.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        g.up.emplace_back(xs[i], g.mid - amp * share(up[i]));
        g.down.emplace_back(xs[i], g.mid + amp * share(down[i]));
    }
    return g;
}

} // namespace quillfen
