#include "settings/AppSettingsValues.h"

namespace quillfen {

void to_json(json::Json& j, const AppSettingsValues& v) {
    j = json::Json::object();
    j["menuBarMetrics"] = v.menuBarMetrics;
    j["launchAtLogin"] = v.launchAtLogin;
    j["pauseSamplingWhenClosed"] = v.pauseSamplingWhenClosed;
    j["temperatureUnit"] = v.temperatureUnit;
    j["twoLineMenuBarLabels"] = v.twoLineMenuBarLabels;
    j["compactMenuBarSpacing"] = v.compactMenuBarSpacing;
    j["theme"] = v.theme;
    j["menuBarTheme"] = v.menuBarTheme;
}

bool from_json(const json::Json& j, AppSettingsValues& v) {
    return j.is_object() && json::required(j, "menuBarMetrics", v.menuBarMetrics) &&
           json::required(j, "launchAtLogin", v.launchAtLogin) &&
           json::required(j, "pauseSamplingWhenClosed", v.pauseSamplingWhenClosed) &&
           json::required(j, "temperatureUnit", v.temperatureUnit) &&
           json::required(j, "twoLineMenuBarLabels", v.twoLineMenuBarLabels) &&
           json::required(j, "compactMenuBarSpacing", v.compactMenuBarSpacing) &&
           json::required(j, "theme", v.theme) && json::required(j, "menuBarTheme", v.menuBarTheme);
}

} // namespace quillfen
