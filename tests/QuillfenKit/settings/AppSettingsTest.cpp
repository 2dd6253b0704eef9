#include "settings/AppSettings.h"

#include "ChangeCounts.h"
#include "Table.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <map>

namespace quillfen {
namespace {

using platform::fake::FakeUserDefaults;
using V = std::vector<std::string>;

// Counts change signals and records hook calls in order.
class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings::loginItemHandler = [this](bool on) {
            calls.push_back(on ? "login:on" : "login:off");
        };
        AppSettings::onLocalChange = [this] { calls.push_back("local"); };
    }
    void TearDown() override {
        AppSettings::loginItemHandler = nullptr;
        AppSettings::onLocalChange = nullptr;
    }

    std::unique_ptr<AppSettings> load() {
        auto s = std::make_unique<AppSettings>(store);
        changes = std::make_unique<testing::ChangeCounts>(*s);
        return s;
    }
    std::map<std::string, int> changed() const { return changes->counts(); }

    std::shared_ptr<FakeUserDefaults> store = std::make_shared<FakeUserDefaults>();
    std::vector<std::string> calls;
    std::unique_ptr<testing::ChangeCounts> changes;
};

struct LoadCase : testing::Row {
    std::map<std::string, platform::DefaultsValue> stored;
    AppSettingsValues expected;
};

class AppSettingsLoading : public AppSettingsTest,
                           public ::testing::WithParamInterface<LoadCase> {};

TEST_P(AppSettingsLoading, FallsBackPerKeyAndWritesNothing) {
    for (const auto& [k, v] : GetParam().stored)
        store->values.insert_or_assign(k, v);
    const auto before = store->values;
    EXPECT_EQ(load()->values(), GetParam().expected);
    EXPECT_EQ(store->values, before);
    EXPECT_TRUE(calls.empty());
}

AppSettingsValues with(auto change) {
    AppSettingsValues v;
    change(v);
    return v;
}

// An expectation of {} is the defaults.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, AppSettingsLoading, ::testing::Values(
    LoadCase{"Empty", {}, {}},
    LoadCase{"UnknownMetricsDropped", {{"menuBarMetrics", V{"gpu", "nonsense", "netUp", "gpu"}}},
             with([](auto& v) { v.menuBarMetrics = {MenuBarMetric::gpu, MenuBarMetric::netUp,
                                                    MenuBarMetric::gpu}; })},
    LoadCase{"OnlyUnknownMetrics", {{"menuBarMetrics", V{"x", "y"}}}, {}},
    LoadCase{"MetricsNotAnArray", {{"menuBarMetrics", std::string("cpu")}}, {}},
    LoadCase{"PauseAsText", {{"pauseSamplingWhenClosed", std::string("false")}}, {}},
    LoadCase{"PauseOff", {{"pauseSamplingWhenClosed", false}},
             with([](auto& v) { v.pauseSamplingWhenClosed = false; })},
    LoadCase{"Fahrenheit", {{"temperatureUnit", std::string("fahrenheit")}},
             with([](auto& v) { v.temperatureUnit = TemperatureUnit::fahrenheit; })},
    LoadCase{"UnknownUnit", {{"temperatureUnit", std::string("kelvin")}}, {}},
    LoadCase{"BooleansAsText", {{"launchAtLogin", std::string("true")}, {"twoLineMenuBarLabels", true},
                                {"compactMenuBarSpacing", V{"true"}}},
             with([](auto& v) { v.twoLineMenuBarLabels = true; })},
    LoadCase{"MenuBarThemeFollowsTheme", {{"theme", std::string("light")}},
             with([](auto& v) { v.theme = v.menuBarTheme = QFThemeChoice::light; })},
    LoadCase{"UnknownMenuBarThemeFollowsTheme",
             {{"theme", std::string("monoBlue")}, {"menuBarTheme", std::string("neon")}},
             with([](auto& v) { v.theme = v.menuBarTheme = QFThemeChoice::monoBlue; })},
    LoadCase{"BothThemes", {{"theme", std::string("dual")}, {"menuBarTheme", std::string("monoGray")}},
             with([](auto& v) { v.theme = QFThemeChoice::dual;
                                v.menuBarTheme = QFThemeChoice::monoGray; })},
    LoadCase{"UnknownTheme", {{"theme", std::string("neon")}}, {}}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST_F(AppSettingsTest, AChangePersistsNotifiesAndCallsTheHooksInOrder) {
    const auto s = load();
    s->setLaunchAtLogin(true);
    EXPECT_EQ(calls, (std::vector<std::string>{"login:on", "local"}));
    EXPECT_EQ((*changes)["launchAtLogin"], 1);

    s->setMenuBarMetrics({MenuBarMetric::netDown, MenuBarMetric::cpu});
    s->setTemperatureUnit(TemperatureUnit::fahrenheit);
    s->setMenuBarTheme(QFThemeChoice::mono);
    // The keys changed and no others.
    EXPECT_EQ(store->values, (decltype(store->values){{"launchAtLogin", true},
                                                      {"menuBarMetrics", V{"netDown", "cpu"}},
                                                      {"menuBarTheme", "mono"},
                                                      {"temperatureUnit", "fahrenheit"}}));
    EXPECT_EQ(calls.size(), 5u);
    EXPECT_EQ(load()->values(), s->values()) << "a new process reads what was stored";
}

TEST_F(AppSettingsTest, OnlyFieldsThatDifferAreAssignedEachOnce) {
    const auto s = load();
    s->setPauseSamplingWhenClosed(true);
    s->setMenuBarMetrics({MenuBarMetric::cpu});
    s->setTheme(QFThemeChoice::multi);
    s->apply(s->values());
    EXPECT_TRUE(store->values.empty());
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(changed().empty());

    auto v = s->values();
    v.compactMenuBarSpacing = true;
    v.theme = QFThemeChoice::light;
    s->apply(v);
    EXPECT_EQ(calls, (std::vector<std::string>{"local", "local"}));
    EXPECT_EQ(changed(), (std::map<std::string, int>{{"compactMenuBarSpacing", 1}, {"theme", 1}}));
    EXPECT_EQ(s->values(), v);
}

TEST_F(AppSettingsTest, StoredSettingsAreAdoptedWithoutBeingWrittenOrHandedOn) {
    const auto s = load();
    // Another process chose a theme; the menu-bar theme follows it and was never chosen.
    store->values.insert_or_assign("theme", std::string("light"));
    store->values.insert_or_assign("launchAtLogin", true);
    const auto before = store->values;
    s->reload();
    EXPECT_EQ(s->theme(), QFThemeChoice::light);
    EXPECT_EQ(s->menuBarTheme(), QFThemeChoice::light);
    EXPECT_EQ(store->values, before) << "nothing written back, so no key is invented";
    EXPECT_EQ(calls, (std::vector<std::string>{"login:on"})) << "handed on to nobody";
    EXPECT_EQ(changed(), (std::map<std::string, int>{
                             {"launchAtLogin", 1}, {"menuBarTheme", 1}, {"theme", 1}}));

    auto v = s->values();
    v.temperatureUnit = TemperatureUnit::fahrenheit;
    s->adopt(v);
    EXPECT_EQ(s->temperatureUnit(), TemperatureUnit::fahrenheit);
    EXPECT_EQ(store->values, before);
}

TEST_F(AppSettingsTest, AChangeTheStoreRefusesIsReportedAndLoggedOnce) {
    platform::fake::FakePlatform fake;
    const auto s = load();
    store->refuseWrites = true;
    store->trouble = "cannot save the settings file /x (Read-only file system)";
    s->setTheme(QFThemeChoice::dual);
    s->setTemperatureUnit(TemperatureUnit::fahrenheit);
    EXPECT_EQ(s->unsavedReason(), store->trouble);
    EXPECT_EQ(fake.log->lines(),
              (std::vector<std::string>{
                  "Quillfen: cannot save the settings file /x (Read-only file system)"}));
    store->refuseWrites = false;
    store->trouble.reset();
    s->setTheme(QFThemeChoice::mono);
    EXPECT_EQ(s->unsavedReason(), std::nullopt);
}

TEST_F(AppSettingsTest, PersistWritesAChosenValueThatOnlyMatchedItsFallback) {
    store->values.insert_or_assign("theme", std::string("light"));
    const auto s = load();
    EXPECT_TRUE(s->persist("menuBarTheme"));
    EXPECT_EQ(std::get<std::string>(store->values.at("menuBarTheme")), "light");
    EXPECT_FALSE(s->persist("nonsense"));
    EXPECT_TRUE(calls.empty());
}

TEST(AppSettingsValuesJson, RoundTripsAndRequiresEveryKeyAndKnownValues) {
    AppSettingsValues v;
    v.menuBarMetrics = {MenuBarMetric::temperature, MenuBarMetric::battery};
    v.theme = QFThemeChoice::monoGray;
    const auto text = json::encode(v);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, R"({"menuBarMetrics":["temperature","battery"],"launchAtLogin":false,)"
                     R"("pauseSamplingWhenClosed":true,"temperatureUnit":"celsius",)"
                     R"("twoLineMenuBarLabels":false,"compactMenuBarSpacing":false,)"
                     R"("theme":"monoGray","menuBarTheme":"multi"})");
    EXPECT_EQ(json::decode<AppSettingsValues>(std::string_view(*text)), v);

    auto j = *json::parse(*text);
    auto missing = j;
    missing.erase("menuBarTheme");
    EXPECT_FALSE(json::decode<AppSettingsValues>(missing));
    for (const auto& [key, bad] :
         std::vector<std::pair<std::string, json::Json>>{{"theme", "neon"},
                                                         {"temperatureUnit", "kelvin"},
                                                         {"menuBarMetrics", {"cpu", "x"}},
                                                         {"launchAtLogin", 1},
                                                         {"menuBarMetrics", "cpu"}}) {
        auto broken = j;
        broken[key] = bad;
        EXPECT_FALSE(json::decode<AppSettingsValues>(broken)) << key << "=" << bad.dump();
    }
}

} // namespace
} // namespace quillfen
