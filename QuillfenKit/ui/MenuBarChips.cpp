#include "ui/MenuBarChips.h"

#include "ui/ContinuousCorners.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/QFText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace quillfen {
namespace {

constexpr double kSeparatorWidth = 1, kSeparatorHeight = 12, kSeparatorPadding = 5;
constexpr double kCompactSpace = 4;
// Between the label's baseline and the top of the value's capitals. Tight, so that two lines
// fit the menu bar's 22 points.
constexpr double kLineGap = 2;

double capHeight(const QFont& font) {
    return QFontMetricsF(font).capHeight();
}

} // namespace

QString qfMenuBarShortLabel(MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return QStringLiteral("CPU");
    case MenuBarMetric::gpu:
        return QStringLiteral("GPU");
    case MenuBarMetric::memory:
        return QStringLiteral("MEM");
    case MenuBarMetric::temperature:
        return QStringLiteral("TMP");
    case MenuBarMetric::battery:
        return QStringLiteral("BAT");
    case MenuBarMetric::netDown:
        return QStringLiteral("NET↓");
    case MenuBarMetric::netUp:
        return QStringLiteral("NET↑");
    }
    return {};
}

QString qfMenuBarSampleValue(MenuBarMetric metric) {
    switch (metric) {
    case MenuBarMetric::cpu:
        return QStringLiteral("23%");
    case MenuBarMetric::gpu:
        return QStringLiteral("8%");
    case MenuBarMetric::memory:
        return QStringLiteral("27G");
    case MenuBarMetric::temperature:
        return QStringLiteral("47°");
    case MenuBarMetric::battery:
        return QStringLiteral("100%");
    case MenuBarMetric::netDown:
        return QStringLiteral("1.8M");
    case MenuBarMetric::netUp:
        return QStringLiteral("86K");
    }
    return {};
}

std::vector<MenuBarChip> qfMenuBarSampleChips(const std::vector<MenuBarMetric>& metrics) {
    std::vector<MenuBarChip> chips;
    chips.reserve(metrics.size());
    for (const auto metric : metrics)
        chips.push_back({metric, qfMenuBarShortLabel(metric), qfMenuBarSampleValue(metric)});
    return chips;
}

QFont qfMenuBarLabelFont() {
    return qfMono(8, QFont::DemiBold);
}

QFont qfMenuBarValueFont() {
    return qfMono(11, QFont::DemiBold);
}

double qfMenuBarChipsNaturalHeight(MenuBarChipsOptions options) {
    const double value = qfLineHeight(qfMenuBarValueFont());
    const double label = options.twoLineLabels ? qfLineHeight(qfMenuBarLabelFont()) : 0;
    return std::ceil(value + label);
}

MenuBarChipsLayout qfMenuBarChipsLayout(const std::vector<MenuBarChip>& chips,
                                        MenuBarChipsOptions options, double height) {
    const QFont labelFont = qfMenuBarLabelFont(), valueFont = qfMenuBarValueFont();
    const double labelCap = capHeight(labelFont), valueCap = capHeight(valueFont);
    const bool twoLine = options.twoLineLabels;
    // The capitals of both lines, centred as one block.
    const double block = twoLine ? labelCap + kLineGap + valueCap : valueCap;
    const double top = (height - block) / 2;
    const double labelBaseline = top + labelCap;
    const double valueBaseline = top + block;

    MenuBarChipsLayout layout;
    layout.options = options;
    layout.height = height;
    double x = 0;
    for (std::size_t i = 0; i < chips.size(); ++i) {
        if (i > 0) {
            if (options.compactSpacing) {
                x += kCompactSpace;
            } else {
                layout.separators.emplace_back(x + kSeparatorPadding,
                                               (height - kSeparatorHeight) / 2, kSeparatorWidth,
                                               kSeparatorHeight);
                x += 2 * kSeparatorPadding + kSeparatorWidth;
            }
        }
        const auto& chip = chips[i];
        const double valueWidth = qfTextWidth(chip.value, valueFont);
        const double labelWidth = twoLine ? qfTextWidth(chip.label, labelFont) : 0;
        const double width = std::ceil(std::max(valueWidth, labelWidth) - 1e-6);
        MenuBarChipsLayout::Chip placed{chip, QRectF(x, 0, width, height)};
        placed.valueX = x + (width - valueWidth) / 2;
        placed.valueBaseline = valueBaseline;
        if (twoLine) {
            placed.labelX = x + (width - labelWidth) / 2;
            placed.labelBaseline = labelBaseline;
        }
        layout.chips.push_back(std::move(placed));
        x += width;
    }
    layout.width = x;
    return layout;
}

MenuBarChipsLayout qfMenuBarChipsLayout(const std::vector<MenuBarChip>& chips,
                                        MenuBarChipsOptions options) {
    return qfMenuBarChipsLayout(chips, options, qfMenuBarChipsNaturalHeight(options));
}

QColor qfMenuBarPreviewBackground() {
    return QF::rgb(30, 32, 40);
}

QColor qfMenuBarSeparatorColor() {
    return QColor::fromRgbF(1, 1, 1, 0.12f);
}

QSizeF qfMenuBarPreviewSize(const MenuBarChipsLayout& layout) {
    return {layout.width + 2 * kMenuBarPreviewPaddingH,
            layout.height + 2 * kMenuBarPreviewPaddingV};
}

void qfPaintMenuBarChips(QPainter& painter, const MenuBarChipsLayout& layout, QFThemeChoice theme,
                         bool previewBackground, QPointF topLeft, const QColor& valueColor) {
    painter.save();
    if (previewBackground) {
        qfFillContinuous(painter, QRectF(topLeft, qfMenuBarPreviewSize(layout)),
                         kMenuBarPreviewRadius, qfMenuBarPreviewBackground());
        topLeft += QPointF(kMenuBarPreviewPaddingH, kMenuBarPreviewPaddingV);
    }
    painter.translate(topLeft);
    for (const auto& separator : layout.separators)
        painter.fillRect(separator, qfMenuBarSeparatorColor());
    const QFont labelFont = qfMenuBarLabelFont(), valueFont = qfMenuBarValueFont();
    for (const auto& placed : layout.chips) {
        if (layout.options.twoLineLabels)
            qfDrawText(painter, placed.labelX, placed.labelBaseline, placed.chip.label, labelFont,
                       QF::chipColor(placed.chip.metric, theme));
        qfDrawText(painter, placed.valueX, placed.valueBaseline, placed.chip.value, valueFont,
                   valueColor);
    }
    painter.restore();
}

} // namespace quillfen
