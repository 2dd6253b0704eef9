#include "ui/QFSetSectionTitle.h"

#include "ui/QFText.h"

#include <QVBoxLayout>

namespace quillfen {

QFSetSectionTitle::QFSetSectionTitle(Options options, QWidget* parent)
    : QWidget(parent)
    , title_(new QFText({.font = qf(13, QFont::Bold), .color = QFRole::text1}))
    , sub_(new QFText({.font = qf(11), .color = QFRole::text3, .wraps = true})) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addWidget(title_);
    stack->addWidget(sub_);
    setOptions(std::move(options));
}

void QFSetSectionTitle::setOptions(Options options) {
    o_ = std::move(options);
    title_->setText(o_.title);
    sub_->setText(o_.sub.value_or(QString()));
    sub_->setVisible(o_.sub.has_value());
}

} // namespace quillfen
