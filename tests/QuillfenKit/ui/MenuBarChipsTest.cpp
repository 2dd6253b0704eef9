#include "ui/MenuBarChips.h"
#include "UiTestSupport.h"
#include "ui/QFText.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>

namespace quillfen {
namespace {

using testing::near;
using testing::pixelAt;

class MenuBarChips : public testing::UiTest {};

const std::vector<MenuBarChip> kChips =
    qfMenuBarSampleChips({MenuBarMetric::cpu, MenuBarMetric::netDown, MenuBarMetric::temperature});

double valueWidth(const MenuBarChip& chip) {
    return qfTextWidth(chip.value, qfMenuBarValueFont());
}

TEST_F(MenuBarChips, SeparatorsOrCompactSpacesStandBetweenChipsOnWholePoints) {
    struct Case {
        MenuBarChipsOptions options;
        double gap; // from one chip's end to the next one's start
        bool separators;
    };
    for (const Case& c : {Case{{.twoLineLabels = false, .compactSpacing = false}, 11, true},
                          Case{{.twoLineLabels = false, .compactSpacing = true}, 4, false},
                          Case{{.twoLineLabels = true, .compactSpacing = false}, 11, true},
                          Case{{.twoLineLabels = true, .compactSpacing = true}, 4, false}}) {
        SCOPED_TRACE(::testing::Message() << "two-line " << c.options.twoLineLabels << " compact "
                                          << c.options.compactSpacing);
        const auto layout = qfMenuBarChipsLayout(kChips, c.options, 22);
        ASSERT_EQ(layout.chips.size(), 3u);
        double x = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto& chip = layout.chips[i];
            const double text = c.options.twoLineLabels
                                    ? std::max(valueWidth(kChips[i]),
                                               qfTextWidth(kChips[i].label, qfMenuBarLabelFont()))
                                    : valueWidth(kChips[i]);
            EXPECT_DOUBLE_EQ(chip.frame.width(), std::ceil(text)) << "chip " << i;
            EXPECT_DOUBLE_EQ(chip.frame.left(), x) << "chip " << i;
            // Texts are centred in their column.
            EXPECT_NEAR(chip.valueX - chip.frame.left(),
                        (chip.frame.width() - valueWidth(kChips[i])) / 2, 1e-9);
            if (i > 0 && c.separators) {
                const QRectF separator = layout.separators[i - 1];
                EXPECT_EQ(separator, QRectF(x - c.gap + 5, 5, 1, 12)) << "separator " << i;
            }
            x = chip.frame.right() + c.gap;
        }
        EXPECT_EQ(layout.separators.size(), c.separators ? 2u : 0u);
        EXPECT_DOUBLE_EQ(layout.width, layout.chips.back().frame.right());
        for (const auto& chip : layout.chips)
            EXPECT_EQ(chip.frame.left(), std::round(chip.frame.left())) << "whole points";
    }
}

TEST_F(MenuBarChips, TwoLinesFitTheMenuBarWithTheLabelAboveTheValue) {
    const QFontMetricsF label(qfMenuBarLabelFont()), value(qfMenuBarValueFont());
    const auto one = qfMenuBarChipsLayout(kChips, {.twoLineLabels = false}, 22);
    EXPECT_NEAR(one.chips[0].valueBaseline - value.capHeight() / 2, 11, 1e-9)
        << "one line: the value's capitals centred";
    const auto two = qfMenuBarChipsLayout(kChips, {.twoLineLabels = true}, 22);
    const auto& chip = two.chips[0];
    const double labelTop = chip.labelBaseline - label.capHeight();
    const double valueTop = chip.valueBaseline - value.capHeight();
    EXPECT_GT(valueTop, chip.labelBaseline) << "the lines do not overlap";
    EXPECT_NEAR(labelTop, 22 - chip.valueBaseline, 1e-9) << "the block is centred";
    EXPECT_GE(labelTop, 1);
    EXPECT_LE(chip.valueBaseline + value.descent() * 0.5, 22);
    // At the natural height the preview grows by a line.
    EXPECT_GT(qfMenuBarChipsNaturalHeight({.twoLineLabels = true}),
              qfMenuBarChipsNaturalHeight({.twoLineLabels = false}) + 8);
}

TEST_F(MenuBarChips, OnTheDarkPanelValuesStayWhiteInEveryTheme) {
    const std::vector<MenuBarChip> chips{{MenuBarMetric::cpu, "███", "23%"},
                                         {MenuBarMetric::temperature, "███", "47°"}};
    const auto layout = qfMenuBarChipsLayout(chips, {.twoLineLabels = true});
    const QSizeF size = qfMenuBarPreviewSize(layout);
    EXPECT_EQ(size, QSizeF(layout.width + 24, layout.height + 12));
    for (const auto theme : {QFThemeChoice::multi, QFThemeChoice::mono, QFThemeChoice::light}) {
        SCOPED_TRACE(rawValue(theme).data());
        const QImage image = testing::painted(
            size, [&](QPainter& p) { qfPaintMenuBarChips(p, layout, theme, true); },
            Qt::transparent, 2);
        const QColor panel = qfMenuBarPreviewBackground();
        EXPECT_EQ(pixelAt(image, size.width() / 2, 1), panel);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "rounded corner";
        const QRectF separator = layout.separators[0].translated(12, 6);
        EXPECT_TRUE(near(pixelAt(image, separator.center().x(), separator.center().y()),
                         testing::over(qfMenuBarSeparatorColor(), panel), 2));
        for (const auto& chip : layout.chips) {
            const QRectF valueBox(chip.valueX + 12, chip.valueBaseline + 6 - 6, 8, 5);
            EXPECT_GT(testing::pixelsWhere(image, valueBox,
                                           [](const QColor& c) { return near(c, Qt::white, 6); }),
                      0);
        }
    }
}

TEST_F(MenuBarChips, WithoutThePanelOnlyTheChipsArePainted) {
    const auto layout = qfMenuBarChipsLayout(kChips, {}, 22);
    const QImage image = testing::painted({std::floor(layout.width), 22}, [&](QPainter& p) {
        qfPaintMenuBarChips(p, layout, QFThemeChoice::multi, false);
    });
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(int(layout.separators[0].left()), 2)), 0);
    const QColor separator = image.pixelColor(int(layout.separators[0].left()), 11);
    EXPECT_TRUE(near(separator, Qt::white, 2));
    EXPECT_NEAR(separator.alphaF(), 0.12, 0.01);
}

} // namespace
} // namespace quillfen
