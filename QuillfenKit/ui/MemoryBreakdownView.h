#pragma once

#include "sampling/MemoryReading.h"
#include "sensors/ThermalReading.h"
#include "ui/SemanticStyle.h"

#include <QUuid>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

namespace quillfen {

// Where physical memory goes: a header with "Memory", the memory temperature and used / total,
// one bar of four segments (App, Wired, Compressed, Available) 1 point apart with their byte
// counts on the segments wide enough for them, and a legend whose entries name the bytes in
// their tooltips.
class MemoryBreakdownView : public QWidget {
    Q_OBJECT

public:
    struct Segment {
        QUuid id = QUuid::createUuid();
        QString label;
        std::uint64_t bytes = 0;
        QFSemanticTint color;
        QFSemanticTint textOnBarColor;
    };

    explicit MemoryBreakdownView(QWidget* parent = nullptr);

    const std::optional<MemoryReading>& reading() const { return reading_; }
    const std::optional<ThermalReading>& thermal() const { return thermal_; }
    // Equal readings change nothing and repaint nothing.
    void setReading(std::optional<MemoryReading> reading);
    void setThermal(std::optional<ThermalReading> thermal);

    const std::vector<Segment>& segments() const { return segments_; }

    // The four segments of a reading, in bar order; none without one. "Available" is what the
    // total leaves after the other three, 0 when they exceed it, so the four add up to it.
    static std::vector<Segment> segmentsOf(const std::optional<MemoryReading>& reading);
    // Each segment's width in a bar `width` wide: the width less 1 point between segments,
    // shared by bytes ÷ total. A reading whose total is 0 gives no segment any width.
    static std::vector<double> barWidths(const std::vector<Segment>& segments, std::uint64_t total,
                                         double width);

    // The byte label of a segment `segmentWidth` wide: none below 24 points; otherwise set in
    // the bold second caption style and shrunk down to 0.6 of its size, then cut with an
    // ellipsis, to fit the segment less 4 points.
    struct BarLabel {
        QFont font;
        QString text;
    };
    static std::optional<BarLabel> barLabel(const QString& bytes, double segmentWidth);

    static constexpr double spacing = 6, barHeight = 16, barRadius = 4, segmentGap = 1;
    static constexpr double minLabelledWidth = 24, labelInset = 4, minLabelScale = 0.6;
    static constexpr double headerSpacing = 8, legendDot = 8, legendDotSpacing = 4;
    // Between legend entries: the row's own spacing and each entry's extra trailing space.
    static constexpr double legendSpacing = 8, legendExtraTrailing = 4;

    // Where the parts lie in a view `width` wide.
    struct Layout {
        QRectF header, bar, legend;
        double headerBaseline = 0;
        std::vector<QRectF> segments; // within the bar, one per segment
        std::vector<QRectF> legendEntries;
    };
    Layout layoutFor(double width) const;

    // The tooltip at a point of the view: "Wired: 2.1 GB" over a legend entry, else nothing.
    QString toolTipAt(const QPointF& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* event) override;

private:
    std::optional<MemoryReading> reading_;
    std::optional<ThermalReading> thermal_;
    std::vector<Segment> segments_;
    std::vector<QString> byteTexts_; // per segment, made when the reading arrives
    QString usedText_;               // "9.2 GB / 16 GB"
};

} // namespace quillfen
