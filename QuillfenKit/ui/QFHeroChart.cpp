#include "ui/QFHeroChart.h"

#include "ui/QFMirrorSparkline.h"
#include "ui/QFSparkline.h"
#include "ui/QFStackedSparkline.h"
#include "ui/QFStat.h"
#include "ui/QFText.h"
#include "ui/QFView.h"

#include <cmath>

namespace quillfen {
namespace {

constexpr double kValueLineSpacing = 6, kLabelSpacing = 4, kStatSpacing = 20, kStatSize = 16;
constexpr int kCapacity = 60;

struct Fonts {
    QFont big = qfMono(40, QFont::Medium);
    QFont unit = qf(15);
    QFont label = qf(11.5);
    QFont scale = qf(9, QFont::Medium);
    QFont axis = qfMono(9, QFont::Medium);
};

const Fonts& fonts() {
    static const Fonts f;
    return f;
}

QFStat::Options statOptions(const QFHeroStat& s) {
    return {.label = s.label,
            .value = s.value,
            .unit = s.sub,
            .color = s.color,
            .size = kStatSize,
            .alignment = Qt::AlignRight};
}

double valueLineAscent() {
    return std::max(qfAscent(fonts().big), qfAscent(fonts().unit));
}

double valueLineHeight() {
    const auto& f = fonts();
    return valueLineAscent() +
           std::max(qfLineHeight(f.big) - qfAscent(f.big), qfLineHeight(f.unit) - qfAscent(f.unit));
}

double statsWidth(const std::vector<QFHeroStat>& stats) {
    double w = 0;
    for (const auto& s : stats)
        w += qfStatSize(statOptions(s)).width();
    return w + kStatSpacing * double(stats.empty() ? 0 : stats.size() - 1);
}

double leftWidth(const QFHeroChart::Options& o) {
    const auto& f = fonts();
    return std::max(qfTextWidth(o.bigValue, f.big) + kValueLineSpacing +
                        qfTextWidth(o.unit, f.unit),
                    qfTextWidth(o.label, f.label));
}

} // namespace

QFHeroChartLayout qfHeroChartLayout(const QFHeroChart::Options& o, double width) {
    QFHeroChartLayout l;
    const auto& f = fonts();
    double statsHeight = 0;
    double x = width - statsWidth(o.stats);
    for (const auto& s : o.stats) {
        const QSizeF size = qfStatSize(statOptions(s));
        l.stats.emplace_back(x, 0, size.width(), size.height());
        statsHeight = std::max(statsHeight, size.height());
        x += size.width() + kStatSpacing;
    }
    const double left = valueLineHeight() + kLabelSpacing + qfLineHeight(f.label);
    // Whole points below the header, so the chart and the hairline under it fall on pixels.
    const double headerHeight = std::ceil(std::max(left, statsHeight));
    l.header = QRectF(0, 0, width, headerHeight);
    l.chart = QRectF(0, headerHeight + QFHeroChart::headerSpacing, width, o.height);
    l.axis = QRectF(0, l.chart.bottom(), width, QFHeroChart::axisPadding + qfLineHeight(f.axis));
    l.hairline = QRectF(0, l.axis.top(), width, 1);
    l.height = l.axis.bottom();
    return l;
}

void qfPaintHeroChart(QPainter& painter, const QRectF& box, const QFHeroChart::Options& o) {
    const auto& f = fonts();
    const QFHeroChartLayout l = qfHeroChartLayout(o, box.width());
    painter.save();
    painter.translate(box.topLeft());
    const QColor color = o.color.resolve(), colorB = o.colorB.resolve();
    const QColor text2 = QF::text2(), text3 = QF::text3(), text4 = QF::text4();

    // Header: the headline and its unit share a baseline; the label sits below them.
    const double baseline = valueLineAscent();
    const double statsLeft = l.stats.empty() ? box.width() : l.stats.front().left();
    const double room = std::max(0.0, statsLeft - kStatSpacing);
    const double bigWidth = qfTextWidth(o.bigValue, f.big);
    qfDrawText(painter, 0, baseline, o.bigValue, f.big, color, room);
    if (bigWidth + kValueLineSpacing < room)
        qfDrawText(painter, bigWidth + kValueLineSpacing, baseline, o.unit, f.unit, text3,
                   room - bigWidth - kValueLineSpacing);
    qfDrawText(painter, 0, valueLineHeight() + kLabelSpacing + qfAscent(f.label), o.label, f.label,
               text2, room);
    for (std::size_t i = 0; i < o.stats.size(); ++i)
        qfPaintStat(painter, l.stats[i], statOptions(o.stats[i]));

    // Chart area with its scale labels over it.
    QString top = QStringLiteral("100%"), bottom = QStringLiteral("0");
    QColor topColor = text4, bottomColor = text4;
    if (o.history2 && o.mirror) {
        qfPaintMirrorSparkline(painter, l.chart, o.history, *o.history2, color, colorB, o.maxValue,
                               kCapacity);
        top = QStringLiteral("↓");
        bottom = QStringLiteral("↑");
        topColor = color;
        bottomColor = colorB;
    } else if (o.history2) {
        qfPaintStackedSparkline(painter, l.chart, o.history, *o.history2, color, colorB, o.maxValue,
                                kCapacity);
    } else {
        qfPaintSparkline(painter, l.chart, o.history, color, o.maxValue, 1.5, 1.0, kCapacity);
    }
    qfDrawText(painter, l.chart.left(), l.chart.top() + qfAscent(f.scale), top, f.scale, topColor);
    qfDrawText(painter, l.chart.left(),
               l.chart.bottom() - qfLineHeight(f.scale) + qfAscent(f.scale), bottom, f.scale,
               bottomColor);

    // Time axis: the labels spread over the width with "now" at the right edge.
    painter.fillRect(l.hairline, QF::border());
    double labelsWidth = 0;
    for (const char* label : kQFTimeAxisLabels)
        labelsWidth += qfTextWidth(QString::fromUtf8(label), f.axis);
    const double gap = std::max(0.0, (box.width() - labelsWidth) / 4);
    double x = 0;
    const double axisBaseline = l.axis.top() + QFHeroChart::axisPadding + qfAscent(f.axis);
    for (const char* label : kQFTimeAxisLabels) {
        const QString text = QString::fromUtf8(label);
        qfDrawText(painter, x, axisBaseline, text, f.axis, text4);
        x += qfTextWidth(text, f.axis) + gap;
    }
    painter.restore();
}

QFHeroChart::QFHeroChart(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(std::move(options)) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void QFHeroChart::setOptions(Options options) {
    o_ = std::move(options);
    updateGeometry();
    update();
}

void QFHeroChart::setBigValue(const QString& value) {
    o_.bigValue = value;
    update();
}

void QFHeroChart::setStats(std::vector<QFHeroStat> stats) {
    o_.stats = std::move(stats);
    updateGeometry();
    update();
}

void QFHeroChart::setHistory(std::vector<double> history,
                             std::optional<std::vector<double>> history2) {
    o_.history = std::move(history);
    o_.history2 = std::move(history2);
    update();
}

QSize QFHeroChart::sizeHint() const {
    const double w = std::max(leftWidth(o_) + kStatSpacing + statsWidth(o_.stats), 240.0);
    return {int(std::ceil(w)), int(std::ceil(qfHeroChartLayout(o_, w).height))};
}

QSize QFHeroChart::minimumSizeHint() const {
    return {int(std::ceil(statsWidth(o_.stats))), sizeHint().height()};
}

void QFHeroChart::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintHeroChart(p, rect(), o_);
}

} // namespace quillfen
