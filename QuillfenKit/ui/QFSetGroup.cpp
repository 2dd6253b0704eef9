#include "ui/QFSetGroup.h"

#include "ui/ContinuousCorners.h"
#include "ui/Palette.h"
#include "ui/QFView.h"

#include <QVBoxLayout>

namespace quillfen {

QFSetGroup::QFSetGroup(QWidget* parent)
    : QWidget(parent)
    , layout_(new QVBoxLayout(this)) {
    qfFollowTheme(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void QFSetGroup::addWidget(QWidget* row) {
    layout_->addWidget(row);
}

void QFSetGroup::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QRectF r = rect();
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, QF::cardTop());
    gradient.setColorAt(1, QF::cardBot());
    qfFillContinuous(p, r, cornerRadius, gradient);
    qfStrokeBorder(p, r, cornerRadius, QF::border());
}

} // namespace quillfen
