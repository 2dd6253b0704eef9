#pragma once

#include "ui/ChartGeometry.h"
#include "ui/Palette.h"

#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace quillfen {

// A single-series history chart: a smooth line over an area that fades from the line's colour
// to nothing at the bottom. Fills the width and height it is offered; fewer than two values
// draw nothing.
class QFSparkline : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::vector<double> values; // oldest first
        QFColor color = QFRole::cpu;
        double maxValue = 1.0; // drawn at the top
        double lineWidth = 1.5;
        double fillOpacity = 1.0;
        int capacity = 60;
    };

    explicit QFSparkline(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setValues(std::vector<double> values);
    void setMaxValue(double maxValue);

    // The curve's points in a box of `size`.
    std::vector<QPointF> points(QSizeF size) const;
    // A smooth path through `points`, closed along `closeAt` when given.
    static QPainterPath smoothPath(std::span<const QPointF> points,
                                   std::optional<double> closeAt = {});

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Paints a sparkline into `box`, clipped to it.
void qfPaintSparkline(QPainter& painter, const QRectF& box, const QFSparkline::Options& line);
// The same from the series itself, copying nothing.
void qfPaintSparkline(QPainter& painter, const QRectF& box, std::span<const double> values,
                      const QColor& color, double maxValue, double lineWidth = 1.5,
                      double fillOpacity = 1.0, int capacity = 60);

} // namespace quillfen
