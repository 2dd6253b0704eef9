#include "ui/QFSectionHeading.h"

#include "ui/QFIconChip.h"
#include "ui/QFText.h"

#include <QHBoxLayout>

namespace quillfen {

QFSectionHeading::QFSectionHeading(Options options, QWidget* trailing, QWidget* parent)
    : QWidget(parent)
    , row_(new QHBoxLayout(this))
    , chip_(new QFIconChip({}))
    , title_(new QFText({.font = qf(13, QFont::DemiBold), .color = QFRole::text1})) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    row_->setContentsMargins(0, 0, 0, 0);
    row_->setSpacing(8);
    title_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row_->addWidget(chip_, 0, Qt::AlignVCenter);
    row_->addWidget(title_, 0, Qt::AlignVCenter);
    row_->addStretch(1);
    setOptions(std::move(options));
    setTrailing(trailing);
}

void QFSectionHeading::setOptions(Options options) {
    o_ = std::move(options);
    chip_->setOptions({.systemName = o_.icon, .color = o_.color});
    title_->setText(o_.title);
}

void QFSectionHeading::setTitle(const QString& title) {
    o_.title = title;
    title_->setText(title);
}

void QFSectionHeading::setTrailing(QWidget* trailing) {
    if (trailing_ == trailing) return;
    delete trailing_;
    trailing_ = trailing;
    if (trailing_) row_->addWidget(trailing_, 0, Qt::AlignVCenter);
}

} // namespace quillfen
