#include "ui/QFIconChip.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFView.h"
#include "ui/Symbols.h"

#include <cmath>

namespace quillfen {

QFIconChip::QFIconChip(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFIconChip::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFIconChip::setSystemName(std::string name) {
    o_.systemName = std::move(name);
    update();
}

void QFIconChip::setColor(QFColor color) {
    o_.color = color;
    update();
}

QSize QFIconChip::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFIconChip::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const double side = o_.size;
    qfPaintIconChip(p, QPointF((width() - side) / 2, (height() - side) / 2), o_);
}

void qfPaintIconChip(QPainter& painter, const QPointF& topLeft, const QFIconChip::Options& chip) {
    const QColor color = chip.color.resolve();
    const QRectF box(topLeft, QSizeF(chip.size, chip.size));
    qfFillContinuous(painter, box, QFIconChip::cornerRadius,
                     QF::withOpacity(color, QFIconChip::tileOpacity));
    qfPaintSymbol(painter, box, chip.systemName, chip.glyph, QFont::DemiBold, color);
}

} // namespace quillfen
