#include "ui/MemoryBreakdownView.h"

#include "format/Formatters.h"
#include "settings/AppSettings.h"
#include "ui/ContinuousCorners.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <QHelpEvent>

#include <cmath>

namespace quillfen {
namespace {

struct Fonts {
    QFont title = qfTextStyleFont(QFTextStyle::headline);
    QFont number = qfTextStyleFont(QFTextStyle::headline, true);
    QFont legend = qfTextStyleFont(QFTextStyle::caption);
    QFont onBar = qfTextStyleFont(QFTextStyle::caption2, QFont::Bold, true);
};

const Fonts& fonts() {
    static const Fonts f;
    return f;
}

double headerAscent() {
    return std::max(qfAscent(fonts().title), qfAscent(fonts().number));
}

double headerHeight() {
    const auto& f = fonts();
    const double descent = std::max(qfLineHeight(f.title) - qfAscent(f.title),
                                    qfLineHeight(f.number) - qfAscent(f.number));
    return std::ceil(headerAscent() + descent);
}

double legendHeight() {
    return std::ceil(std::max(qfLineHeight(fonts().legend), MemoryBreakdownView::legendDot));
}

// app + wired + compressed, without wrapping round: byte counts come from another process.
std::uint64_t usedBytes(const MemoryReading& r) {
    if (r.app > UINT64_MAX - r.wired) return UINT64_MAX;
    if (r.app + r.wired > UINT64_MAX - r.compressed) return UINT64_MAX;
    return r.used();
}

QString bytesText(std::uint64_t bytes) {
    return QString::fromStdString(Formatters::bytes(bytes));
}

} // namespace

MemoryBreakdownView::MemoryBreakdownView(QWidget* parent)
    : QWidget(parent) {
    qfFollowTheme(this);
    // The temperature follows the user's unit.
    connect(&AppSettings::shared(), &AppSettings::temperatureUnitChanged, this,
            [this] { update(); });
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

std::vector<MemoryBreakdownView::Segment>
MemoryBreakdownView::segmentsOf(const std::optional<MemoryReading>& reading) {
    if (!reading) return {};
    const auto& r = *reading;
    const std::uint64_t used = usedBytes(r);
    const std::uint64_t available = used > r.total ? 0 : r.total - used;
    using C = QFSemanticColor;
    const QFSemanticTint white{C::white};
    return {
        {.label = "App", .bytes = r.app, .color = {C::accent}, .textOnBarColor = white},
        {.label = "Wired", .bytes = r.wired, .color = {C::orange}, .textOnBarColor = white},
        {.label = "Compressed",
         .bytes = r.compressed,
         .color = {C::purple},
         .textOnBarColor = white},
        {.label = "Available",
         .bytes = available,
         .color = {C::secondary, 0.3},
         .textOnBarColor = {C::primary}},
    };
}

std::vector<double> MemoryBreakdownView::barWidths(const std::vector<Segment>& segments,
                                                   std::uint64_t total, double width) {
    std::vector<double> widths;
    if (segments.empty()) return widths;
    const double available = std::max(0.0, width - double(segments.size() - 1) * segmentGap);
    widths.reserve(segments.size());
    for (const auto& s : segments)
        widths.push_back(total == 0 ? 0.0 : available * double(s.bytes) / double(total));
    return widths;
}

std::optional<MemoryBreakdownView::BarLabel> MemoryBreakdownView::barLabel(const QString& bytes,
                                                                           double segmentWidth) {
    if (!(segmentWidth >= minLabelledWidth)) return std::nullopt;
    const double room = std::max(0.0, segmentWidth - labelInset);
    QFont font = fonts().onBar;
    const double natural = qfTextWidth(bytes, font);
    if (natural <= room) return BarLabel{font, bytes};
    const double scale = std::max(minLabelScale, room / natural);
    font = qfTextStyleFont(QFTextStyle::caption2, QFont::Bold, true);
    font.setPointSizeF(qfTextStyleSize(QFTextStyle::caption2) * scale * 72.0 / 96.0);
    if (qfTextWidth(bytes, font) <= room + 0.01) return BarLabel{font, bytes};
    return BarLabel{font, QFontMetricsF(font).elidedText(bytes, Qt::ElideRight, room)};
}

void MemoryBreakdownView::setReading(std::optional<MemoryReading> reading) {
    if (reading == reading_) return;
    reading_ = std::move(reading);
    segments_ = segmentsOf(reading_);
    byteTexts_.clear();
    for (const auto& s : segments_)
        byteTexts_.push_back(bytesText(s.bytes));
    usedText_ =
        reading_ ? bytesText(usedBytes(*reading_)) + " / " + bytesText(reading_->total) : QString();
    update();
}

void MemoryBreakdownView::setThermal(std::optional<ThermalReading> thermal) {
    // Only the memory temperature is shown.
    const auto memory = [](const std::optional<ThermalReading>& t) {
        return t ? t->memoryTemperatureC : std::nullopt;
    };
    const bool changed = memory(thermal) != memory(thermal_);
    thermal_ = std::move(thermal);
    if (changed) update();
}

MemoryBreakdownView::Layout MemoryBreakdownView::layoutFor(double width) const {
    Layout l;
    const double header = headerHeight();
    l.header = QRectF(0, 0, width, header);
    l.headerBaseline = headerAscent();
    l.bar = QRectF(0, header + spacing, width, barHeight);
    l.legend = QRectF(0, l.bar.bottom() + spacing, width, legendHeight());
    const auto widths = barWidths(segments_, reading_ ? reading_->total : 0, width);
    double x = 0;
    for (const double w : widths) {
        l.segments.emplace_back(x, l.bar.top(), w, barHeight);
        x += w + segmentGap;
    }
    x = 0;
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const double w =
            legendDot + legendDotSpacing + qfTextWidth(segments_[i].label, fonts().legend);
        l.legendEntries.emplace_back(x, l.legend.top(), w, l.legend.height());
        x += w + legendSpacing + (i + 1 < segments_.size() ? legendExtraTrailing : 0);
    }
    return l;
}

QString MemoryBreakdownView::toolTipAt(const QPointF& point) const {
    const Layout l = layoutFor(width());
    for (std::size_t i = 0; i < l.legendEntries.size(); ++i)
        if (l.legendEntries[i].contains(point)) return segments_[i].label + ": " + byteTexts_[i];
    return {};
}

QSize MemoryBreakdownView::sizeHint() const {
    return {260, int(std::ceil(layoutFor(260).legend.bottom()))};
}

QSize MemoryBreakdownView::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

bool MemoryBreakdownView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    return qfAnswerToolTip(this, event, toolTipAt(static_cast<QHelpEvent*>(event)->pos()));
}

void MemoryBreakdownView::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    const auto& f = fonts();
    const Layout l = layoutFor(width());

    // Header: the title on the left; temperature and used / total share its baseline on the
    // right.
    const double baseline = l.headerBaseline;
    qfDrawText(p, 0, baseline, "Memory", f.title, QF::text1());
    double right = width();
    if (reading_) {
        const double w = qfTextWidth(usedText_, f.number);
        right -= w;
        qfDrawText(p, right, baseline, usedText_, f.number, QF::text1());
        right -= headerSpacing;
    }
    if (thermal_ && thermal_->memoryTemperatureC) {
        const QString t =
            QString::fromStdString(Formatters::temperature(*thermal_->memoryTemperatureC, false));
        right -= qfTextWidth(t, f.number);
        qfDrawText(p, right, baseline, t, f.number, QF::text2());
    }

    // The bar: a faint track with the segments side by side, clipped to its rounded shape.
    const QPainterPath shape = qfContinuousRect(l.bar, barRadius);
    p.fillPath(shape, QF::withOpacity(QF::text2(), 0.08));
    // Segments that together exceed the total run past the bar's end; none of them shows there.
    p.save();
    p.setClipRect(l.bar);
    for (std::size_t i = 0; i < l.segments.size(); ++i) {
        const QRectF& r = l.segments[i];
        if (!(r.width() > 0)) continue;
        const QColor fill = segments_[i].color.resolve();
        QPainterPath rect;
        rect.addRect(r);
        // Intersected rather than clipped, so the rounded ends stay antialiased.
        p.fillPath(shape.intersected(rect), fill);
        const auto label = barLabel(byteTexts_[i], r.width());
        if (!label) continue;
        const QColor ink = qfTextOnFill(segments_[i].textOnBarColor.resolve(), fill);
        const double w = qfTextWidth(label->text, label->font);
        const QFontMetricsF fm(label->font);
        const double labelBaseline = r.center().y() + (fm.ascent() - fm.descent()) / 2;
        qfDrawText(p, r.center().x() - w / 2, labelBaseline, label->text, label->font, ink);
    }
    p.restore();

    // Legend: a dot in the segment's colour and its label, one entry per segment.
    const QFontMetricsF lm(f.legend);
    for (std::size_t i = 0; i < l.legendEntries.size(); ++i) {
        const QRectF& e = l.legendEntries[i];
        const double mid = e.center().y();
        p.setPen(Qt::NoPen);
        p.setBrush(segments_[i].color.resolve());
        p.drawEllipse(QRectF(e.left(), mid - legendDot / 2, legendDot, legendDot));
        qfDrawText(p, e.left() + legendDot + legendDotSpacing,
                   mid + (lm.ascent() - lm.descent()) / 2, segments_[i].label, f.legend,
                   QF::text2());
    }
}

} // namespace quillfen
