#pragma once

#include "ui/Palette.h"

#include <QUuid>
#include <QWidget>

#include <vector>

namespace quillfen {

// Shares of a whole side by side, for example memory by kind: one plain rectangle per
// segment, `gap` apart, on a `fill2` bar clipped to a rounded rectangle.
class QFSegBar : public QWidget {
    Q_OBJECT

public:
    struct Segment {
        QUuid id = QUuid::createUuid();
        double value = 0;
        QFColor color = QFRole::cpu;
    };

    struct Options {
        std::vector<Segment> segments;
        double height = 6;
        double radius = 3;
        double gap = 2;
    };

    explicit QFSegBar(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setSegments(std::vector<Segment> segments);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// The width of each segment in a bar `width` wide: total = the sum of the values (at least the
// smallest positive double), available = width − gap × (count − 1), not below 0; each segment
// is available × value / total. Negative or non-numeric values count as 0.
std::vector<double> qfSegBarWidths(const std::vector<double>& values, double width, double gap);

} // namespace quillfen
