#include "ui/QFCard.h"

#include "ui/ContinuousCorners.h"
#include "ui/Palette.h"
#include "ui/QFView.h"

#include <QVBoxLayout>

#include <cmath>

namespace quillfen {

QFCard::QFCard(QWidget* parent)
    : QFCard(Options{}, parent) {}

QFCard::QFCard(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(options)
    , layout_(new QVBoxLayout(this)) {
    qfFollowTheme(this);
    // Children go above this stretch, which keeps them at the top of a card taller than they
    // need.
    layout_->addStretch(1);
    applyOptions();
}

void QFCard::setOptions(Options options) {
    o_ = options;
    applyOptions();
}

void QFCard::applyOptions() {
    const int padding = int(std::lround(o_.padding));
    layout_->setContentsMargins(padding, padding, padding, padding);
    layout_->setSpacing(int(std::lround(o_.spacing)));
    setSizePolicy(QSizePolicy::Expanding,
                  o_.fillHeight ? QSizePolicy::Expanding : QSizePolicy::Maximum);
    updateGeometry();
}

void QFCard::addWidget(QWidget* child) {
    const bool grows = child->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag;
    layout_->insertWidget(layout_->count() - 1, child, 0, grows ? Qt::Alignment() : Qt::AlignLeft);
}

void QFCard::addLayout(QLayout* child) {
    layout_->insertLayout(layout_->count() - 1, child);
}

void QFCard::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, QF::cardTop());
    gradient.setColorAt(1, QF::cardBot());
    qfFillContinuous(p, r, cornerRadius, gradient);
    qfStrokeBorder(p, r, cornerRadius, QF::border());
}

} // namespace quillfen
