#include "TempDir.h"
#include "UiTestSupport.h"
#include "ui/QFCard.h"
#include "ui/QFCoreBars.h"
#include "ui/QFHeroChart.h"
#include "ui/QFMiniProcList.h"
#include "ui/QFProcessIcon.h"
#include "ui/QFQuillfenMark.h"
#include "ui/QFRing.h"
#include "ui/QFSegBar.h"
#include "ui/QFSetRow.h"
#include "ui/QFSparkline.h"
#include "ui/QFText.h"
#include "ui/Symbols.h"

#include <QFontInfo>
#include <QPainter>
#include <QRawFont>
#include <gtest/gtest.h>

#include <cmath>

namespace quillfen {
namespace {

using namespace testing; // the painting and pixel helpers of UiTestSupport.h

class Components : public testing::UiTest {};

TEST_F(Components, RingDrawsTheClampedShareClockwiseFromTwelve) {
    const QColor track = over(QF::track(), kBackground);
    // A point in the middle of the stroke, `turns` of the way round from twelve o'clock.
    const auto onCircle = [](double turns) {
        const double a = turns * 2 * M_PI, r = (50 - 4) / 2.0;
        return QPointF(25 + r * std::sin(a), 25 - r * std::cos(a));
    };
    struct Case {
        double value;
        std::vector<std::pair<double, bool>> coloured; // turns → drawn in the ring's colour
    };
    for (const Case& c : {Case{1.7, {{0.05, true}, {0.3, true}, {0.6, true}, {0.95, true}}},
                          Case{-0.2, {{0.05, false}, {0.3, false}, {0.6, false}, {0.95, false}}},
                          Case{0.4, {{0.1, true}, {0.3, true}, {0.6, false}, {0.9, false}}}}) {
        QFRing ring({.value = c.value, .color = QFRole::cpu});
        const QImage image = render(ring, {50, 50}, kBackground);
        for (const auto& [turns, coloured] : c.coloured) {
            const QPointF p = onCircle(turns);
            EXPECT_TRUE(near(pixelAt(image, p.x(), p.y()), coloured ? QF::cpu() : track))
                << "value " << c.value << " at " << turns << " turns";
        }
        EXPECT_EQ(pixelAt(image, 25, 25), kBackground) << "the middle stays empty";
    }
}

TEST_F(Components, CoreBarsShowLoadsWithAStubForIdleCores) {
    QFCoreBars bars({.cores = {0.0, 0.5, 3.0}, .color = QFRole::cpu});
    ASSERT_EQ(bars.sizeHint(), QSize(16, 14));
    const QImage image = render(bars, bars.sizeHint(), kBackground);
    const QColor cpu = QF::cpu(), track = over(QF::track(), kBackground);
    // Bars at x = 0, 6, 12, each 4 wide; sampled in their middle column.
    EXPECT_TRUE(near(pixelAt(image, 2, 13.5), cpu)) << "idle core: 12 % stub";
    EXPECT_TRUE(near(pixelAt(image, 2, 11.5), track));
    EXPECT_TRUE(near(pixelAt(image, 8, 7.5), cpu));
    EXPECT_TRUE(near(pixelAt(image, 8, 5.5), track));
    EXPECT_TRUE(near(pixelAt(image, 14, 0.5), cpu)) << "a load above 1 fills the box";
    EXPECT_EQ(pixelAt(image, 5, 7), kBackground) << "spacing between bars";
}

TEST_F(Components, SegmentBarWithoutShareShowsOnlyItsBackground) {
    const QColor fill2 = over(QF::fill2(), kBackground);
    QFSegBar empty({.segments = {}});
    QFSegBar zeros(
        {.segments = {{.value = 0, .color = QFRole::cpu}, {.value = 0, .color = QFRole::mem}}});
    QFSegBar split(
        {.segments = {{.value = 1, .color = QFRole::cpu}, {.value = 3, .color = QFRole::mem}}});
    for (QFSegBar* bar : {&empty, &zeros}) {
        const QImage image = render(*bar, {102, 6}, kBackground);
        for (const double x : {5.0, 50.0, 96.0})
            EXPECT_TRUE(near(pixelAt(image, x, 3), fill2)) << x;
    }
    // 100 points shared 1:3 after one gap of 2.
    const QImage image = render(split, {102, 6}, kBackground);
    EXPECT_TRUE(near(pixelAt(image, 20, 3), QF::cpu()));
    EXPECT_TRUE(near(pixelAt(image, 26, 3), fill2)) << "the gap";
    EXPECT_TRUE(near(pixelAt(image, 60, 3), QF::mem()));
}

TEST_F(Components, ProcessListBarsShareTheLargerOfThePeakAndOne) {
    QFMiniProcList list({.title = "By CPU",
                         .icon = "cpu",
                         .color = QFRole::cpu,
                         .rows = {{.name = "a", .value = 0.5, .display = "0.5%"}}});
    const QColor cpu = QF::cpu(), track = over(QF::track(), kBackground);
    QImage image = render(list, {300, 200}, kBackground);
    QRectF bar = list.barRect(0);
    ASSERT_GT(bar.width(), 100);
    EXPECT_TRUE(near(pixelAt(image, bar.left() + bar.width() * 0.4, bar.center().y()), cpu));
    EXPECT_TRUE(near(pixelAt(image, bar.left() + bar.width() * 0.6, bar.center().y()), track))
        << "0.5 of a peak of 1.0 fills half";

    list.setRows({{.name = "a", .value = 142, .display = "142%"},
                  {.name = "b", .value = 35.5, .display = "35.5%"}});
    image = render(list, {300, 200}, kBackground);
    bar = list.barRect(1);
    EXPECT_TRUE(near(pixelAt(image, bar.left() + bar.width() * 0.2, bar.center().y()), cpu));
    EXPECT_TRUE(near(pixelAt(image, bar.left() + bar.width() * 0.3, bar.center().y()), track));
}

TEST_F(Components, SettingsRowsSeparateAllButTheFirstAndPlaceHintAndControl) {
    QFSetRow first({.label = "Theme", .isFirst = true});
    QFSetRow next({.label = "Two-line labels", .hint = "Stack each label over its value."});
    const QImage a = render(first, {300, 42}, kBackground);
    const QImage b = render(next, next.sizeHint().expandedTo({300, 0}), kBackground);
    EXPECT_EQ(pixelAt(a, 150, 0.5), kBackground);
    EXPECT_TRUE(near(pixelAt(b, 150, 0.5), over(QF::border(), kBackground), 1));
    EXPECT_EQ(pixelAt(b, 150, 1.5), kBackground) << "one point high";

    QFText* label = nullptr;
    QFText* hint = nullptr;
    for (auto* t : next.findChildren<QFText*>())
        (t->options().text == "Two-line labels" ? label : hint) = t;
    ASSERT_TRUE(label && hint);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_GE(hint->geometry().top(), label->geometry().bottom() + 4);
    EXPECT_LE(hint->geometry().right(), 300 - QFSetRow::paddingH - 60 + 1);
    EXPECT_GT(next.sizeHint().height(), first.sizeHint().height());

    auto* control = new QWidget;
    control->setFixedSize(30, 10);
    QFSetRow row({.label = "Launch at login", .isFirst = true}, control);
    render(row, {300, 42}, kBackground);
    EXPECT_EQ(control->geometry().right() + 1, 300 - QFSetRow::paddingH);
    EXPECT_GE(row.sizeHint().height(), 22 + 2 * QFSetRow::paddingV) << "at least 22 high";
}

TEST_F(Components, CardBorderIsOnePointInsideItsEdge) {
    QFCard card;
    const QImage image = render(card, {200, 100}, kBackground);
    const QColor top = QF::cardTop();
    EXPECT_TRUE(near(pixelAt(image, 100, 0.5), over(QF::border(), top), 2));
    EXPECT_TRUE(near(pixelAt(image, 100, 1.5), top, 2));
    EXPECT_EQ(pixelAt(image, 0, 0), kBackground) << "rounded corner";
    EXPECT_TRUE(near(pixelAt(image, 0.5, 50), over(QF::border(), QF::cardTop()), 3));
}

TEST_F(Components, ViewsPickUpAThemeChangeWhenTheyPaintAgain) {
    // A flat line whose middle lies in the middle of pixel row 14 of a 28-high box.
    QFSparkline line({.values = std::vector(60, 12.5 / 26), .color = QFRole::cpu});
    EXPECT_TRUE(near(pixelAt(render(line, {120, 28}, kBackground), 60, 14), QF::cpu()));
    setTheme(QFThemeChoice::mono);
    EXPECT_TRUE(near(pixelAt(render(line, {120, 28}, kBackground), 60, 14), QF::cpu()));

    QFSparkline single({.values = {0.5}});
    const QImage blank = render(single, {120, 28}, kBackground);
    for (int y = 0; y < 28; y += 3)
        for (int x = 0; x < 120; x += 7)
            ASSERT_EQ(blank.pixelColor(x, y), kBackground) << "one value draws nothing";
}

TEST_F(Components, HeroChartPutsTheHairlineRightUnderItsChart) {
    QFHeroChart::Options o{.bigValue = "23",
                           .unit = "%",
                           .label = "Total load",
                           .stats = {{.label = "User", .value = "16%"}},
                           .history = std::vector(60, 74.5 / 148),
                           .history2 = std::vector(60, 37.0 / 148)};
    QFHeroChart chart(o);
    const double width = 600;
    const auto layout = qfHeroChartLayout(o, width);
    EXPECT_EQ(layout.chart.height(), 150);
    EXPECT_EQ(layout.hairline.top(), layout.chart.bottom());
    EXPECT_EQ(layout.chart.top(), std::round(layout.chart.top())) << "on whole points";
    for (const double dpr : {1.0, 2.0}) {
        const QImage image = render(chart, QSize(int(width), int(layout.height)), kBackground, dpr);
        EXPECT_TRUE(near(pixelAt(image, width / 2, layout.hairline.top() + 0.25),
                         over(QF::border(), kBackground), 1))
            << "a sharp hairline at " << dpr;
        // Stacked: the lower line through a, the upper through a + b, both in the middle of a
        // pixel row.
        const double top = layout.chart.top();
        EXPECT_TRUE(near(pixelAt(image, width / 2, top + 150 - 74.5 - 1), QF::cpu(), 8));
        EXPECT_TRUE(near(pixelAt(image, width / 2, top + 150 - 111.5 - 1), QF::sys(), 8));
    }
    EXPECT_EQ(chart.sizeHint().height(), int(std::ceil(layout.height)));
}

TEST_F(Components, EveryNamedSymbolIsInTheIconFontAndUnknownNamesDrawNothing) {
    const QRawFont font = QRawFont::fromFont(qfSymbolFont(24));
    ASSERT_TRUE(font.isValid());
    ASSERT_EQ(font.familyName(), "Material Icons") << "fonts-material-design-icons-iconfont";
    for (const auto name : qfSymbolNames())
        EXPECT_TRUE(font.supportsCharacter(QChar(*qfSymbolCodePoint(name)))) << name;
    EXPECT_FALSE(qfSymbolCodePoint("no.such.symbol"));

    const auto paint = [](std::string_view name) {
        const QImage image = testing::painted({24, 24}, [&](QPainter& p) {
            qfPaintSymbol(p, QRectF(0, 0, 24, 24), name, 20, QFont::DemiBold, Qt::white);
        });
        return testing::pixelsWhere(image, {0, 0, 24, 24},
                                    [](const QColor& c) { return c.alpha() > 128; });
    };
    EXPECT_GT(paint("checkmark.circle.fill"), 150);
    EXPECT_EQ(paint("no.such.symbol"), 0);
}

TEST_F(Components, FontsAreInterAndJetBrainsMonoAtPixelSizes) {
    EXPECT_EQ(QFontInfo(qf(13)).family(), "Inter") << "fonts-inter";
    EXPECT_EQ(QFontInfo(qfMono(13)).family(), "JetBrains Mono") << "fonts-jetbrains-mono";
    EXPECT_EQ(QFontInfo(qf(13, QFont::DemiBold)).weight(), QFont::DemiBold);
    for (const double size : {9.0, 11.5, 40.0})
        EXPECT_NEAR(QFontInfo(qfMono(size)).pixelSize(), size, 0.51) << size;
}

TEST_F(Components, TheIconFileDrawsWhatThePainterDraws) {
    QImage loaded;
    ASSERT_TRUE(loaded.loadFromData(qfQuillfenAppIconSVG(), "SVG")) << "libqt6svg6";
    const QImage fromFile = loaded;
    ASSERT_EQ(fromFile.size(), QSize(256, 256));
    const QImage painted = qfQuillfenAppIconImage(256);
    const double unit = 256 / 24.0, mark = 0.74, offset = 12 * (1 - mark);
    // The middle of the quill's shaft, on the tile.
    const auto& shaft = qfQuillfenMarkDrawing().polylines.at(1);
    const QPointF mid = (shaft.front() + shaft.back()) / 2 * mark + QPointF(offset, offset);
    for (const QImage* image : {&fromFile, &painted}) {
        EXPECT_TRUE(near(pixelAt(*image, mid.x() * unit, mid.y() * unit), QColor(0xFF992B), 6));
        EXPECT_EQ(qAlpha(image->pixel(2, 2)), 0) << "outside the rounded tile";
    }
    const QColor tile = painted.pixelColor(128, int(21.8 * unit));
    EXPECT_EQ(tile.alpha(), 255);
    EXPECT_TRUE(near(fromFile.pixelColor(128, int(21.8 * unit)), tile, 4));
}

// Icons of bundles and desktop entries, as the process list shows them.
class ProcessIcons : public testing::UiTest {
protected:
    void SetUp() override { qfClearProcessIconCache(); }
    void TearDown() override { qfClearProcessIconCache(); }

    std::filesystem::path image(const std::string& name, const QColor& colour) {
        testing::writeIcon(dir / name, colour);
        return dir / name;
    }

    std::filesystem::path bundle(const std::string& name, const json::Json& info) {
        const auto path = dir.path() / (name + ".app");
        std::filesystem::create_directories(path / "Contents" / "Resources");
        fake.workspace->bundles[path] = info;
        return path;
    }

    std::filesystem::path entry(const std::string& name, const std::string& icon) {
        const auto path = dir.path() / (name + ".desktop");
        testing::writeText(path, "[Desktop Entry]\nType=Application\nName=" + name +
                                     "\nIcon=" + icon + "\n");
        return path;
    }

    QColor centre(const std::optional<std::filesystem::path>& url) {
        QFProcessIcon icon({.bundleURL = url, .size = 16});
        return pixelAt(render(icon, {16, 16}, kBackground), 8, 8);
    }

    TempDir dir;
};

TEST_F(ProcessIcons, WithoutAnIconTheGearTileShows) {
    QFProcessIcon icon({.size = 16});
    const QImage tile = render(icon, {16, 16}, kBackground);
    const QColor fill2 = over(QF::fill2(), kBackground);
    EXPECT_TRUE(near(pixelAt(tile, 1.5, 8), fill2)) << "tile beside the gear";
    EXPECT_EQ(pixelAt(tile, 0, 0), kBackground) << "rounded corner";
    int gear = 0;
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            gear += near(tile.pixelColor(x, y), QF::text3(), 12);
    EXPECT_GT(gear, 12) << "a gear in text3 in the middle";

    const auto hostile = bundle("Hostile", {{"CFBundleIconFile", "../../Elsewhere.png"}});
    image("Elsewhere.png", Qt::red);
    EXPECT_TRUE(near(centre(hostile), centre(std::nullopt))) << "names stay in Resources";
    EXPECT_TRUE(near(centre(bundle("Plain", {{"CFBundleName", "Plain"}})), centre(std::nullopt)));
    EXPECT_TRUE(near(centre(entry("Broken", "")), centre(std::nullopt)));
}

TEST_F(ProcessIcons, BundlesAndDesktopEntriesShowTheirOwnIconLookedUpOnce) {
    const auto app = bundle("Painter", {{"CFBundleIconFile", "AppIcon"}});
    const auto png = image("Painter.app/Contents/Resources/AppIcon.png", QColor(200, 40, 40));
    EXPECT_TRUE(near(centre(app), QColor(200, 40, 40)));

    const auto file = image("icons/tool.png", QColor(40, 200, 40));
    const auto desktop = entry("tool", file.string());
    EXPECT_TRUE(near(centre(desktop), QColor(40, 200, 40)));

    // Once looked up, an icon stays: its files are not read again.
    std::filesystem::remove(png);
    std::filesystem::remove(file);
    EXPECT_TRUE(near(centre(app), QColor(200, 40, 40)));
    EXPECT_TRUE(near(centre(desktop), QColor(40, 200, 40)));
    qfClearProcessIconCache();
    EXPECT_TRUE(near(centre(app), centre(std::nullopt)));
}

} // namespace
} // namespace quillfen
