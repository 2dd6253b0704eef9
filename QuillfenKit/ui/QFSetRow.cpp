#include "ui/QFSetRow.h"

#include "ui/QFText.h"
#include "ui/QFView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace quillfen {

QFSetRow::QFSetRow(Options options, QWidget* control, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options))
    , label_(new QFText({.font = qf(12.5, QFont::Medium), .color = QFRole::text1}))
    , hint_(new QFText({.font = qf(11), .color = QFRole::text3, .wraps = true}))
    , control_(control) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(int(paddingH), int(paddingV), int(paddingH), int(paddingV));
    stack->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    label_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(label_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    if (control_) row->addWidget(control_, 0, Qt::AlignVCenter);
    // The row is at least 22 high, its children centred in it. A strut rather than an empty
    // widget, which would take the row's spacing and push the control off the trailing padding.
    row->addStrut(22);
    stack->addLayout(row);
    auto* hintRow = new QHBoxLayout;
    hintRow->setContentsMargins(0, 0, 60, 0);
    hintRow->addWidget(hint_);
    stack->addLayout(hintRow);
    setOptions(o_);
}

void QFSetRow::setOptions(Options options) {
    o_ = std::move(options);
    label_->setText(o_.label);
    hint_->setText(o_.hint.value_or(QString()));
    hint_->setVisible(o_.hint.has_value());
    update();
}

void QFSetRow::setFirst(bool isFirst) {
    o_.isFirst = isFirst;
    update();
}

void QFSetRow::paintEvent(QPaintEvent*) {
    if (o_.isFirst) return;
    QFPainter p(this);
    p.fillRect(QRectF(0, 0, width(), 1), QF::border());
}

} // namespace quillfen
