#include "ui/QFStat.h"

#include "ui/QFText.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {
namespace {

constexpr double kLabelSize = 9.5, kUnitSize = 10, kRowSpacing = 1, kUnitSpacing = 4;

struct Fonts {
    QFont label = qf(kLabelSize, QFont::DemiBold);
    QFont value;
    QFont unit = qf(kUnitSize);
};

Fonts fontsFor(const QFStat::Options& s) {
    Fonts f;
    f.value = qfMono(s.size, QFont::Medium);
    return f;
}

double xFor(const QRectF& box, double width, Qt::Alignment alignment) {
    if (alignment & Qt::AlignRight) return box.right() - width;
    if (alignment & Qt::AlignHCenter) return box.left() + (box.width() - width) / 2;
    return box.left();
}

} // namespace

QSizeF qfStatSize(const QFStat::Options& s) {
    const Fonts f = fontsFor(s);
    const QString label = s.label.toUpper();
    double row = qfTextWidth(s.value, f.value);
    if (s.unit) row += kUnitSpacing + qfTextWidth(*s.unit, f.unit);
    const double valueHeight = std::max(qfAscent(f.value), s.unit ? qfAscent(f.unit) : 0.0) +
                               std::max(qfLineHeight(f.value) - qfAscent(f.value),
                                        s.unit ? qfLineHeight(f.unit) - qfAscent(f.unit) : 0.0);
    return {std::max(qfTextWidth(label, f.label), row),
            qfLineHeight(f.label) + kRowSpacing + valueHeight};
}

void qfPaintStat(QPainter& painter, const QRectF& box, const QFStat::Options& s) {
    const Fonts f = fontsFor(s);
    const QString label = s.label.toUpper();
    const QColor text3 = QF::text3();
    const double labelWidth = std::min(qfTextWidth(label, f.label), box.width());
    qfDrawText(painter, xFor(box, labelWidth, s.alignment), box.top() + qfAscent(f.label), label,
               f.label, text3, box.width());

    const double valueWidth = qfTextWidth(s.value, f.value);
    const double unitWidth = s.unit ? kUnitSpacing + qfTextWidth(*s.unit, f.unit) : 0;
    const double rowWidth = std::min(valueWidth + unitWidth, box.width());
    const double x = xFor(box, rowWidth, s.alignment);
    // Value and unit share the first baseline of the row.
    const double baseline = box.top() + qfLineHeight(f.label) + kRowSpacing +
                            std::max(qfAscent(f.value), s.unit ? qfAscent(f.unit) : 0.0);
    qfDrawText(painter, x, baseline, s.value, f.value, s.color.resolve(), box.width());
    if (s.unit && valueWidth < box.width())
        qfDrawText(painter, x + valueWidth + kUnitSpacing, baseline, *s.unit, f.unit, text3,
                   box.right() - (x + valueWidth + kUnitSpacing));
}

QFStat::QFStat(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void QFStat::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFStat::setValue(const QString& value) {
    if (value == o_.value) return;
    o_.value = value;
    updateGeometry();
    update();
}

void QFStat::setUnit(std::optional<QString> unit) {
    o_.unit = std::move(unit);
    updateGeometry();
    update();
}

QSize QFStat::sizeHint() const {
    const QSizeF s = qfStatSize(o_);
    return {int(std::ceil(s.width())), int(std::ceil(s.height()))};
}

void QFStat::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintStat(p, rect(), o_);
}

} // namespace quillfen
