#include "settings/AppSettings.h"

#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "support/SystemLog.h"

#include <utility>

namespace quillfen {
namespace {

platform::DefaultsValue stored(bool v) {
    return v;
}
template <typename E> platform::DefaultsValue stored(E v) requires std::is_enum_v<E> {
    return std::string(rawValue(v));
}
platform::DefaultsValue stored(const std::vector<MenuBarMetric>& metrics) {
    std::vector<std::string> raw;
    raw.reserve(metrics.size());
    for (const auto m : metrics)
        raw.emplace_back(rawValue(m));
    return raw;
}

AppSettingsValues load(const platform::UserDefaults& store) {
    AppSettingsValues v;
    v.menuBarMetrics.clear();
    for (const auto& raw :
         store.stringArrayForKey("menuBarMetrics").value_or(std::vector<std::string>{}))
        if (const auto m = kMenuBarMetrics.parse(raw)) v.menuBarMetrics.push_back(*m);
    if (v.menuBarMetrics.empty()) v.menuBarMetrics = {MenuBarMetric::cpu};
    v.launchAtLogin = store.boolForKey("launchAtLogin");
    const auto pause = store.objectForKey("pauseSamplingWhenClosed");
    v.pauseSamplingWhenClosed =
        pause && std::holds_alternative<bool>(*pause) ? std::get<bool>(*pause) : true;
    v.temperatureUnit = store.stringForKey("temperatureUnit") == "fahrenheit"
                            ? TemperatureUnit::fahrenheit
                            : TemperatureUnit::celsius;
    v.twoLineMenuBarLabels = store.boolForKey("twoLineMenuBarLabels");
    v.compactMenuBarSpacing = store.boolForKey("compactMenuBarSpacing");
    v.theme = kThemeChoices.parse(store.stringForKey("theme").value_or(""))
                  .value_or(QFThemeChoice::multi);
    v.menuBarTheme =
        kThemeChoices.parse(store.stringForKey("menuBarTheme").value_or("")).value_or(v.theme);
    return v;
}

} // namespace

namespace {
// Lives for the process; never destroyed at exit, so no exit-time order can outlive it.
AppSettings* instance = nullptr;
} // namespace

AppSettings& AppSettings::shared() {
    if (!instance) {
        auto& suites = *platform::current().userDefaults;
        auto store = suites.suiteNamed(SensorBridge::groupID);
        if (!store) store = suites.standardUserDefaults();
        instance = new AppSettings(std::move(store));
    }
    return *instance;
}

void AppSettings::resetShared() {
    delete std::exchange(instance, nullptr);
    loginItemHandler = nullptr;
    onLocalChange = nullptr;
}

AppSettings::AppSettings(std::shared_ptr<platform::UserDefaults> store)
    : store_(std::move(store))
    , v_(load(*store_)) {
    logStoreProblem();
}

// Each trouble with the store is logged when it first shows, not at every access.
void AppSettings::logStoreProblem() {
    auto problem = store_->problem();
    if (problem && problem != logged_) systemLog("Quillfen: " + *problem);
    logged_ = std::move(problem);
}

bool AppSettings::write(const platform::DefaultsValue& value, std::string_view key) {
    const bool ok = store_->setObject(value, key);
    if (ok)
        unsaved_.reset();
    else
        unsaved_ = store_->problem().value_or("the settings store refused it");
    logStoreProblem();
    return ok;
}

bool AppSettings::persist(std::string_view key) {
    if (key == "menuBarMetrics") return write(stored(v_.menuBarMetrics), key);
    if (key == "launchAtLogin") return write(stored(v_.launchAtLogin), key);
    if (key == "pauseSamplingWhenClosed") return write(stored(v_.pauseSamplingWhenClosed), key);
    if (key == "temperatureUnit") return write(stored(v_.temperatureUnit), key);
    if (key == "twoLineMenuBarLabels") return write(stored(v_.twoLineMenuBarLabels), key);
    if (key == "compactMenuBarSpacing") return write(stored(v_.compactMenuBarSpacing), key);
    if (key == "theme") return write(stored(v_.theme), key);
    if (key == "menuBarTheme") return write(stored(v_.menuBarTheme), key);
    return false;
}

template <typename T>
void AppSettings::assign(T AppSettingsValues::*field, T value, const char* key,
                         void (AppSettings::*changed)(), Origin origin) {
    if (v_.*field == value) return;
    v_.*field = std::move(value);
    if (origin == Origin::local) write(stored(v_.*field), key);
    if constexpr (std::is_same_v<T, bool>)
        if (field == &AppSettingsValues::launchAtLogin && loginItemHandler)
            loginItemHandler(v_.launchAtLogin);
    if (origin == Origin::local && onLocalChange) onLocalChange();
    emit(this->*changed)();
}

void AppSettings::setMenuBarMetrics(std::vector<MenuBarMetric> v) {
    assign(&AppSettingsValues::menuBarMetrics, std::move(v), "menuBarMetrics",
           &AppSettings::menuBarMetricsChanged);
}
void AppSettings::setLaunchAtLogin(bool v) {
    assign(&AppSettingsValues::launchAtLogin, v, "launchAtLogin",
           &AppSettings::launchAtLoginChanged);
}
void AppSettings::setPauseSamplingWhenClosed(bool v) {
    assign(&AppSettingsValues::pauseSamplingWhenClosed, v, "pauseSamplingWhenClosed",
           &AppSettings::pauseSamplingWhenClosedChanged);
}
void AppSettings::setTemperatureUnit(TemperatureUnit v) {
    assign(&AppSettingsValues::temperatureUnit, v, "temperatureUnit",
           &AppSettings::temperatureUnitChanged);
}
void AppSettings::setTwoLineMenuBarLabels(bool v) {
    assign(&AppSettingsValues::twoLineMenuBarLabels, v, "twoLineMenuBarLabels",
           &AppSettings::twoLineMenuBarLabelsChanged);
}
void AppSettings::setCompactMenuBarSpacing(bool v) {
    assign(&AppSettingsValues::compactMenuBarSpacing, v, "compactMenuBarSpacing",
           &AppSettings::compactMenuBarSpacingChanged);
}
void AppSettings::setTheme(QFThemeChoice v) {
    assign(&AppSettingsValues::theme, v, "theme", &AppSettings::themeChanged);
}
void AppSettings::setMenuBarTheme(QFThemeChoice v) {
    assign(&AppSettingsValues::menuBarTheme, v, "menuBarTheme", &AppSettings::menuBarThemeChanged);
}

void AppSettings::assignAll(const AppSettingsValues& v, Origin origin) {
    using V = AppSettingsValues;
    using S = AppSettings;
    assign(&V::menuBarMetrics, v.menuBarMetrics, "menuBarMetrics", &S::menuBarMetricsChanged,
           origin);
    assign(&V::launchAtLogin, v.launchAtLogin, "launchAtLogin", &S::launchAtLoginChanged, origin);
    assign(&V::pauseSamplingWhenClosed, v.pauseSamplingWhenClosed, "pauseSamplingWhenClosed",
           &S::pauseSamplingWhenClosedChanged, origin);
    assign(&V::temperatureUnit, v.temperatureUnit, "temperatureUnit", &S::temperatureUnitChanged,
           origin);
    assign(&V::twoLineMenuBarLabels, v.twoLineMenuBarLabels, "twoLineMenuBarLabels",
           &S::twoLineMenuBarLabelsChanged, origin);
    assign(&V::compactMenuBarSpacing, v.compactMenuBarSpacing, "compactMenuBarSpacing",
           &S::compactMenuBarSpacingChanged, origin);
    assign(&V::theme, v.theme, "theme", &S::themeChanged, origin);
    assign(&V::menuBarTheme, v.menuBarTheme, "menuBarTheme", &S::menuBarThemeChanged, origin);
}

void AppSettings::apply(const AppSettingsValues& v) {
    assignAll(v, Origin::local);
}

void AppSettings::adopt(const AppSettingsValues& v) {
    assignAll(v, Origin::stored);
}

void AppSettings::reload() {
    const auto stored = load(*store_);
    logStoreProblem();
    adopt(stored);
}

} // namespace quillfen
