#include "ui/TopProcessesView.h"

#include "format/Formatters.h"
#include "settings/AppSettings.h"
#include "ui/ContinuousCorners.h"
#include "ui/QFProcessIcon.h"
#include "ui/QFText.h"
#include "ui/QFView.h"
#include "ui/SemanticStyle.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cmath>
#include <cstdio>

namespace quillfen {
namespace {

constexpr double kPickerRadius = 6, kThumbInset = 2;

struct Fonts {
    QFont title = qfTextStyleFont(QFTextStyle::headline);
    QFont name = qfTextStyleFont(QFTextStyle::callout);
    QFont value = qfTextStyleFont(QFTextStyle::callout, true);
    QFont sampling = qfTextStyleFont(QFTextStyle::caption);
    QFont picker = qf(11, QFont::Medium);
};

const Fonts& fonts() {
    static const Fonts f;
    return f;
}

double rowHeight() {
    return std::max(TopProcessesView::iconSize, std::ceil(qfLineHeight(fonts().name)));
}

double headerHeight() {
    return std::max(TopProcessesView::pickerHeight, std::ceil(qfLineHeight(fonts().title)));
}

bool hasIcon(const ProcessRow& row) {
    return row.bundleURL && !row.bundleURL->empty();
}

} // namespace

QString TopProcessesView::displayName(Metric metric) {
    return metric == Metric::memory ? QStringLiteral("Memory") : QStringLiteral("CPU");
}

TopProcessesView::TopProcessesView(QWidget* parent)
    : QWidget(parent) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

std::vector<ProcessRow> TopProcessesView::rowsOf(const std::optional<ProcessReading>& reading,
                                                 Metric metric) {
    if (!reading) return {};
    const auto& list = metric == Metric::memory ? reading->topByMemory : reading->topByCPU;
    return {list.begin(), list.begin() + std::ptrdiff_t(std::min(list.size(), maxRows))};
}

QString TopProcessesView::valueText(const ProcessRow& row, Metric metric) {
    if (metric == Metric::memory)
        return QString::fromStdString(Formatters::bytes(row.residentMemoryBytes));
    if (!std::isfinite(row.cpuPercent)) return QString::fromUtf8(Formatters::unknown);
    char text[48];
    std::snprintf(text, sizeof text, "%.1f%%", row.cpuPercent);
    return QString::fromLatin1(text);
}

void TopProcessesView::setReading(std::optional<ProcessReading> reading) {
    if (reading == reading_) return;
    reading_ = std::move(reading);
    rebuildRows();
}

void TopProcessesView::setMetric(Metric metric) {
    if (metric == metric_) return;
    metric_ = metric;
    rebuildRows();
    emit metricChanged();
}

void TopProcessesView::rebuildRows() {
    const std::size_t before = rows_.size();
    rows_ = rowsOf(reading_, metric_);
    values_.clear();
    for (const auto& row : rows_) {
        values_.push_back(valueText(row, metric_));
        // Looked up now, so that painting finds the icon ready.
        if (hasIcon(row)) qfProcessIconImage(*row.bundleURL);
    }
    if (rows_.size() != before) updateGeometry();
    update();
}

TopProcessesView::RowLayout TopProcessesView::rowLayout(double width, const QString& value) {
    RowLayout r;
    const double h = rowHeight();
    const QFontMetricsF fm(fonts().name);
    r.baseline = h / 2 + (fm.ascent() - fm.descent()) / 2;
    r.icon = QRectF(0, (h - iconSize) / 2, iconSize, iconSize);
    const double valueWidth = qfTextWidth(value, fonts().value);
    r.value = QRectF(width - valueWidth, 0, valueWidth, h);
    const double nameX = iconSize + spacing;
    // icon, name, a flexible space of at least 8 and the value, 6 apart.
    r.name =
        QRectF(nameX, 0, std::max(0.0, r.value.left() - spacing - minNameGap - spacing - nameX), h);
    return r;
}

TopProcessesView::Layout TopProcessesView::layoutFor(double width) const {
    Layout l;
    const double header = headerHeight();
    l.title = QRectF(0, 0, std::max(0.0, width - pickerWidth - spacing), header);
    l.picker = QRectF(width - pickerWidth, (header - pickerHeight) / 2, pickerWidth, pickerHeight);
    l.pickerSegments = {
        QRectF(l.picker.left(), l.picker.top(), pickerWidth / 2, pickerHeight),
        QRectF(l.picker.center().x(), l.picker.top(), pickerWidth / 2, pickerHeight)};
    double y = header + spacing;
    if (rows_.empty()) {
        l.sampling = QRectF(0, y, width, std::ceil(qfLineHeight(fonts().sampling)));
        l.height = l.sampling.bottom();
        return l;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        l.rows.emplace_back(0, y, width, rowHeight());
        y += rowHeight() + rowSpacing;
    }
    l.height = l.rows.back().bottom();
    return l;
}

QString TopProcessesView::toolTipAt(const QPointF& point) const {
    const Layout l = layoutFor(width());
    for (std::size_t i = 0; i < l.rows.size(); ++i)
        if (l.rows[i].contains(point)) return QString::fromStdString(rows_[i].name);
    return {};
}

QSize TopProcessesView::sizeHint() const {
    return {300, int(std::ceil(layoutFor(300).height))};
}

QSize TopProcessesView::minimumSizeHint() const {
    return {int(pickerWidth), sizeHint().height()};
}

bool TopProcessesView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    return qfAnswerToolTip(this, event, toolTipAt(static_cast<QHelpEvent*>(event)->pos()));
}

void TopProcessesView::mousePressEvent(QMouseEvent* event) {
    const Layout l = layoutFor(width());
    for (std::size_t i = 0; i < allMetrics.size(); ++i)
        if (l.pickerSegments[i].contains(event->position())) {
            setMetric(allMetrics[i]);
            return;
        }
    QWidget::mousePressEvent(event);
}

void TopProcessesView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left)
        setMetric(Metric::cpu);
    else if (event->key() == Qt::Key_Right)
        setMetric(Metric::memory);
    else
        QWidget::keyPressEvent(event);
}

void TopProcessesView::paintPicker(QPainter& p, const Layout& l) {
    const bool light = isLight(AppSettings::shared().theme());
    qfFillContinuous(p, l.picker, kPickerRadius, QF::fill2());
    qfStrokeBorder(p, l.picker, kPickerRadius, QF::border());
    const std::size_t selected = metric_ == Metric::memory ? 1 : 0;
    const QRectF thumb =
        l.pickerSegments[selected].adjusted(kThumbInset, kThumbInset, -kThumbInset, -kThumbInset);
    const double thumbRadius = kPickerRadius - kThumbInset;
    // A raised thumb: white on the light track, a brighter fill on the dark one.
    qfFillContinuous(p, thumb, thumbRadius, light ? QColor(Qt::white) : QF::fill4());
    qfStrokeBorder(p, thumb, thumbRadius, QF::borderStrong());
    if (hasFocus()) qfStrokeBorder(p, l.picker, kPickerRadius, QF::withOpacity(QF::cpu(), 0.7));
    for (std::size_t i = 0; i < allMetrics.size(); ++i)
        qfDrawTextIn(p,
                     l.pickerSegments[i].adjusted(
                         0, (pickerHeight - qfLineHeight(fonts().picker)) / 2, 0, 0),
                     displayName(allMetrics[i]), fonts().picker,
                     i == selected ? QF::text1() : QF::text2(), Qt::AlignHCenter);
}

void TopProcessesView::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const auto& f = fonts();
    const Layout l = layoutFor(width());
    const QFontMetricsF tm(f.title);
    qfDrawText(p, 0, l.title.center().y() + (tm.ascent() - tm.descent()) / 2, "Top Processes",
               f.title, QF::text1(), l.title.width());
    paintPicker(p, l);

    if (rows_.empty()) {
        qfDrawTextIn(p, l.sampling, QStringLiteral("Sampling…"), f.sampling, QF::text3());
        return;
    }
    const QColor name = QF::text1(), value = QF::text2();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const RowLayout r = rowLayout(width(), values_[i]);
        p.save();
        p.translate(0, l.rows[i].top());
        // Without an icon the space stays, so every name starts at the same place.
        if (hasIcon(rows_[i])) qfPaintProcessIcon(p, r.icon, rows_[i].bundleURL);
        qfDrawText(p, r.name.left(), r.baseline, QString::fromStdString(rows_[i].name), f.name,
                   name, r.name.width());
        qfDrawText(p, r.value.left(), r.baseline, values_[i], f.value, value);
        p.restore();
    }
}

} // namespace quillfen
