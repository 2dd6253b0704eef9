#pragma once

#include "ui/Palette.h"

#include <QWidget>

namespace quillfen {

// A fraction as a bar across the offered width: a `track` rounded rectangle with a `color`
// one over the fraction (clamped to 0…1) from the leading edge.
class QFFillBar : public QWidget {
    Q_OBJECT

public:
    struct Options {
        double fraction = 0;
        QFColor color = QFRole::cpu;
        double height = 6;
        double radius = 3;
    };

    explicit QFFillBar(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setFraction(double fraction);
    void setColor(QFColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Width of the filled part: `width` × the fraction clamped to 0…1 (not a number counts as 0).
double qfFillBarWidth(double fraction, double width);

} // namespace quillfen
