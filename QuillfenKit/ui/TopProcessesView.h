#pragma once

#include "sampling/ProcessReading.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

namespace quillfen {

// The five heaviest processes by CPU or by memory, switched with a segmented picker: each row
// the program's icon (or an empty space of its size), its name and its share of a core or its
// resident memory; the name is the row's tooltip. "Sampling…" until a reading arrives.
class TopProcessesView : public QWidget {
    Q_OBJECT

public:
    enum class Metric { cpu, memory };
    static constexpr std::array<Metric, 2> allMetrics{Metric::cpu, Metric::memory};
    // "CPU", "Memory".
    static QString displayName(Metric metric);

    explicit TopProcessesView(QWidget* parent = nullptr);

    const std::optional<ProcessReading>& reading() const { return reading_; }
    // Equal readings change nothing and repaint nothing.
    void setReading(std::optional<ProcessReading> reading);

    Metric metric() const { return metric_; }
    void setMetric(Metric metric);

    // The rows shown: the list of the metric, at most its first five.
    static std::vector<ProcessRow> rowsOf(const std::optional<ProcessReading>& reading,
                                          Metric metric);
    const std::vector<ProcessRow>& rows() const { return rows_; }
    // "12.3%" of one core, or the resident memory as a byte count.
    static QString valueText(const ProcessRow& row, Metric metric);

    static constexpr std::size_t maxRows = 5;
    static constexpr double spacing = 6, rowSpacing = 6, iconSize = 16, minNameGap = 8;
    static constexpr double pickerWidth = 130, pickerHeight = 20;

    // Where the parts lie in a view `width` wide.
    struct Layout {
        QRectF title, picker;
        std::array<QRectF, 2> pickerSegments; // CPU, Memory
        std::vector<QRectF> rows;             // one per shown row, the full width
        QRectF sampling;                      // the "Sampling…" line when there are no rows
        double height = 0;
    };
    Layout layoutFor(double width) const;
    // Inside a row: the icon, the name and the value, the row's top at 0.
    struct RowLayout {
        QRectF icon, name, value;
        double baseline = 0;
    };
    static RowLayout rowLayout(double width, const QString& value);

    // A row's process name at a point of the view, else nothing.
    QString toolTipAt(const QPointF& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void metricChanged();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void rebuildRows();
    void paintPicker(QPainter& painter, const Layout& layout);

    std::optional<ProcessReading> reading_;
    Metric metric_ = Metric::cpu;
    std::vector<ProcessRow> rows_;
    std::vector<QString> values_; // per shown row
};

} // namespace quillfen
