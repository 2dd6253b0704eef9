#pragma once

#include "ui/Palette.h"

#include <QWidget>

#include <vector>

namespace quillfen {

// One small bar per processor core, bottom-aligned in a row: a `track` box with the load
// filled from the bottom in `color`, never less than a 12 % stub so idle cores still show.
class QFCoreBars : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::vector<double> cores; // load fractions, one per core
        QFColor color = QFRole::cpu;
        double barWidth = 4;
        double spacing = 2;
        double height = 14;
    };

    explicit QFCoreBars(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setCores(std::vector<double> cores);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Width of the row: count × barWidth + (count − 1) × spacing (0 for no cores).
double qfCoreBarsWidth(std::size_t count, double barWidth, double spacing);
// Height of a core's fill: height × load with the load clamped to 0…1, at least 12 % of height.
double qfCoreBarFillHeight(double load, double height);

} // namespace quillfen
