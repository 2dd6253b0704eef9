#pragma once

#include "ui/Palette.h"

#include <QWidget>

class QPainter;

namespace quillfen {

// A load as a ring: a `track` circle and, over it, an arc from twelve o'clock clockwise over
// the fraction `value` (clamped to 0…1) in `color` with round caps; an optional centre view.
// The circle's stroke stays inside the `size` × `size` box.
class QFRing : public QWidget {
    Q_OBJECT

public:
    struct Options {
        double value = 0;
        double size = 50;
        double stroke = 4;
        QFColor color = QFRole::cpu;
    };

    explicit QFRing(Options options, QWidget* center = nullptr, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setValue(double value);
    // Replaces the centre view (deleting the previous one); null removes it.
    void setCenter(QWidget* center);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void placeCenter();

    Options o_;
    QWidget* center_ = nullptr;
};

// The drawn fraction: `value` clamped to 0…1 (not a number counts as 0).
double qfRingFraction(double value);

// Paints the ring centred in `box`.
void qfPaintRing(QPainter& painter, const QRectF& box, const QFRing::Options& ring);

} // namespace quillfen
