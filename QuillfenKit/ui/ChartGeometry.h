#pragma once

#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QSizeF>

class QPainter;

#include <optional>
#include <span>
#include <vector>

namespace quillfen {

// X positions of `count` evenly spaced samples of a history that holds `capacity` when full,
// newest at `width`: x(i) = width − step × (count − 1) + step × i with step = width /
// (capacity − 1), or 0 when capacity is below 2. A history that is not yet full grows in from
// the right; samples beyond capacity lie left of 0.
std::vector<double> qfXs(int count, double width, int capacity);

// Extends `path` with a smooth curve through `points`: to the first point it moves (`move`)
// or draws a straight line from the path's current point; to each further point a cubic whose
// control points sit halfway across at the heights of the two ends, so the curve leaves and
// enters every sample horizontally and never overshoots between two of them.
void qfAppendSmooth(QPainterPath& path, std::span<const QPointF> points, bool move);
// The same through the points in reverse order.
void qfAppendSmoothReversed(QPainterPath& path, std::span<const QPointF> points, bool move);

// The same curve as qfAppendSmooth, appended to `out` as straight pieces at most about 3 device
// pixels wide (`scale` device pixels per point), through the points in reverse order when
// asked: indistinguishable on screen, and far cheaper to fill and stroke than the curves
// themselves, which charts repaint every second.
void qfFlattenSmooth(std::vector<QPointF>& out, std::span<const QPointF> points, double scale,
                     bool reversed = false);

// Strokes the polyline `line` as a ribbon `width` wide with round ends. The charts' lines are
// smooth curves cut into short straight pieces, whose joins turn by small angles only; filling
// the ribbon costs a fraction of a general stroke. `scratch` is reused between calls.
void qfStrokeRibbon(QPainter& painter, std::span<const QPointF> line, double width,
                    const QColor& color, std::vector<QPointF>& scratch);

// Fills the polygon `outline` with the painter's brush. The edges that curve run under the
// chart's lines, which hide them, so the area is filled without antialiasing: that is most
// of the cost of a chart.
void qfFillUnder(QPainter& painter, std::span<const QPointF> outline);

// The stroke of chart lines: 1.6 wide, round caps and joins, miter limit 10, solid.
struct QFStrokeStyle {
    double lineWidth;
    Qt::PenCapStyle cap;
    Qt::PenJoinStyle join;
    double miterLimit;
    QList<qreal> dashPattern; // empty: solid
    double dashPhase;

    QPen pen(const QColor& color) const;
};
const QFStrokeStyle& qfChartStroke();

// The points of a single-series sparkline in a `size` box: none below two values; x as qfXs;
// y = height − scale × v − 1 with v the value clamped to 0…maxValue and scale = (height − 2) /
// maxValue (0 when the box is 2 high or less), so 0 lies one point above the bottom edge and
// maxValue one point below the top.
std::vector<QPointF> qfSparklinePoints(std::span<const double> values, double maxValue,
                                       int capacity, QSizeF size);

// A smooth open path through `points`; with `closeAt`, closed along that height under them.
QPainterPath qfSmoothPath(std::span<const QPointF> points, std::optional<double> closeAt = {});

// Two series stacked: the lower through a, the upper through a + b, over the first n = min
// of the two counts. The top stands for `ceiling`: the largest a + b, raised to `minMax`.
struct QFStackedGeometry {
    double ceiling = 0;
    std::vector<QPointF> lower, upper;
};
QFStackedGeometry qfStackedGeometry(std::span<const double> a, std::span<const double> b,
                                    double minMax, int capacity, QSizeF size);

// Two series mirrored about the middle: `up` rises above it, `down` hangs below, both scaled
// to `peak` (the largest sample of either, raised to `minMax`) over half the height less a
// point.
struct QFMirrorGeometry {
    double mid = 0, peak = 0;
    std::vector<QPointF> up, down;
};
QFMirrorGeometry qfMirrorGeometry(std::span<const double> up, std::span<const double> down,
                                  double minMax, int capacity, QSizeF size);

} // namespace quillfen
