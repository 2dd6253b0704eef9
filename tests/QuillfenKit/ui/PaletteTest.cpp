#include "ui/Palette.h"

#include "Table.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::UiTest;

struct ThemeRow : testing::Row {
    QFThemeChoice theme;
    // cpu, gpu, mem, disk, net, bat, warn, sys, brand
    std::array<unsigned, 9> accents;
};

QColor hex(unsigned v) {
    return QColor((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff);
}

class AccentTable : public UiTest, public ::testing::WithParamInterface<ThemeRow> {};

TEST_P(AccentTable, EveryRoleHasItsValueAndTheAccessorsFollowTheSetting) {
    const auto& row = GetParam();
    std::array<QColor, 9> expected;
    for (std::size_t i = 0; i < 9; ++i)
        expected[i] = hex(row.accents[i]);
    const QFAccents& a = accents(row.theme);
    EXPECT_EQ((std::array{a.cpu, a.gpu, a.mem, a.disk, a.net, a.bat, a.warn, a.sys, a.brand}),
              expected);

    // Another theme first, so that a remembered palette would show.
    setTheme(row.theme == QFThemeChoice::multi ? QFThemeChoice::light : QFThemeChoice::multi);
    setTheme(row.theme);
    const std::array<QColor, 9> viaQF{QF::cpu(), QF::gpu(),  QF::mem(), QF::disk(), QF::net(),
                                      QF::bat(), QF::warn(), QF::sys(), QF::brand()};
    EXPECT_EQ(viaQF, expected);
    const auto sw = swatches(row.theme);
    EXPECT_EQ(std::vector(sw.begin(), sw.end()),
              std::vector(expected.begin(), expected.begin() + 5));
    EXPECT_EQ(QF::surfaces(),
              row.theme == QFThemeChoice::light ? QFSurfaces::light() : QFSurfaces::dark());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Themes, AccentTable, ::testing::Values(
    ThemeRow{"multi", QFThemeChoice::multi, {0x00AFFF, 0xAE89FF, 0xFFA714, 0x4CD676, 0xF970D2, 0x88D656, 0xFF6853, 0xFC5855, 0xFF992B}},
    ThemeRow{"dual", QFThemeChoice::dual, {0x00AFFF, 0x008CDF, 0xFFA034, 0xEB7C33, 0xFFB678, 0x60C2FF, 0xFF6853, 0x0077BD, 0xFF992B}},
    ThemeRow{"mono", QFThemeChoice::mono, {0xFFA84A, 0xEC7D00, 0xFFC484, 0xFF9000, 0xD77600, 0xFFB769, 0xF0532B, 0xBF5900, 0xFFA242}},
    ThemeRow{"monoGray", QFThemeChoice::monoGray, {0xD1D1D1, 0xA4A4A4, 0xE8E8E8, 0xBEBEBE, 0x8C8C8C, 0xD7D7D7, 0xEF5B36, 0x747474, 0xD1D1D1}},
    ThemeRow{"monoBlue", QFThemeChoice::monoBlue, {0x00B9FF, 0x008FE1, 0x62DAFF, 0x00A5EC, 0x007ACB, 0x36CDFF, 0xEF5B36, 0x006EB8, 0x00B2FE}},
    ThemeRow{"light", QFThemeChoice::light, {0x007FE1, 0x8658E1, 0xD36E00, 0x00A245, 0xD53DAF, 0x55AB00, 0xE62E1E, 0xD40924, 0xD46000}}),
    ::testing::PrintToStringParamName());
// clang-format on

struct SurfaceRow : testing::Row {
    const QFSurfaces& set;
    // windowBG … sidebarBot, then text1 … text4, opaque
    std::array<unsigned, 9> opaque;
    // white (dark) or black (light) at these opacities: chromeTop, border, borderStrong,
    // fill1 … fill4, track
    double tint;
    std::array<double, 8> opacities;
};

class SurfaceTable : public ::testing::TestWithParam<SurfaceRow> {};

TEST_P(SurfaceTable, EveryRoleHasItsValue) {
    const auto& r = GetParam();
    const QFSurfaces& s = r.set;
    const std::array<QColor, 9> opaque{s.windowBG, s.cardTop, s.cardBot, s.sidebarTop, s.sidebarBot,
                                       s.text1,    s.text2,   s.text3,   s.text4};
    for (std::size_t i = 0; i < opaque.size(); ++i)
        EXPECT_EQ(opaque[i], hex(r.opaque[i])) << i;
    const std::array<QColor, 8> tinted{s.chromeTop, s.border, s.borderStrong, s.fill1,
                                       s.fill2,     s.fill3,  s.fill4,        s.track};
    for (std::size_t i = 0; i < tinted.size(); ++i) {
        EXPECT_EQ(tinted[i].rgb() & 0xffffff, r.tint ? 0xffffffu : 0u) << i;
        EXPECT_NEAR(tinted[i].alphaF(), r.opacities[i], 1e-4) << i;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sets, SurfaceTable, ::testing::Values(
    SurfaceRow{"dark", QFSurfaces::dark(),
               {0x0A0B0E, 0x16171E, 0x131418, 0x101116, 0x0C0D12, 0xF1F2F6, 0x9A9CAE, 0x5B5D6E, 0x3D3F4A},
               1, {0.02, 0.06, 0.10, 0.025, 0.04, 0.06, 0.08, 0.05}},
    SurfaceRow{"light", QFSurfaces::light(),
               {0xF3F4F7, 0xFFFFFF, 0xFAFBFD, 0xEEF0F4, 0xE7E9EE, 0x1C1D22, 0x535463, 0x85869A, 0xB8B9C6},
               0, {0.015, 0.08, 0.12, 0.025, 0.04, 0.06, 0.08, 0.06}}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST_F(UiTest, MetricColoursAndChipsFollowTheirTheme) {
    const std::pair<MenuBarMetric, QColor QFAccents::*> mapping[] = {
        {MenuBarMetric::cpu, &QFAccents::cpu},     {MenuBarMetric::gpu, &QFAccents::gpu},
        {MenuBarMetric::memory, &QFAccents::mem},  {MenuBarMetric::temperature, &QFAccents::warn},
        {MenuBarMetric::battery, &QFAccents::bat}, {MenuBarMetric::netDown, &QFAccents::net},
        {MenuBarMetric::netUp, &QFAccents::net}};
    for (const auto theme : kThemeChoices.allCases()) {
        setTheme(theme);
        const auto& a = accents(theme);
        for (const auto& [metric, field] : mapping) {
            EXPECT_EQ(QF::color(metric), a.*field) << rawValue(theme) << " " << rawValue(metric);
            EXPECT_EQ(QF::chipColor(metric, theme), isMono(theme) ? a.brand : a.*field)
                << rawValue(theme) << " " << rawValue(metric);
        }
    }
    // The chip takes the theme it is given, not the window's.
    setTheme(QFThemeChoice::light);
    EXPECT_EQ(QF::chipColor(MenuBarMetric::temperature, QFThemeChoice::multi),
              QColor(255, 104, 83));
    EXPECT_EQ(QF::chipColor(MenuBarMetric::cpu, QFThemeChoice::monoBlue), QColor(0, 178, 254));
}

TEST_F(UiTest, ConstantsAndRolesResolvedWhenAsked) {
    EXPECT_EQ(QF::popoverShadow().rgb() & 0xffffff, 0u);
    EXPECT_NEAR(QF::popoverShadow().alphaF(), 0.55, 1e-4);

    const QFColor cpu = QFRole::cpu, fixed = QColor(1, 2, 3);
    EXPECT_EQ(cpu.resolve(), hex(0x00AFFF));
    setTheme(QFThemeChoice::mono);
    EXPECT_EQ(cpu.resolve(), hex(0xFFA84A)) << "a role is looked up at each use";
    EXPECT_EQ(fixed.resolve(), QColor(1, 2, 3));
    EXPECT_NEAR(QF::withOpacity(QF::border(), 0.5).alphaF(), 0.03, 1e-4);
}

} // namespace
} // namespace quillfen
