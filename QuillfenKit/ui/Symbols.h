#pragma once

#include "ui/Palette.h"

#include <QFont>
#include <QWidget>

#include <optional>
#include <string_view>

class QPainter;

namespace quillfen {

// The Material Icons code point standing in for a system-symbol name, or nothing for a name
// the product does not use.
std::optional<char16_t> qfSymbolCodePoint(std::string_view name);

// Every name the table knows, in table order.
std::vector<std::string_view> qfSymbolNames();

// The symbol font at `size` points.
QFont qfSymbolFont(double size);

// Draws the symbol `name` at `size` points centred in `box`. The icon font has one weight;
// heavier weights are drawn with a thin outline of the same colour. An unknown name draws
// nothing.
void qfPaintSymbol(QPainter& painter, const QRectF& box, std::string_view name, double size,
                   QFont::Weight weight, const QColor& color);

// A system symbol as a view: `size` × `size`, the glyph centred.
class QFSymbol : public QWidget {
    Q_OBJECT

public:
    struct Options {
        std::string name;
        QFColor color = QFRole::text2;
        double size = 14;
        QFont::Weight weight = QFont::Normal;
    };

    // With the defaults of Options.
    explicit QFSymbol(QWidget* parent = nullptr);
    explicit QFSymbol(Options options, QWidget* parent = nullptr);

    const Options& options() const { return o_; }
    void setOptions(Options options);
    void setName(std::string name);
    void setColor(QFColor color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Options o_;
};

} // namespace quillfen
