#include "ui/ChartGeometry.h"
#include "ui/QFCoreBars.h"
#include "ui/QFFillBar.h"
#include "ui/QFMiniProcList.h"
#include "ui/QFRing.h"
#include "ui/QFSegBar.h"
#include "ui/QFSparkline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
using ::testing::Pointwise;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> coordinates(const std::vector<QPointF>& points, qreal (QPointF::*of)() const) {
    std::vector<double> out;
    for (const auto& p : points)
        out.push_back((p.*of)());
    return out;
}
std::vector<double> ys(const std::vector<QPointF>& points) {
    return coordinates(points, &QPointF::y);
}

TEST(ChartGeometry, XsPutTheNewestSampleAtTheRightEdge) {
    EXPECT_THAT(qfXs(3, 100, 60),
                Pointwise(DoubleNear(1e-9), {100 * (1 - 2.0 / 59), 100 * (1 - 1.0 / 59), 100.0}));
    EXPECT_THAT(qfXs(3, 100, 1), ElementsAre(100, 100, 100));
    EXPECT_TRUE(qfXs(0, 100, 60).empty());
    EXPECT_TRUE(qfXs(-4, 100, 60).empty());
    const auto overfull = qfXs(5, 30, 4);
    EXPECT_THAT(overfull, Pointwise(DoubleNear(1e-9), {-10.0, 0.0, 10.0, 20.0, 30.0}));
}

TEST(ChartGeometry, SparklinePointsClampToOnePointInsideTheBox) {
    const QSizeF box(120, 28);
    EXPECT_TRUE(qfSparklinePoints(std::vector{0.5}, 1, 60, box).empty()) << "one value";
    EXPECT_TRUE(qfSparklinePoints({}, 1, 60, box).empty());

    const auto pts = qfSparklinePoints(std::vector{0.0, 0.5, 1.0, 7.0, -3.0, kNaN}, 1, 60, box);
    EXPECT_THAT(ys(pts), Pointwise(DoubleNear(1e-9), {27.0, 14.0, 1.0, 1.0, 27.0, 27.0}));
    EXPECT_THAT(coordinates(pts, &QPointF::x), Pointwise(DoubleNear(1e-9), qfXs(6, 120, 60)));

    // Two points high or less: a flat line one point above the bottom.
    for (const double h : {2.0, 1.5})
        EXPECT_THAT(ys(qfSparklinePoints(std::vector{0.0, 1.0, 0.3}, 1, 60, QSizeF(50, h))),
                    Pointwise(DoubleNear(1e-9), {h - 1, h - 1, h - 1}));
    // A maximum of zero draws everything at the bottom instead of dividing by it.
    EXPECT_THAT(ys(qfSparklinePoints(std::vector{0.0, 2.0}, 0, 60, box)),
                Pointwise(DoubleNear(1e-9), {27.0, 27.0}));
}

TEST(ChartGeometry, SmoothCurvesLeaveEverySampleHorizontally) {
    const std::vector<QPointF> pts{{0, 10}, {10, 0}, {30, 5}};
    const QPainterPath open = QFSparkline::smoothPath(pts);
    EXPECT_EQ(open.elementAt(0).type, QPainterPath::MoveToElement);
    const auto at = [&](const QPainterPath& p, int i) { return QPointF(p.elementAt(i)); };
    std::vector<QPointF> elements;
    for (int i = 0; i < open.elementCount(); ++i)
        elements.push_back(at(open, i));
    // A move and two cubics of three elements each.
    EXPECT_EQ(elements,
              (std::vector<QPointF>{{0, 10}, {5, 10}, {5, 0}, {10, 0}, {20, 0}, {20, 5}, {30, 5}}));

    const QPainterPath closed = QFSparkline::smoothPath(pts, 28.0);
    ASSERT_GE(closed.elementCount(), 9);
    EXPECT_EQ(at(closed, 7), QPointF(30, 28));
    EXPECT_EQ(at(closed, 8), QPointF(0, 28));
    EXPECT_EQ(closed.currentPosition(), QPointF(0, 10)) << "closed back to the first point";

    // Without `move` the first point is reached by a straight line from where the path is;
    // reversed, that joins an upper curve's end to a lower curve's end.
    QPainterPath band;
    band.moveTo(0, 2);
    band.lineTo(30, 1);
    qfAppendSmoothReversed(band, pts, false);
    EXPECT_EQ(band.elementAt(2).type, QPainterPath::LineToElement);
    EXPECT_EQ(at(band, 2), QPointF(30, 5));
    EXPECT_EQ(at(band, 3), QPointF(20, 5));
    EXPECT_EQ(band.currentPosition(), QPointF(0, 10));

    QPainterPath empty;
    qfAppendSmooth(empty, pts, false);
    EXPECT_EQ(empty.elementAt(0).type, QPainterPath::MoveToElement);
    EXPECT_EQ(at(empty, 0), QPointF(0, 0)) << "an empty path's current point is the origin";
    EXPECT_EQ(at(empty, 1), QPointF(0, 10));

    QPainterPath untouched;
    qfAppendSmooth(untouched, {}, true);
    EXPECT_TRUE(untouched.isEmpty());
}

TEST(ChartGeometry, StackedChartScalesToTheLargestSumOrTheFloor) {
    const QSizeF box(59, 36);
    auto g = qfStackedGeometry(std::vector{0.0, 0.0, 0.0}, std::vector{0.0, 0.0}, 1.0, 60, box);
    EXPECT_EQ(g.ceiling, 1.0) << "all zero uses minMax";
    EXPECT_EQ(g.lower.size(), 2u) << "only the first min(count) samples";
    EXPECT_THAT(ys(g.upper), Pointwise(DoubleNear(1e-9), {35.0, 35.0}));

    g = qfStackedGeometry(std::vector{1.0, 2.0, 0.5}, std::vector{1.0, 2.0, 0.5, 9.0}, 1.0, 60,
                          box);
    EXPECT_EQ(g.ceiling, 4.0);
    EXPECT_THAT(ys(g.lower), Pointwise(DoubleNear(1e-9), {35 - 8.5, 35 - 17.0, 35 - 4.25}));
    EXPECT_THAT(ys(g.upper), Pointwise(DoubleNear(1e-9), {35 - 17.0, 1.0, 35 - 8.5}));
    EXPECT_THAT(coordinates(g.lower, &QPointF::x), Pointwise(DoubleNear(1e-9), {57.0, 58.0, 59.0}));
    EXPECT_EQ(qfStackedGeometry({}, {}, 1, 60, box).ceiling, 1.0);
}

TEST(ChartGeometry, MirrorChartScalesBothHalvesToOnePeakWithAFloor) {
    const QSizeF box(100, 48);
    // Idle noise below 1024 in both directions stays near the middle.
    auto g =
        qfMirrorGeometry(std::vector{100.0, 512.0}, std::vector{0.0, 256.0, 900.0}, 1024, 60, box);
    EXPECT_EQ(g.mid, 24);
    EXPECT_EQ(g.peak, 1024) << "the maximum of down beyond the common count still counts";
    EXPECT_EQ(g.up.size(), 2u);
    EXPECT_THAT(ys(g.up), Pointwise(DoubleNear(1e-9), {24 - 23 * 100 / 1024.0, 24 - 11.5}));
    EXPECT_THAT(ys(g.down), Pointwise(DoubleNear(1e-9), {24.0, 24 + 23 * 0.25}));

    g = qfMirrorGeometry(std::vector{4096.0, 1024.0}, std::vector{2048.0, kNaN}, 1024, 60, box);
    EXPECT_EQ(g.peak, 4096);
    EXPECT_THAT(ys(g.up), Pointwise(DoubleNear(1e-9), {1.0, 24 - 23 * 0.25}));
    EXPECT_THAT(ys(g.down), Pointwise(DoubleNear(1e-9), {24 + 11.5, 24.0}));

    g = qfMirrorGeometry(std::vector{1.0, 1.0}, std::vector{1.0, 1.0}, 1, 60, QSizeF(10, 1));
    EXPECT_THAT(ys(g.up), Pointwise(DoubleNear(1e-9), {0.5, 0.5})) << "no amplitude below 0";
}

// What the painted views cannot show: inputs they are never fed, and clamps that clipping hides.
TEST(ComponentGeometry, BarsClampTheirInputs) {
    EXPECT_EQ(qfCoreBarsWidth(0, 4, 2), 0);
    EXPECT_DOUBLE_EQ(qfCoreBarFillHeight(-1, 14), 14 * 0.12);
    EXPECT_DOUBLE_EQ(qfCoreBarFillHeight(kNaN, 14), 14 * 0.12);
    EXPECT_DOUBLE_EQ(qfCoreBarFillHeight(3, 14), 14);
    EXPECT_EQ(qfFillBarWidth(1.5, 200), 200);
    EXPECT_EQ(qfRingFraction(1.7), 1);
    EXPECT_EQ(qfFillBarWidth(kNaN, 200), 0);
    EXPECT_EQ(qfRingFraction(kNaN), 0);
    EXPECT_THAT(qfSegBarWidths({1, -5, kNaN, 1}, 6, 2), ElementsAre(0, 0, 0, 0))
        << "gaps wider than the bar leave nothing";
    EXPECT_TRUE(qfSegBarWidths({}, 100, 2).empty());
    EXPECT_EQ(qfMiniProcPeak({}), 1.0);
}

} // namespace
} // namespace quillfen
