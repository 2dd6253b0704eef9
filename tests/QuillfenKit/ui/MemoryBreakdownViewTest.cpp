#include "ui/MemoryBreakdownView.h"
#include "UiTestSupport.h"
#include "format/Formatters.h"
#include "ui/QFText.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace testing; // the painting and pixel helpers of UiTestSupport.h

constexpr std::uint64_t MB = 1024 * 1024;

class MemoryBreakdown : public testing::UiTest {};

TEST_F(MemoryBreakdown, FourSegmentsThatAlwaysAddUpToTheTotal) {
    using C = QFSemanticColor;
    struct Case {
        const char* what;
        MemoryReading reading;
        std::uint64_t available;
    };
    const auto s = MemoryBreakdownView::segmentsOf(MemoryReading{.total = 9});
    // Labels and bar colours show in the legend and rendering tests; the text on the bar here.
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].textOnBarColor, (QFSemanticTint{C::white}));
    EXPECT_EQ(s[3].textOnBarColor, (QFSemanticTint{C::primary}));
    for (const Case& c : {
             Case{"room left", {400 * MB, 100 * MB, 60 * MB, 40 * MB, 7}, 200 * MB},
             Case{"over the total", {100, 60, 30, 20}, 0},
             Case{"exactly full", {90, 60, 30}, 0},
             // A hostile reading whose parts wrap round when added.
             Case{"parts beyond any total", {100, UINT64_MAX, UINT64_MAX, 5}, 0},
         }) {
        const auto p = MemoryBreakdownView::segmentsOf(c.reading);
        ASSERT_EQ(p.size(), 4u) << c.what;
        // Available is what the parts leave of the total, not the reading's `available` field.
        EXPECT_EQ(std::vector({p[0].bytes, p[1].bytes, p[2].bytes, p[3].bytes}),
                  std::vector({c.reading.app, c.reading.wired, c.reading.compressed, c.available}))
            << c.what;
    }
    EXPECT_TRUE(MemoryBreakdownView::segmentsOf(std::nullopt).empty());
}

TEST_F(MemoryBreakdown, SegmentWidthsShareTheBarLessOnePointBetweenThem) {
    const auto segments = MemoryBreakdownView::segmentsOf(MemoryReading{400, 100, 60, 40});
    EXPECT_EQ(MemoryBreakdownView::barWidths(segments, 400, 403),
              (std::vector<double>{100, 60, 40, 200}));
    // Narrower than the gaps: nothing is left to share, nothing goes below 0.
    EXPECT_EQ(MemoryBreakdownView::barWidths(segments, 400, 2), (std::vector<double>{0, 0, 0, 0}));
    // A total of 0 draws nothing rather than dividing by it.
    EXPECT_EQ(MemoryBreakdownView::barWidths(segments, 0, 403), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_TRUE(MemoryBreakdownView::barWidths({}, 400, 403).empty());
}

TEST_F(MemoryBreakdown, BarPaintsEachSegmentInItsColourWithGapsAndTheTrackBehind) {
    for (const auto theme : {QFThemeChoice::multi, QFThemeChoice::light}) {
        setTheme(theme);
        MemoryBreakdownView view;
        view.setReading(MemoryReading{400 * MB, 100 * MB, 60 * MB, 40 * MB});
        const QImage image = render(view, {403, view.sizeHint().height()}, kBackground);
        const auto l = view.layoutFor(403);
        const double y = l.bar.center().y();
        const QColor track = over(QF::withOpacity(QF::text2(), 0.08), kBackground);
        // Away from the labels, which sit in the middle of the wide segments.
        EXPECT_TRUE(near(pixelAt(image, 10, y), QF::cpu()));
        EXPECT_TRUE(near(pixelAt(image, 100.5, y), track)) << "gap after App";
        EXPECT_TRUE(near(pixelAt(image, 104, y), QF::mem()));
        EXPECT_TRUE(near(pixelAt(image, 161.5, y), track)) << "gap after Wired";
        EXPECT_TRUE(near(pixelAt(image, 164, l.bar.top() + 2), QF::gpu()));
        EXPECT_TRUE(near(pixelAt(image, 202.5, y), track)) << "gap after Compressed";
        EXPECT_TRUE(near(pixelAt(image, 210, l.bar.top() + 2),
                         over(QF::withOpacity(QF::text2(), 0.3), track)));
        EXPECT_EQ(pixelAt(image, 0, l.bar.top()), kBackground) << "rounded corner";
    }
}

TEST_F(MemoryBreakdown, ByteLabelsOnlyOnSegmentsWideEnoughShrinkingBeforeTheyAreCut) {
    const QString text = "12.35 GB";
    EXPECT_FALSE(MemoryBreakdownView::barLabel(text, 23.9));
    const auto roomy = MemoryBreakdownView::barLabel(text, 200);
    ASSERT_TRUE(roomy);
    EXPECT_EQ(roomy->text, text);
    const double natural = qfTextWidth(text, roomy->font);

    // Just too narrow: the same text, smaller, within the segment less 4 points.
    const double tight = natural * 0.8 + 4;
    const auto shrunk = MemoryBreakdownView::barLabel(text, tight);
    ASSERT_TRUE(shrunk);
    EXPECT_EQ(shrunk->text, text);
    EXPECT_LT(shrunk->font.pointSizeF(), roomy->font.pointSizeF());
    EXPECT_LE(qfTextWidth(shrunk->text, shrunk->font), tight - 4 + 0.01);

    // Far too narrow: 0.6 of the size at most, and cut.
    const auto cut = MemoryBreakdownView::barLabel(text, 24);
    ASSERT_TRUE(cut);
    EXPECT_NEAR(cut->font.pointSizeF(), roomy->font.pointSizeF() * 0.6, 0.01);
    EXPECT_TRUE(cut->text.endsWith(QChar(0x2026))) << cut->text.toStdString();
    EXPECT_LE(qfTextWidth(cut->text, cut->font), 20.01);
}

TEST_F(MemoryBreakdown, NarrowSegmentsCarryNoLabel) {
    MemoryBreakdownView view;
    // App gets 300 points, Wired 20: only App may show its bytes.
    view.setReading(MemoryReading{400 * MB, 300 * MB, 20 * MB, 0});
    const QImage image = render(view, {403, view.sizeHint().height()}, kBackground);
    const auto l = view.layoutFor(403);
    const auto inked = [&](const QRectF& r, const QColor& fill) {
        return testing::pixelsWhere(image, r.adjusted(1, 2, -1, -2),
                                    [&](const QColor& c) { return !near(c, fill, 20); });
    };
    EXPECT_GT(inked(l.segments[0], QF::cpu()), 10) << "App shows its bytes";
    EXPECT_EQ(inked(l.segments[1], QF::mem()), 0) << "Wired is too narrow";
}

TEST_F(MemoryBreakdown, LegendTooltipsNameEachSegmentsBytes) {
    MemoryBreakdownView view;
    view.setReading(MemoryReading{400 * MB, 100 * MB, 60 * MB, 40 * MB});
    view.resize(403, view.sizeHint().height());
    const auto l = view.layoutFor(403);
    ASSERT_EQ(l.legendEntries.size(), 4u);
    const char* expected[] = {"App: ", "Wired: ", "Compressed: ", "Available: "};
    const std::uint64_t bytes[] = {100 * MB, 60 * MB, 40 * MB, 200 * MB};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(view.toolTipAt(l.legendEntries[i].center()),
                  expected[i] + QString::fromStdString(Formatters::bytes(bytes[i])));
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_GT(l.legendEntries[i].left(), l.legendEntries[i - 1].right() + 11)
            << "entries keep their spacing and extra trailing space";
    EXPECT_TRUE(view.toolTipAt(l.bar.center()).isEmpty());
}

TEST_F(MemoryBreakdown, WithoutAReadingTheBarIsAnEmptyTrackAndTheLegendEmpty) {
    MemoryBreakdownView view;
    view.setThermal(ThermalReading{.memoryTemperatureC = 52});
    const QImage image = render(view, {300, view.sizeHint().height()}, kBackground);
    const auto l = view.layoutFor(300);
    EXPECT_TRUE(l.legendEntries.empty());
    const QColor track = over(QF::withOpacity(QF::text2(), 0.08), kBackground);
    for (const double x : {10.0, 150.0, 290.0})
        EXPECT_TRUE(near(pixelAt(image, x, l.bar.center().y()), track));
    for (double x = 0; x < 300; x += 3)
        ASSERT_EQ(pixelAt(image, x, l.legend.center().y()), kBackground) << x;
    // The temperature stands at the right of the header, in the user's unit.
    EXPECT_GT(testing::pixelsWhere(image, QRectF(250, 0, 50, l.header.bottom()),
                                   [](const QColor& c) { return c != kBackground; }),
              0);
}

} // namespace
} // namespace quillfen
