#include "ui/QFQuillfenMark.h"

#include "ui/ContinuousCorners.h"
#include "ui/QFView.h"

#include <QImage>

#include <cmath>

namespace quillfen {
namespace {

constexpr double kGrid = 24;
// The application icon's tile on the grid, and how large the mark stands on it.
const QRectF kTile(1, 1, 22, 22);
constexpr double kTileRadius = 5.5, kMarkScale = 0.74;

QColor tileTop() {
    return QFSurfaces::dark().cardTop;
}
QColor tileBottom() {
    return QFSurfaces::dark().windowBG;
}
QColor tileBorder() {
    return QFSurfaces::dark().borderStrong;
}
QColor iconBrand() {
    return QFAccents::multi().brand;
}

QString number(double v) {
    return QString::number(v, 'g', 6);
}

QString svgColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString svgPath(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const auto e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::LineToElement:
            d += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::CurveToElement: {
            const auto c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x),
                          number(end.y));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    return d + QLatin1Char('Z');
}

} // namespace

const QFMarkDrawing& qfQuillfenMarkDrawing() {
    static const QFMarkDrawing drawing{
        {
            // The vane of the quill, fuller on its upper side, with a split in its lower edge.
            {{9.62, 12.09},
             {9.86, 9.37},
             {11.10, 7.02},
             {13.31, 4.99},
             {16.11, 3.61},
             {18.75, 2.80},
             {20.20, 2.50},
             {19.75, 3.60},
             {18.58, 5.89},
             {17.76, 7.22},
             {16.69, 6.63},
             {16.92, 8.37},
             {14.84, 10.40},
             {9.62, 12.09}},
            // The shaft, from the ink to the tip of the vane.
            {{7.18, 14.30}, {20.35, 2.37}},
            // The neck of the inkwell.
            {{5.20, 14.00}, {5.20, 14.90}},
            {{9.20, 14.00}, {9.20, 14.90}},
        },
        {
            // The inkwell: its mouth and its round body.
            {{7.2, 14.0}, 2.0, 0.65},
            {{7.2, 17.7}, 4.6, 3.0},
        },
        1.5,
    };
    return drawing;
}

void qfPaintQuillfenMark(QPainter& painter, const QRectF& box, const QColor& color) {
    const auto& drawing = qfQuillfenMarkDrawing();
    const double scale = std::min(box.width(), box.height()) / kGrid;
    painter.save();
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-kGrid / 2, -kGrid / 2);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, drawing.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const auto& line : drawing.polylines)
        painter.drawPolyline(line.data(), int(line.size()));
    for (const auto& e : drawing.ellipses)
        painter.drawEllipse(e.center, e.rx, e.ry);
    painter.restore();
}

void qfPaintQuillfenAppIcon(QPainter& painter, const QRectF& box) {
    const double scale = std::min(box.width(), box.height()) / kGrid;
    painter.save();
    painter.translate(box.center());
    painter.scale(scale, scale);
    painter.translate(-kGrid / 2, -kGrid / 2);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(kTile.topLeft(), kTile.bottomLeft());
    gradient.setColorAt(0, tileTop());
    gradient.setColorAt(1, tileBottom());
    qfFillContinuous(painter, kTile, kTileRadius, gradient);
    // A one-pixel edge whatever the size, so the tile stands out on dark panels.
    qfStrokeBorder(painter, kTile, kTileRadius, tileBorder(), 1 / scale);
    const double markSide = kGrid * kMarkScale;
    qfPaintQuillfenMark(
        painter, QRectF(kGrid / 2 - markSide / 2, kGrid / 2 - markSide / 2, markSide, markSide),
        iconBrand());
    painter.restore();
}

QImage qfQuillfenAppIconImage(int side, double devicePixelRatio) {
    const int pixels = int(std::lround(side * devicePixelRatio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    qfPaintQuillfenAppIcon(p, QRectF(0, 0, side, side));
    return image;
}

QByteArray qfQuillfenAppIconSVG() {
    const auto& drawing = qfQuillfenMarkDrawing();
    QString svg;
    svg += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 24 24\">\n");
    svg += QStringLiteral("  <defs><linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" "
                          "y2=\"1\"><stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" "
                          "stop-color=\"%2\"/></linearGradient></defs>\n")
               .arg(svgColor(tileTop()), svgColor(tileBottom()));
    svg += QStringLiteral("  <path d=\"%1\" fill=\"url(#tile)\"/>\n")
               .arg(svgPath(qfContinuousRect(kTile, kTileRadius)));
    // The border: 0.12 units inside the tile's edge, about a pixel at 192 pixels.
    const double inset = 0.06;
    svg += QStringLiteral("  <path d=\"%1\" fill=\"none\" stroke=\"#ffffff\" "
                          "stroke-opacity=\"%2\" stroke-width=\"%3\"/>\n")
               .arg(svgPath(qfContinuousRect(kTile.adjusted(inset, inset, -inset, -inset),
                                             kTileRadius - inset)),
                    number(std::round(tileBorder().alphaF() * 1000) / 1000), number(2 * inset));
    const double offset = kGrid / 2 * (1 - kMarkScale);
    svg += QStringLiteral("  <g transform=\"translate(%1 %1) scale(%2)\" fill=\"none\" "
                          "stroke=\"%3\" stroke-width=\"%4\" stroke-linecap=\"round\" "
                          "stroke-linejoin=\"round\">\n")
               .arg(number(offset), number(kMarkScale), svgColor(iconBrand()),
                    number(drawing.strokeWidth));
    for (const auto& line : drawing.polylines) {
        QString points;
        for (const auto& pt : line)
            points += QStringLiteral("%1%2,%3").arg(points.isEmpty() ? "" : " ", number(pt.x()),
                                                    number(pt.y()));
        svg += QStringLiteral("    <polyline points=\"%1\"/>\n").arg(points);
    }
    for (const auto& e : drawing.ellipses)
        svg += QStringLiteral("    <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"/>\n")
                   .arg(number(e.center.x()), number(e.center.y()), number(e.rx), number(e.ry));
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

QFQuillfenMark::QFQuillfenMark(QWidget* parent)
    : QFQuillfenMark(Options{}, parent) {}

QFQuillfenMark::QFQuillfenMark(Options options, QWidget* parent)
    : QWidget(parent)
    , o_(options) {
    qfFollowTheme(this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QFQuillfenMark::setOptions(Options options) {
    o_ = options;
    updateGeometry();
    update();
}

QSize QFQuillfenMark::sizeHint() const {
    const int side = int(std::ceil(o_.size));
    return {side, side};
}

void QFQuillfenMark::paintEvent(QPaintEvent*) {
    QFPainter p(this);
    qfPaintQuillfenMark(p,
                        QRectF((width() - o_.size) / 2, (height() - o_.size) / 2, o_.size, o_.size),
                        o_.color.resolve());
}

} // namespace quillfen
