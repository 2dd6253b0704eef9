#pragma once

#include "ui/Palette.h"

#include <QWidget>

#include <optional>

class QPainter;

namespace quillfen {

// A labelled read-out: the label upper-cased (9.5-point semibold, `text3`) over the value in
// `size`-point medium monospaced type and, on the value's baseline, an optional unit.
class QFStat : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString label;
        QString value;
        std::optional<QString> unit;
        QFColor color = QFRole::text1;
        double size = 13;
        Qt::Alignment alignment = Qt::AlignLeft; // AlignLeft, AlignHCenter or AlignRight
    };

    explicit QFStat(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setValue(const QString& value);
    void setUnit(std::optional<QString> unit);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// The natural size of a stat.
QSizeF qfStatSize(const QFStat::Options& stat);
// Paints a stat in `box`, aligned horizontally by its alignment, from the top of the box.
void qfPaintStat(QPainter& painter, const QRectF& box, const QFStat::Options& stat);

} // namespace quillfen
