#include "TrayChips.h"
#include "TrayItem.h"

#include "QuillfenKit/ui/UiTestSupport.h"
#include "ui/Palette.h"

#include <gtest/gtest.h>

namespace quillfen::menu {
namespace {

class TrayChips : public quillfen::testing::UiTest {};

// A machine that has every reading the menu bar can show.
SnapshotValues readings() {
    SnapshotValues v;
    v.cpu = CPUReading{.overall = 0.234, .user = 0.2, .system = 0.034};
    v.gpu = GPUReading{.utilization = 0.08};
    v.memory = MemoryReading{.total = 32ull << 30, .app = 20ull << 30, .wired = 7ull << 30};
    v.thermal = ThermalReading{.cpuTemperatureC = 47.2};
    v.battery = BatteryReading{.chargePercent = 1.0, .isOnAC = true};
    v.network = NetworkReading{.bytesInPerSec = 1887437, .bytesOutPerSec = 86 * 1024};
    return v;
}

const std::vector<MenuBarMetric> kAll{MenuBarMetric::cpu,     MenuBarMetric::gpu,
                                      MenuBarMetric::memory,  MenuBarMetric::temperature,
                                      MenuBarMetric::battery, MenuBarMetric::netDown,
                                      MenuBarMetric::netUp};

TEST_F(TrayChips, ValuesAreAsShortAsThePreviewShowsThemAndDashesWithoutAReading) {
    const std::vector<QString> expected{"23%", "8%", "27G", "47°", "100%", "1.8M", "86K"};
    for (std::size_t i = 0; i < kAll.size(); ++i) {
        EXPECT_EQ(compactValue(kAll[i], readings()), expected[i]) << i;
        EXPECT_EQ(compactValue(kAll[i], SnapshotValues{}), "—") << i;
    }
    AppSettings::shared().setTemperatureUnit(TemperatureUnit::fahrenheit);
    EXPECT_EQ(compactValue(MenuBarMetric::temperature, readings()), "117°");
    // A machine whose processor reports no temperature shows another part's.
    SnapshotValues gpuOnly;
    gpuOnly.thermal = ThermalReading{.gpuTemperatureC = 60};
    EXPECT_EQ(compactValue(MenuBarMetric::temperature, gpuOnly), "140°");
}

TEST_F(TrayChips, ByteCountsKeepADecimalOnlyBelowTenAndCarryIntoTheNextUnit) {
    struct Case {
        std::uint64_t bytes;
        const char* text;
    };
    for (const Case& c : {Case{0, "0B"}, Case{1023, "1023B"}, Case{1024, "1K"}, Case{1536, "1.5K"},
                          Case{10 * 1024 - 1, "10K"}, Case{1023 * 1024, "1023K"},
                          Case{(1ull << 20) - 1, "1M"}, Case{(1ull << 20) * 95 / 10, "9.5M"},
                          Case{27ull << 30, "27G"}, Case{(1ull << 40) * 3 / 2, "1.5T"}})
        EXPECT_EQ(compactBytes(c.bytes), c.text) << c.bytes;
}

TEST_F(TrayChips, TheTooltipListsEveryEnabledMetricWithItsFullValueEvenOnASquareIcon) {
    AppSettings::shared().setMenuBarMetrics(
        {MenuBarMetric::netDown, MenuBarMetric::memory, MenuBarMetric::temperature});
    const auto state = trayIconState(readings(), TrayShape::square);
    ASSERT_EQ(state.chips.size(), 1u);
    EXPECT_EQ(state.chips[0].metric, MenuBarMetric::netDown);
    EXPECT_EQ(trayTooltip(AppSettings::shared().menuBarMetrics(), readings()),
              "Quillfen\nNetwork ↓: 1.8 MB/s\nMemory: 27 GB of 32 GB\nTemperature: 47°C");
    EXPECT_EQ(trayTooltip({MenuBarMetric::gpu}, SnapshotValues{}), "Quillfen\nGPU: —");
}

TEST_F(TrayChips, TheIconIsAsWideAsTheChipsOrSquareAtTheTraysHeightAndPixelRatio) {
    AppSettings::shared().setMenuBarMetrics(kAll);
    for (const double dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        const auto wide = trayIconState(readings(), TrayShape::wide);
        const auto layout = qfMenuBarChipsLayout(wide.chips, wide.options, kTrayIconHeight);
        const QImage strip = renderTrayIcon(wide, dpr);
        EXPECT_EQ(strip.height(), kTrayIconHeight * dpr);
        EXPECT_EQ(strip.width(), std::ceil(layout.width * dpr));
        const QImage square = renderTrayIcon(trayIconState(readings(), TrayShape::square), dpr);
        EXPECT_EQ(square.size(), QSize(kTrayIconHeight, kTrayIconHeight) * dpr);
        // The chip is drawn, on nothing: corners stay transparent.
        EXPECT_EQ(quillfen::testing::pixelAt(square, 0, 0).alpha(), 0);
        EXPECT_GT(quillfen::testing::pixelsWhere(square,
                                                 QRectF(0, 0, kTrayIconHeight, kTrayIconHeight),
                                                 [](const QColor& c) { return c.alpha() == 255; }),
                  0);
    }
}

// Some fully covered pixel of the glyphs in `box` has the colour `want`.
bool inkOf(const QImage& icon, const QRectF& box, const QColor& want) {
    return quillfen::testing::pixelsWhere(icon, box, [&](const QColor& c) {
        return c.alpha() == 255 && quillfen::testing::near(c, want, 2);
    });
}

// The label line takes each chip's colour of the menu bar's own theme, not the app's; values
// are white but in the light theme, meant for light panels.
TEST_F(TrayChips, LabelsTakeTheChipColourOfTheMenuBarThemeAndValuesSuitItsPanel) {
    auto& s = AppSettings::shared();
    s.setMenuBarMetrics({MenuBarMetric::cpu, MenuBarMetric::memory});
    s.setTwoLineMenuBarLabels(true);
    s.setTheme(QFThemeChoice::light);
    for (const auto theme : {QFThemeChoice::multi, QFThemeChoice::mono, QFThemeChoice::monoBlue,
                             QFThemeChoice::dual, QFThemeChoice::light}) {
        s.setMenuBarTheme(theme);
        const auto state = trayIconState(readings(), TrayShape::wide);
        const QImage icon = renderTrayIcon(state, 2);
        const auto layout = qfMenuBarChipsLayout(state.chips, state.options, kTrayIconHeight);
        const QColor value =
            theme == QFThemeChoice::light ? QFSurfaces::light().text1 : QColor(Qt::white);
        for (const auto& chip : layout.chips) {
            const QRectF label(chip.frame.left(), 0, chip.frame.width(), chip.labelBaseline);
            const QRectF values(chip.frame.left(), chip.labelBaseline + 1, chip.frame.width(),
                                chip.valueBaseline - chip.labelBaseline - 1);
            EXPECT_TRUE(inkOf(icon, label, QF::chipColor(chip.chip.metric, theme)))
                << rawValue(theme) << " " << rawValue(chip.chip.metric);
            EXPECT_TRUE(inkOf(icon, values, value)) << rawValue(theme);
        }
    }
}

TEST_F(TrayChips, TheIconIsDrawnAgainOnlyWhenWhatItShowsChanges) {
    SystemSnapshot snapshot;
    snapshot.apply(readings());
    auto& s = AppSettings::shared();
    s.setMenuBarMetrics({MenuBarMetric::cpu, MenuBarMetric::netUp});
    TrayIconModel model(snapshot, TrayShape::wide, 1);
    int icons = 0, tooltips = 0;
    QObject::connect(&model, &TrayIconModel::iconChanged, [&] { ++icons; });
    QObject::connect(&model, &TrayIconModel::tooltipChanged, [&] { ++tooltips; });
    const int drawn = model.drawCount();

    // Nothing the chips show: the same readings again, histories, a reading not shown, a
    // load that rounds to the same percent, an unshown temperature in another unit.
    snapshot.apply(readings());
    snapshot.append(SystemSnapshot::History::cpuUser, 0.5);
    snapshot.setGpu(GPUReading{.utilization = 0.9});
    auto v = readings();
    v.cpu->overall = 0.2349;
    snapshot.setCpu(v.cpu);
    s.setTemperatureUnit(TemperatureUnit::fahrenheit);
    s.setTheme(QFThemeChoice::mono);
    EXPECT_EQ(model.drawCount(), drawn);
    EXPECT_EQ(icons, 0);

    struct Step {
        const char* what;
        std::function<void()> change;
    };
    const std::vector<Step> steps{
        {"shown value", [&] { snapshot.setCpu(CPUReading{.overall = 0.5}); }},
        {"metric list", [&] { s.setMenuBarMetrics({MenuBarMetric::netUp}); }},
        {"two-line labels", [&] { s.setTwoLineMenuBarLabels(true); }},
        {"compact spacing", [&] { s.setCompactMenuBarSpacing(true); }},
        {"menu-bar theme", [&] { s.setMenuBarTheme(QFThemeChoice::monoGray); }},
        {"reading gone", [&] { snapshot.setNetwork(std::nullopt); }},
    };
    for (const auto& step : steps) {
        const int before = model.drawCount();
        step.change();
        EXPECT_EQ(model.drawCount(), before + 1) << step.what;
    }
    EXPECT_EQ(icons, int(steps.size()));
    EXPECT_EQ(model.state().chips.at(0).value, "—");

    // The tooltip changes with a reading only it shows in full.
    s.setMenuBarMetrics({MenuBarMetric::memory});
    const int beforeTips = tooltips, beforeIcons = model.drawCount();
    auto memory = *readings().memory;
    memory.app += 10 << 20; // 10 MB more: still "27G", no longer "27 GB"
    snapshot.setMemory(memory);
    EXPECT_EQ(model.drawCount(), beforeIcons);
    EXPECT_EQ(tooltips, beforeTips + 1);
}

} // namespace
} // namespace quillfen::menu
