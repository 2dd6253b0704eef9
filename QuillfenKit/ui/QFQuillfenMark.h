#pragma once

#include "ui/Palette.h"

#include <QPointF>
#include <QWidget>

#include <vector>

class QPainter;

namespace quillfen {

// The product's mark: a quill standing in an inkwell, drawn in lines on a 24-unit grid.
class QFQuillfenMark : public QWidget {
    Q_OBJECT

public:
    struct Options {
        double size = 18;
        QFColor color = QFRole::brand;
    };

    // With the defaults of Options.
    explicit QFQuillfenMark(QWidget* parent = nullptr);
    explicit QFQuillfenMark(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

// The mark's drawing in grid units (0…24 on both axes): stroked polylines and ellipses, all
// with round caps and joins.
struct QFMarkDrawing {
    struct Ellipse {
        QPointF center;
        double rx, ry;
    };
    std::vector<std::vector<QPointF>> polylines;
    std::vector<Ellipse> ellipses;
    double strokeWidth;
};
const QFMarkDrawing& qfQuillfenMarkDrawing();

// Paints the mark scaled from its grid to `box` (a square).
void qfPaintQuillfenMark(QPainter& painter, const QRectF& box, const QColor& color);

// The application icon: the mark in the multi theme's brand colour on a dark rounded tile.
void qfPaintQuillfenAppIcon(QPainter& painter, const QRectF& box);
QImage qfQuillfenAppIconImage(int side, double devicePixelRatio = 1);
// The same as an SVG document on a 24-unit view box.
QByteArray qfQuillfenAppIconSVG();

} // namespace quillfen
