#include "ui/QFStatTile.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {
namespace {

constexpr double kSpacing = 4, kSubSpacing = 4;

const QFont& labelFont() {
    static const QFont f = qf(9.5, QFont::DemiBold);
    return f;
}
const QFont& valueFont() {
    static const QFont f = qfMono(20, QFont::Medium);
    return f;
}
const QFont& subFont() {
    static const QFont f = qf(11);
    return f;
}

double valueRowHeight(bool hasSub) {
    const double ascent = std::max(qfAscent(valueFont()), hasSub ? qfAscent(subFont()) : 0.0);
    const double descent = std::max(qfLineHeight(valueFont()) - qfAscent(valueFont()),
                                    hasSub ? qfLineHeight(subFont()) - qfAscent(subFont()) : 0.0);
    return ascent + descent;
}

} // namespace

QFStatTile::QFStatTile(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFStatTile::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFStatTile::setValue(const QString& value) {
    if (value == o_.value) return;
    o_.value = value;
    update();
}

void QFStatTile::setSub(std::optional<QString> sub) {
    o_.sub = std::move(sub);
    update();
}

QSize QFStatTile::sizeHint() const {
    double row = qfTextWidth(o_.value, valueFont());
    if (o_.sub) row += kSubSpacing + qfTextWidth(*o_.sub, subFont());
    const double w = std::max(qfTextWidth(o_.label.toUpper(), labelFont()), row);
    // The height does not depend on whether there is a sub-text, so tiles of a row line up.
    const double h = qfLineHeight(labelFont()) + kSpacing + valueRowHeight(true);
    return {int(std::ceil(w + 2 * paddingH)), int(std::ceil(h + 2 * paddingV))};
}

QSize QFStatTile::minimumSizeHint() const {
    return {int(2 * paddingH), sizeHint().height()};
}

void QFStatTile::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    qfFillContinuous(p, r, cornerRadius, QF::fill1());
    qfStrokeBorder(p, r, cornerRadius, QF::border());

    const QRectF content = r.adjusted(paddingH, paddingV, -paddingH, -paddingV);
    const QColor text3 = QF::text3();
    qfDrawText(p, content.left(), content.top() + qfAscent(labelFont()), o_.label.toUpper(),
               labelFont(), text3, content.width());
    const double baseline = content.top() + qfLineHeight(labelFont()) + kSpacing +
                            std::max(qfAscent(valueFont()), qfAscent(subFont()));
    const double valueWidth = qfTextWidth(o_.value, valueFont());
    qfDrawText(p, content.left(), baseline, o_.value, valueFont(), o_.color.resolve(),
               content.width());
    if (o_.sub) {
        const double x = content.left() + valueWidth + kSubSpacing;
        qfDrawText(p, x, baseline, *o_.sub, subFont(), text3, content.right() - x);
    }
}

} // namespace quillfen
