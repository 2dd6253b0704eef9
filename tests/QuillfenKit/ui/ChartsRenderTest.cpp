#include "UiTestSupport.h"
#include "ui/ChartGeometry.h"
#include "ui/QFHeroChart.h"
#include "ui/QFMirrorSparkline.h"
#include "ui/QFSparkline.h"
#include "ui/QFStackedSparkline.h"

#include <QPainter>

#include <cmath>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace testing; // the painting and pixel helpers of UiTestSupport.h

class ChartsRender : public testing::UiTest {};

// The colour a vertical fade from `top` to `bottom` opacity of `color` leaves at the middle of
// pixel row `row` of a chart `height` high.
QColor faded(const QColor& color, double top, double bottom, int row, double height) {
    const double t = (row + 0.5) / height;
    return over(QF::withOpacity(color, top + (bottom - top) * t), kBackground);
}

TEST_F(ChartsRender, SparklineAreaFadesFromUnderTheLineToNothing) {
    // The line at 12.5 / 26 of a 28-high box lies in the middle of row 14.
    QFSparkline line({.values = std::vector(60, 12.5 / 26), .color = QFRole::cpu});
    const QImage image = render(line, {120, 28}, kBackground);
    EXPECT_EQ(pixelAt(image, 60, 5), kBackground) << "nothing above the line";
    EXPECT_TRUE(near(pixelAt(image, 60, 18), faded(QF::cpu(), 0.45, 0, 18, 28), 3));
    EXPECT_TRUE(near(pixelAt(image, 60, 27), kBackground, 3));

    line.setOptions({.values = std::vector(60, 12.5 / 26), .fillOpacity = 0});
    const QImage hidden = render(line, {120, 28}, kBackground);
    EXPECT_EQ(pixelAt(hidden, 60, 14), kBackground);
    EXPECT_EQ(pixelAt(hidden, 60, 18), kBackground);
}

TEST_F(ChartsRender, StackedBandsFadeInTheirOwnColours) {
    // a = 0.25 and a + b = 0.75 of a ceiling of 1 in a 36-high chart: lines at 26.5 and 9.5.
    QFStackedSparkline chart({.a = std::vector(60, 0.25),
                              .b = std::vector(60, 0.5),
                              .colorA = QFRole::cpu,
                              .colorB = QFRole::sys});
    const QImage image = render(chart, {120, 36}, kBackground);
    EXPECT_EQ(pixelAt(image, 60, 4), kBackground);
    EXPECT_TRUE(near(pixelAt(image, 60, 9.5), QF::sys()));
    EXPECT_TRUE(near(pixelAt(image, 60, 18), faded(QF::sys(), 0.62, 0.12, 18, 36), 3));
    EXPECT_TRUE(near(pixelAt(image, 60, 26.5), QF::cpu()));
    EXPECT_TRUE(near(pixelAt(image, 60, 31), faded(QF::cpu(), 0.5, 0.08, 31, 36), 3));
}

TEST_F(ChartsRender, MirrorCentreLineIsDashedThreeOnThreeOffAndOnePixelHigh) {
    // Both halves at their peak, so their lines lie at the top and bottom edges.
    QFMirrorSparkline chart({.up = std::vector(60, 4096.0), .down = std::vector(60, 4096.0)});
    for (const double dpr : {1.0, 2.0}) {
        const QImage image = render(chart, {120, 48}, kBackground, dpr);
        // One point high, snapped to whole device pixels: [lineTop, lineTop + 1].
        const double lineTop = std::round(23.5 * dpr) / dpr, row = lineTop + 0.25 / dpr;
        const QColor on = pixelAt(image, 1.5, row), off = pixelAt(image, 4.5, row);
        const double lower = lineTop + 1 - 0.25 / dpr; // the line's other device row at 2×
        EXPECT_FALSE(near(pixelAt(image, 1.5, lower), pixelAt(image, 4.5, lower), 6)) << dpr;
        EXPECT_FALSE(near(on, off, 6)) << dpr;
        EXPECT_EQ(pixelAt(image, 7.5, row), on) << dpr;
        EXPECT_EQ(pixelAt(image, 10.5, row), off) << dpr;
        // The rows around it hold only the fills.
        const double above = lineTop - 0.25 / dpr, below = lineTop + 1 + 0.25 / dpr;
        EXPECT_TRUE(near(pixelAt(image, 1.5, above), pixelAt(image, 4.5, above), 1)) << dpr;
        EXPECT_TRUE(near(pixelAt(image, 1.5, below), pixelAt(image, 4.5, below), 1)) << dpr;
    }
}

TEST_F(ChartsRender, RibbonsCoverTheirWidthAndBlendATranslucentLineOnce) {
    std::vector<QPointF> scratch, line;
    for (int x = 0; x <= 200; ++x)
        line.emplace_back(20 + x, 10); // long enough to be drawn in several runs
    for (const QColor& colour : {QColor(200, 100, 0), QColor(200, 100, 0, 128)}) {
        const QImage image = testing::painted(
            {240, 40}, [&](QPainter& p) { qfStrokeRibbon(p, line, 2, colour, scratch); },
            kBackground);
        const QColor expected = over(colour, kBackground);
        for (const int x : {21, 44, 45, 46, 100, 116, 117, 200}) {
            EXPECT_TRUE(near(image.pixelColor(x, 9), expected, 1))
                << x << " alpha " << colour.alpha();
            EXPECT_TRUE(near(image.pixelColor(x, 10), expected, 1)) << x;
            EXPECT_EQ(image.pixelColor(x, 8), kBackground) << x;
            EXPECT_EQ(image.pixelColor(x, 11), kBackground) << x;
        }
        EXPECT_FALSE(near(image.pixelColor(220, 9), kBackground, 8))
            << "a round end beyond the last point";
        EXPECT_EQ(image.pixelColor(223, 9), kBackground);
    }
}

TEST_F(ChartsRender, HeroScaleLabelsNameTheDirectionsInMirrorMode) {
    const auto inked = [](const QImage& image, const QRectF& box, const QColor& colour) {
        return testing::pixelsWhere(image, box,
                                    [&](const QColor& c) { return near(c, colour, 40); });
    };
    QFHeroChart::Options o{.bigValue = "1.5",
                           .unit = "MB/s",
                           .color = QFRole::net,
                           .label = "In now",
                           .history = std::vector(60, 0.0),
                           .history2 = std::vector(60, 0.0),
                           .colorB = QFRole::sys,
                           .maxValue = 1024,
                           .height = 110,
                           .mirror = true};
    QFHeroChart chart(o);
    auto layout = qfHeroChartLayout(o, 400);
    QImage image = render(chart, QSize(400, int(layout.height)), kBackground);
    const QRectF top(0, layout.chart.top(), 14, 12), bottom(0, layout.chart.bottom() - 12, 14, 12);
    EXPECT_GT(inked(image, top, QF::net()), 3) << "↓ in the main colour";
    EXPECT_EQ(inked(image, top, QF::sys()), 0);
    EXPECT_GT(inked(image, bottom, QF::sys()), 3) << "↑ in the second colour";

    o.mirror = false;
    chart.setOptions(o);
    layout = qfHeroChartLayout(o, 400);
    image = render(chart, QSize(400, int(layout.height)), kBackground);
    const QRectF scale(0, layout.chart.top(), 30, 12);
    EXPECT_EQ(inked(image, scale, QF::net()), 0) << "100% in text4";
    EXPECT_GT(inked(image, scale, QF::text4()), 3);
}

} // namespace
} // namespace quillfen
