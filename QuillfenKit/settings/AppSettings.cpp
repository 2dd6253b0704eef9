#include "settings/AppSettings.h"

#include "platform/Platform.h"
#include "sensors/SensorBridge.h"

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

AppSettings& AppSettings::shared() {
    static AppSettings* instance = [] {
        auto& suites = *platform::current().userDefaults;
        auto store = suites.suiteNamed(SensorBridge::groupID);
        if (!store) store = suites.standardUserDefaults();
        // Lives for the process; never destroyed, so no exit-time order can outlive it.
        return new AppSettings(std::move(store));
    }();
    return *instance;
}

AppSettings::AppSettings(std::shared_ptr<platform::UserDefaults> store)
    : store_(std::move(store))
    , v_(load(*store_)) {}

template <typename T>
void AppSettings::assign(T AppSettingsValues::*field, T value, const char* key,
                         void (AppSettings::*changed)()) {
    if (v_.*field == value) return;
    v_.*field = std::move(value);
    store_->setObject(stored(v_.*field), key);
    if constexpr (std::is_same_v<T, bool>)
        if (field == &AppSettingsValues::launchAtLogin && loginItemHandler)
            loginItemHandler(v_.launchAtLogin);
    if (onLocalChange) onLocalChange();
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

void AppSettings::apply(const AppSettingsValues& v) {
    setMenuBarMetrics(v.menuBarMetrics);
    setLaunchAtLogin(v.launchAtLogin);
    setPauseSamplingWhenClosed(v.pauseSamplingWhenClosed);
    setTemperatureUnit(v.temperatureUnit);
    setTwoLineMenuBarLabels(v.twoLineMenuBarLabels);
    setCompactMenuBarSpacing(v.compactMenuBarSpacing);
    setTheme(v.theme);
    setMenuBarTheme(v.menuBarTheme);
}

} // namespace quillfen
