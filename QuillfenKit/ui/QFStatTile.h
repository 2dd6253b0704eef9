#pragma once

#include "ui/Palette.h"

#include <QWidget>

#include <optional>

namespace quillfen {

// A read-out on its own tile: the label upper-cased (9.5-point semibold, `text3`) over the
// value in 20-point medium monospaced type and an optional sub-text on its baseline; padded
// 12 × 10 on a `fill1` rounded rectangle of radius 8 with a border, as wide as offered.
class QFStatTile : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString label;
        QString value;
        std::optional<QString> sub;
        QFColor color = QFRole::text1;
    };

    explicit QFStatTile(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setValue(const QString& value);
    void setSub(std::optional<QString> sub);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr double paddingH = 12, paddingV = 10, cornerRadius = 8;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

} // namespace quillfen
