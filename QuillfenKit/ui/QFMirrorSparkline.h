#pragma once

#include "ui/ChartGeometry.h"
#include "ui/Palette.h"

#include <QWidget>

#include <vector>

class QPainter;

namespace quillfen {

// Two series mirrored about a dashed centre line, for example download above and upload
// below, both on one scale. Fills the offered width; `height` high.
class QFMirrorSparkline : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::vector<double> up, down;
        QFColor colorUp = QFRole::net;
        QFColor colorDown = QFRole::sys;
        double height = 48;
        double minMax = 1024; // the least a full half may stand for: idle noise stays flat
        int capacity = 60;
    };

    explicit QFMirrorSparkline(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setSeries(std::vector<double> up, std::vector<double> down);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Paints the mirrored chart into `box` (its height is the chart's), clipped to it.
void qfPaintMirrorSparkline(QPainter& painter, const QRectF& box,
                            const QFMirrorSparkline::Options& chart);
// The same from the series themselves, copying nothing.
void qfPaintMirrorSparkline(QPainter& painter, const QRectF& box, std::span<const double> up,
                            std::span<const double> down, const QColor& colorUp,
                            const QColor& colorDown, double minMax = 1024, int capacity = 60);

} // namespace quillfen
