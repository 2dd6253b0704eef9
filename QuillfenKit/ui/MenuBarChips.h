#pragma once

#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace quillfen {

// The menu bar's strip of metric chips, laid out and painted in one place so that the
// settings window's preview and the tray icon draw the very same chips.

// One chip: its metric, the short label shown above the value with two-line labels, and the
// value text.
struct MenuBarChip {
    MenuBarMetric metric;
    QString label;
    QString value;

    bool operator==(const MenuBarChip&) const = default;
};

struct MenuBarChipsOptions {
    // A small coloured label above each value.
    bool twoLineLabels = false;
    // A clear 4-point space between chips instead of a separator line.
    bool compactSpacing = false;
};

// Where everything of a strip goes, in points from the strip's top-left corner.
struct MenuBarChipsLayout {
    struct Chip {
        MenuBarChip chip;
        // The chip's column: as wide as its wider text, rounded up to whole points so that
        // the separators between chips fall on whole pixels.
        QRectF frame;
        // Where each text starts and where its baseline lies; no label with one-line chips.
        double labelX = 0, labelBaseline = 0;
        double valueX = 0, valueBaseline = 0;
    };
    std::vector<Chip> chips;
    // The separator lines (1 × 12) between chips; none with compact spacing.
    std::vector<QRectF> separators;
    double width = 0;
    double height = 0;
    MenuBarChipsOptions options;
};

// Short label ("CPU", "NET↓", …) and sample value ("23%", "1.8M", …) of a metric.
QString qfMenuBarShortLabel(MenuBarMetric metric);
QString qfMenuBarSampleValue(MenuBarMetric metric);
// The preview's chips: one per metric, with the sample values.
std::vector<MenuBarChip> qfMenuBarSampleChips(const std::vector<MenuBarMetric>& metrics);

// The label in 8-point, the value in 11-point semibold monospaced type.
QFont qfMenuBarLabelFont();
QFont qfMenuBarValueFont();

// The height the chips take when nothing else decides it: one or two text lines.
double qfMenuBarChipsNaturalHeight(MenuBarChipsOptions options);

// Lays the chips out from left to right in a strip `height` high, their texts centred in
// their columns and the text block centred vertically by the height of its capitals.
MenuBarChipsLayout qfMenuBarChipsLayout(const std::vector<MenuBarChip>& chips,
                                        MenuBarChipsOptions options, double height);
// The same at the natural height.
MenuBarChipsLayout qfMenuBarChipsLayout(const std::vector<MenuBarChip>& chips,
                                        MenuBarChipsOptions options);

// The preview's dark panel around the chips: padded 12 × 6, radius 7, opaque 30, 32, 40.
inline constexpr double kMenuBarPreviewPaddingH = 12;
inline constexpr double kMenuBarPreviewPaddingV = 6;
inline constexpr double kMenuBarPreviewRadius = 7;
QColor qfMenuBarPreviewBackground();
// Separator lines: white at opacity 0.12.
QColor qfMenuBarSeparatorColor();
// The size of the preview panel holding `layout`.
QSizeF qfMenuBarPreviewSize(const MenuBarChipsLayout& layout);

// Paints the strip with its top-left corner at `topLeft`. Labels take the chip colour of
// `theme`; values are `valueColor`. With `previewBackground` the dark panel is drawn first
// and `topLeft` is the panel's corner, the chips sitting inside its padding; without it the
// strip is drawn on whatever is there (a tray icon's transparent image).
void qfPaintMenuBarChips(QPainter& painter, const MenuBarChipsLayout& layout, QFThemeChoice theme,
                         bool previewBackground, QPointF topLeft = {},
                         const QColor& valueColor = Qt::white);

} // namespace quillfen
