#pragma once

#include "ui/Palette.h"

#include <QUuid>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

class QFSectionHeading;

// A short top-process list under a section heading. Each row: the program's icon (18), its
// name (11.5-point, cut with an ellipsis) over a 3-point bar of its share of the list's peak,
// and its value (11.5-point medium monospaced) trailing-aligned in a 64-point column.
class QFMiniProcList : public QWidget {
    Q_OBJECT

public:
    struct Row {
        QUuid id = QUuid::createUuid();
        QString name;
        double value = 0;
        QString display;
        std::optional<std::filesystem::path> bundleURL;
    };

    struct Options {
        QString title;
        std::string icon;
        QFColor color = QFRole::cpu;
        std::vector<Row> rows;
    };

    explicit QFMiniProcList(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setRows(std::vector<Row> rows);

    // The full track of row `index`'s bar, in this view's coordinates.
    QRectF barRect(std::size_t index) const;

    // Space between the heading and the rows.
    static constexpr double headingSpacing = 8;

private:
    class Rows;

    Options o_;
    QFSectionHeading* heading_;
    Rows* rows_;
};

// The value a full bar stands for: the largest row value, but at least 1.0.
double qfMiniProcPeak(const std::vector<QFMiniProcList::Row>& rows);

// Where the parts of a row `width` wide lie, the row's top at y = 0.
struct QFMiniProcRowLayout {
    QRectF icon, name, bar, display;
    double height = 0; // of the row, its 5-point padding included
};
QFMiniProcRowLayout qfMiniProcRowLayout(double width);

// Top of row `index`; rows are 2 points apart.
double qfMiniProcRowTop(std::size_t index);

} // namespace quillfen
