#include "ui/QFCoreBars.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {

double qfCoreBarsWidth(std::size_t count, double barWidth, double spacing) {
    if (count == 0) return 0;
    return double(count) * barWidth + double(count - 1) * spacing;
}

double qfCoreBarFillHeight(double load, double height) {
    const double clamped = load > 0 ? std::min(load, 1.0) : 0.0;
    return std::max(height * clamped, height * 0.12);
}

QFCoreBars::QFCoreBars(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFCoreBars::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFCoreBars::setCores(std::vector<double> cores) {
    const bool resized = cores.size() != o_.cores.size();
    o_.cores = std::move(cores);
    if (resized) updateGeometry();
    update();
}

QSize QFCoreBars::sizeHint() const {
    return {int(std::ceil(qfCoreBarsWidth(o_.cores.size(), o_.barWidth, o_.spacing))),
            int(std::ceil(o_.height))};
}

void QFCoreBars::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const QColor track = QF::track(), color = o_.color.resolve();
    const double bottom = height();
    for (std::size_t i = 0; i < o_.cores.size(); ++i) {
        const double x = double(i) * (o_.barWidth + o_.spacing);
        qfFillContinuous(p, QRectF(x, bottom - o_.height, o_.barWidth, o_.height), 1, track);
        const double h = qfCoreBarFillHeight(o_.cores[i], o_.height);
        qfFillContinuous(p, QRectF(x, bottom - h, o_.barWidth, h), 1, color);
    }
}

} // namespace quillfen
