#include "ui/QFMiniMetric.h"

#include "ui/QFText.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {
namespace {

constexpr double kSpacing = 3;

const QFont& valueFont() {
    static const QFont f = qfMono(11.5, QFont::Medium);
    return f;
}
const QFont& labelFont() {
    static const QFont f = qf(9.5, QFont::DemiBold);
    return f;
}

double ascent() {
    return std::max(qfAscent(valueFont()), qfAscent(labelFont()));
}

} // namespace

QFMiniMetric::QFMiniMetric(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFMiniMetric::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFMiniMetric::setValue(const QString& value) {
    if (value == o_.value) return;
    o_.value = value;
    updateGeometry();
    update();
}

QSize QFMiniMetric::sizeHint() const {
    const double w = qfTextWidth(o_.value, valueFont()) + kSpacing +
                     qfTextWidth(o_.label.toUpper(), labelFont());
    const double descent = std::max(qfLineHeight(valueFont()) - qfAscent(valueFont()),
                                    qfLineHeight(labelFont()) - qfAscent(labelFont()));
    return {int(std::ceil(w)), int(std::ceil(ascent() + descent))};
}

void QFMiniMetric::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const double baseline = ascent();
    const double valueWidth = qfTextWidth(o_.value, valueFont());
    qfDrawText(p, 0, baseline, o_.value, valueFont(), o_.color.resolve(), width());
    qfDrawText(p, valueWidth + kSpacing, baseline, o_.label.toUpper(), labelFont(), QF::text3(),
               width() - valueWidth - kSpacing);
}

} // namespace quillfen
