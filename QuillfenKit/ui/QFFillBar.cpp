#include "ui/QFFillBar.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {

double qfFillBarWidth(double fraction, double width) {
    if (!(fraction > 0) || !(width > 0)) return 0;
    return width * std::min(fraction, 1.0);
}

QFFillBar::QFFillBar(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(options) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFFillBar::setOptions(Options options) {
    o_ = options;
    updateGeometry();
    update();
}

void QFFillBar::setFraction(double fraction) {
    o_.fraction = fraction;
    update();
}

void QFFillBar::setColor(QFColor color) {
    o_.color = color;
    update();
}

QSize QFFillBar::sizeHint() const {
    return {60, int(std::ceil(o_.height))};
}

void QFFillBar::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF track(0, (height() - o_.height) / 2, width(), o_.height);
    qfFillContinuous(p, track, o_.radius, QF::track());
    if (const double w = qfFillBarWidth(o_.fraction, width()); w > 0)
        qfFillContinuous(p, QRectF(track.topLeft(), QSizeF(w, o_.height)), o_.radius,
                         o_.color.resolve());
}

} // namespace quillfen
