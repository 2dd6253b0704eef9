#pragma once

#include "ui/ChartGeometry.h"
#include "ui/Palette.h"

#include <QWidget>

#include <vector>

class QPainter;

namespace quillfen {

// Two series stacked as bands, for example user and system CPU: `a` below, `b` on top of
// it, each band fading downwards, each curve stroked. Fills the offered width; `height` high.
class QFStackedSparkline : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::vector<double> a, b;
        QFColor colorA = QFRole::cpu;
        QFColor colorB = QFRole::sys;
        double height = 36;
        double minMax = 1.0; // the least the top may stand for
        int capacity = 60;
    };

    explicit QFStackedSparkline(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setSeries(std::vector<double> a, std::vector<double> b);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Paints the stacked chart into `box` (its height is the chart's), clipped to it.
void qfPaintStackedSparkline(QPainter& painter, const QRectF& box,
                             const QFStackedSparkline::Options& chart);
// The same from the series themselves, copying nothing.
void qfPaintStackedSparkline(QPainter& painter, const QRectF& box, std::span<const double> a,
                             std::span<const double> b, const QColor& colorA, const QColor& colorB,
                             double minMax = 1.0, int capacity = 60);

} // namespace quillfen
