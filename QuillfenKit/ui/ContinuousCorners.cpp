#include "ui/ContinuousCorners.h"

#include <QPainter>

#include <algorithm>

namespace quillfen {
namespace {

// How far past the radius the corner curve runs into the edges.
constexpr double kRunIn = 0.28;
// Where a quarter circle passes the corner's diagonal, as a fraction of its radius (1 − √½).
constexpr double kArcMiddle = 0.29289321881345254;

} // namespace

QPainterPath qfContinuousRect(const QRectF& rect, double radius) {
    QPainterPath path;
    const QRectF r = rect.normalized();
    const double half = std::min(r.width(), r.height()) / 2;
    const double rad = std::clamp(radius, 0.0, half);
    if (rad <= 0) {
        path.addRect(r);
        return path;
    }
    // The run-in shrinks to nothing as the radius reaches half the shorter side.
    const double runIn = std::clamp(half / rad - 1, 0.0, kRunIn);
    const double a = rad * (1 + runIn); // where the curve leaves the edge
    // Control points on the edges, placed so the curve's middle meets the circular arc's:
    // B(½) = (a + 3c) / 8 along each axis.
    const double c = (8 * kArcMiddle * rad - a) / 3;
    const double l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();

    path.moveTo(l + a, t);
    path.lineTo(rt - a, t);
    path.cubicTo(rt - c, t, rt, t + c, rt, t + a);
    path.lineTo(rt, b - a);
    path.cubicTo(rt, b - c, rt - c, b, rt - a, b);
    path.lineTo(l + a, b);
    path.cubicTo(l + c, b, l, b - c, l, b - a);
    path.lineTo(l, t + a);
    path.cubicTo(l, t + c, l + c, t, l + a, t);
    path.closeSubpath();
    return path;
}

void qfFillContinuous(QPainter& painter, const QRectF& rect, double radius, const QBrush& brush) {
    painter.fillPath(qfContinuousRect(rect, radius), brush);
}

void qfStrokeBorder(QPainter& painter, const QRectF& rect, double radius, const QColor& color,
                    double width) {
    const double inset = width / 2;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(qfContinuousRect(rect.adjusted(inset, inset, -inset, -inset),
                                      std::max(0.0, radius - inset)));
    painter.restore();
}

} // namespace quillfen
