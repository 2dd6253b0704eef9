#include "ui/QFDot.h"

#include "ui/QFView.h"

#include <cmath>

namespace quillfen {

QFDot::QFDot(QWidget* parent)
    : QFDot(Options{}, parent) {}

QFDot::QFDot(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(options) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFDot::setOptions(Options options) {
    o_ = options;
    updateGeometry();
    update();
}

void QFDot::setColor(QFColor color) {
    o_.color = color;
    update();
}

QSize QFDot::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFDot::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    p.setPen(Qt::NoPen);
    p.setBrush(o_.color.resolve());
    const QPointF c = QRectF(rect()).center();
    p.drawEllipse(c, o_.size / 2, o_.size / 2);
}

} // namespace quillfen
