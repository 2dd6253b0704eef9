#include "ui/QFMiniProcList.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFProcessIcon.h"
#include "ui/QFSectionHeading.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <QVBoxLayout>

#include <cmath>

namespace quillfen {
namespace {

constexpr double kIconSize = 18, kRowSpacing = 10, kPaddingV = 5, kBarHeight = 3;
constexpr double kNameToBar = 3, kDisplayWidth = 64, kRowGap = 2;

const QFont& nameFont() {
    static const QFont f = qf(11.5);
    return f;
}
const QFont& displayFont() {
    static const QFont f = qfMono(11.5, QFont::Medium);
    return f;
}

} // namespace

double qfMiniProcPeak(const std::vector<QFMiniProcList::Row>& rows) {
    double peak = 1.0;
    for (const auto& r : rows)
        if (r.value > peak && std::isfinite(r.value)) peak = r.value;
    return peak;
}

QFMiniProcRowLayout qfMiniProcRowLayout(double width) {
    QFMiniProcRowLayout l;
    const double nameHeight = qfLineHeight(nameFont());
    const double stack = nameHeight + kNameToBar + kBarHeight;
    const double content = std::max({kIconSize, stack, qfLineHeight(displayFont())});
    l.height = content + 2 * kPaddingV;
    const double mid = kPaddingV + content / 2;
    l.icon = QRectF(0, mid - kIconSize / 2, kIconSize, kIconSize);
    const double middleX = kIconSize + kRowSpacing;
    const double middleWidth = std::max(0.0, width - middleX - kRowSpacing - kDisplayWidth);
    l.name = QRectF(middleX, mid - stack / 2, middleWidth, nameHeight);
    l.bar = QRectF(middleX, l.name.bottom() + kNameToBar, middleWidth, kBarHeight);
    const double displayHeight = qfLineHeight(displayFont());
    l.display = QRectF(std::max(middleX, width - kDisplayWidth), mid - displayHeight / 2,
                       kDisplayWidth, displayHeight);
    return l;
}

double qfMiniProcRowTop(std::size_t index) {
    return double(index) * (qfMiniProcRowLayout(0).height + kRowGap);
}

// The rows, painted in one view: they change every sample and hold nothing but text.
class QFMiniProcList::Rows : public QWidget {
public:
    explicit Rows(const QFMiniProcList& list)
        : list_(list) {
        qfFollowTheme(this);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override {
        const auto count = list_.o_.rows.size();
        const double h =
            count == 0 ? 0 : qfMiniProcRowTop(count - 1) + qfMiniProcRowLayout(0).height;
        return {200, int(std::ceil(h))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QFPainter p(this);
        const auto& o = list_.o_;
        const double peak = qfMiniProcPeak(o.rows);
        const QFMiniProcRowLayout l = qfMiniProcRowLayout(width());
        const QColor text1 = QF::text1(), text2 = QF::text2(), track = QF::track();
        const QColor color = o.color.resolve();
        for (std::size_t i = 0; i < o.rows.size(); ++i) {
            const auto& row = o.rows[i];
            p.save();
            p.translate(0, qfMiniProcRowTop(i));
            qfPaintProcessIcon(p, l.icon, row.bundleURL);
            qfDrawText(p, l.name.left(), l.name.top() + qfAscent(nameFont()), row.name, nameFont(),
                       text1, l.name.width());
            qfFillContinuous(p, l.bar, kBarHeight / 2, track);
            const double share = row.value > 0 ? std::min(row.value / peak, 1.0) : 0.0;
            if (share > 0)
                qfFillContinuous(p,
                                 QRectF(l.bar.topLeft(), QSizeF(l.bar.width() * share, kBarHeight)),
                                 kBarHeight / 2, color);
            qfDrawTextIn(p, l.display, row.display, displayFont(), text2, Qt::AlignRight);
            p.restore();
        }
    }

private:
    const QFMiniProcList& list_;
};

QFMiniProcList::QFMiniProcList(Options options, QWidget* parent)
    : QWidget(parent)
    , heading_(new QFSectionHeading({}))
    , rows_(new Rows(*this)) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(int(headingSpacing));
    stack->addWidget(heading_);
    stack->addWidget(rows_);
    setOptions(std::move(options));
}

void QFMiniProcList::setOptions(Options options) {
    o_ = std::move(options);
    heading_->setOptions({.icon = o_.icon, .color = o_.color, .title = o_.title});
    setRows(std::move(o_.rows));
}

void QFMiniProcList::setRows(std::vector<Row> rows) {
    const bool resized = rows.size() != o_.rows.size();
    o_.rows = std::move(rows);
    // Icons are looked up now, not while painting.
    for (const auto& row : o_.rows)
        if (row.bundleURL && !row.bundleURL->empty()) qfProcessIconImage(*row.bundleURL);
    if (resized) rows_->updateGeometry();
    rows_->update();
}

QRectF QFMiniProcList::barRect(std::size_t index) const {
    return qfMiniProcRowLayout(rows_->width())
        .bar.translated(rows_->geometry().topLeft())
        .translated(0, qfMiniProcRowTop(index));
}

} // namespace quillfen
