#pragma once

#include "settings/MenuBarMetric.h"
#include "settings/QFThemeChoice.h"
#include "settings/TemperatureUnit.h"

#include <vector>

namespace quillfen {

// The user's settings as a plain value: what travels between the apps and the service.
struct AppSettingsValues {
    std::vector<MenuBarMetric> menuBarMetrics{MenuBarMetric::cpu};
    bool launchAtLogin = false;
    bool pauseSamplingWhenClosed = true;
    TemperatureUnit temperatureUnit = TemperatureUnit::celsius;
    bool twoLineMenuBarLabels = false;
    bool compactMenuBarSpacing = false;
    QFThemeChoice theme = QFThemeChoice::multi;
    QFThemeChoice menuBarTheme = QFThemeChoice::multi;

    bool operator==(const AppSettingsValues&) const = default;
};

// Every key is required; an unknown raw value fails the whole record.
void to_json(json::Json& j, const AppSettingsValues& v);
bool from_json(const json::Json& j, AppSettingsValues& v);

} // namespace quillfen
