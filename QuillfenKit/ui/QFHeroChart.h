#pragma once

#include "ui/Palette.h"

#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace quillfen {

// One statistic in a hero chart's header.
struct QFHeroStat {
    QUuid id = QUuid::createUuid();
    QString label;
    QString value;
    std::optional<QString> sub;
    QFColor color = QFRole::text1;
};

// The large chart of a card: a header with the headline value, its unit and label on the
// left and a row of statistics on the right; the chart (a sparkline, or with a second series
// a stacked or mirrored chart) with its scale labels; and a time axis under a hairline.
class QFHeroChart : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString bigValue;
        QString unit;
        QFColor color = QFRole::cpu;
        QString label;
        std::vector<QFHeroStat> stats;
        std::vector<double> history;
        std::optional<std::vector<double>> history2;
        QFColor colorB = QFRole::sys;
        double maxValue = 1.0;
        double height = 150; // of the chart area
        bool mirror = false;
    };

    explicit QFHeroChart(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setBigValue(const QString& value);
    void setStats(std::vector<QFHeroStat> stats);
    void setHistory(std::vector<double> history,
                    std::optional<std::vector<double>> history2 = std::nullopt);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Space between the header and the chart area.
    static constexpr double headerSpacing = 12;
    // Space between the chart area and the time-axis labels.
    static constexpr double axisPadding = 6;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Where the parts of a hero chart `width` wide lie.
struct QFHeroChartLayout {
    QRectF header, chart, axis;
    QRectF hairline; // 1 high along the axis row's top edge, directly under the chart
    std::vector<QRectF> stats;
    double height = 0;
};
QFHeroChartLayout qfHeroChartLayout(const QFHeroChart::Options& chart, double width);

// The time axis labels, left to right.
inline constexpr const char* kQFTimeAxisLabels[] = {"-60s", "-45s", "-30s", "-15s", "now"};

// Paints a hero chart into `box` from its top; the box's width is the chart's.
void qfPaintHeroChart(QPainter& painter, const QRectF& box, const QFHeroChart::Options& chart);

} // namespace quillfen
