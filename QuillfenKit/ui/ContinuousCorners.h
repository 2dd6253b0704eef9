#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;
class QBrush;

namespace quillfen {

// A rounded rectangle in the continuous style: each corner is one cubic curve that starts
// 1.28 × `radius` from the corner and meets the straight edges with a gentle rise in
// curvature, where a circular arc would jump to it. Its middle lies where the circular arc's
// would. Where the sides are too short for that run-in the corner tends to the circular arc,
// and a radius of half the shorter side or more makes a capsule.
QPainterPath qfContinuousRect(const QRectF& rect, double radius);

// Fills the continuous rounded rectangle.
void qfFillContinuous(QPainter& painter, const QRectF& rect, double radius, const QBrush& brush);

// A border: a line of `width` drawn just inside the continuous rounded rectangle, its centre
// inset by half the width (and the radius with it), so that it covers exactly the outer
// `width` of the shape.
void qfStrokeBorder(QPainter& painter, const QRectF& rect, double radius, const QColor& color,
                    double width = 1);

} // namespace quillfen
