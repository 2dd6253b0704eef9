#pragma once

#include "ui/Palette.h"

#include <QWidget>

#include <string>

class QPainter;

namespace quillfen {

// A symbol on a tinted tile: a `size` × `size` rounded rectangle of radius 5 in `color` at
// opacity 0.18 with the symbol centred on it, `glyph` points, semibold, in `color`.
class QFIconChip : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::string systemName;
        QFColor color = QFRole::text2;
        double size = 18;
        double glyph = 11;
    };

    explicit QFIconChip(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setSystemName(std::string name);
    void setColor(QFColor color);

    QSize sizeHint() const override;

    static constexpr double cornerRadius = 5;
    static constexpr double tileOpacity = 0.18;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// Paints a chip into `box` (its top-left corner and `size`), for hosts that draw into images.
void qfPaintIconChip(QPainter& painter, const QPointF& topLeft, const QFIconChip::Options& chip);

} // namespace quillfen
