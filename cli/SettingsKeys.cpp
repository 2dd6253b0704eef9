#include "SettingsKeys.h"
#include "Frame.h"

#include "companions/MenuBarApp.h"
#include "platform/Platform.h"
#include "support/Json.h"
#include "support/Printable.h"

#include <algorithm>

namespace quillfen::cli {
namespace {

// The listing fits a terminal of the usual width.
constexpr std::size_t kListingColumns = 80;

template <typename E, std::size_t N>
std::string listOf(const RawEnum<E, N>& table, const char* lastJoin) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i)
        text += (i == 0 ? "" : i + 1 == N ? lastJoin : ", ") + std::string(table.table[i].second);
    return text;
}

} // namespace

const std::vector<SettingKey>& settingKeys() {
    static const std::vector<SettingKey> keys = {
        {"menuBarMetrics", "what the menu bar shows",
         "a comma-separated list of " + listOf(kMenuBarMetrics, " and ")},
        {"launchAtLogin", "start Quillfen when you log in", "true or false"},
        {"pauseSamplingWhenClosed",
         "while no details are shown, sample only what the menu bar shows", "true or false"},
        {"temperatureUnit", "the unit of temperatures", listOf(kTemperatureUnits, " or ")},
        {"twoLineMenuBarLabels", "menu-bar labels on two lines", "true or false"},
        {"compactMenuBarSpacing", "less room between menu-bar items", "true or false"},
        {"theme", "the colours of the windows", listOf(kThemeChoices, " or ")},
        {"menuBarTheme", "the colours of the menu bar", listOf(kThemeChoices, " or ")},
    };
    return keys;
}

std::string unknownSettingText(const std::string& key) {
    std::string text = "unknown setting '" + printable(key, 64) + "'; the settings are ";
    const auto& keys = settingKeys();
    for (std::size_t i = 0; i < keys.size(); ++i)
        text += (i ? ", " : "") + std::string(keys[i].key);
    return text;
}

std::optional<std::string> assignSetting(AppSettings& s, const std::string& key,
                                         const std::string& value) {
    const auto it = std::find_if(settingKeys().begin(), settingKeys().end(),
                                 [&](const SettingKey& k) { return k.key == key; });
    if (it == settingKeys().end()) return unknownSettingText(key);
    const auto refused = [&] {
        return key + " takes " + it->allowed + ", not '" + printable(value, 64) + "'";
    };
    const auto flag = [&](void (AppSettings::*set)(bool)) -> std::optional<std::string> {
        if (value == "true" || value == "on") return (s.*set)(true), std::nullopt;
        if (value == "false" || value == "off") return (s.*set)(false), std::nullopt;
        return refused();
    };
    if (key == "launchAtLogin") return flag(&AppSettings::setLaunchAtLogin);
    if (key == "pauseSamplingWhenClosed") return flag(&AppSettings::setPauseSamplingWhenClosed);
    if (key == "twoLineMenuBarLabels") return flag(&AppSettings::setTwoLineMenuBarLabels);
    if (key == "compactMenuBarSpacing") return flag(&AppSettings::setCompactMenuBarSpacing);
    if (key == "temperatureUnit") {
        const auto unit = kTemperatureUnits.parse(value);
        if (!unit) return refused();
        s.setTemperatureUnit(*unit);
        return std::nullopt;
    }
    if (key == "theme" || key == "menuBarTheme") {
        const auto theme = kThemeChoices.parse(value);
        if (!theme) return refused();
        key == "theme" ? s.setTheme(*theme) : s.setMenuBarTheme(*theme);
        return std::nullopt;
    }
    // menuBarMetrics
    std::vector<MenuBarMetric> metrics;
    std::size_t start = 0;
    while (start <= value.size()) {
        const auto comma = value.find(',', start);
        const auto raw =
            value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto m = kMenuBarMetrics.parse(raw);
        if (!m) return key + " takes " + it->allowed + ", not '" + printable(raw, 64) + "'";
        metrics.push_back(*m);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    s.setMenuBarMetrics(std::move(metrics));
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> settingValues(const AppSettingsValues& v) {
    std::vector<std::pair<std::string, std::string>> out;
    const auto j = json::parse(json::encode(v).value_or("{}"));
    if (!j) return out;
    for (const auto& [key, value] : j->items()) {
        std::string text;
        if (value.is_array()) {
            for (const auto& m : value)
                text += (text.empty() ? "" : ",") + m.get<std::string>();
        } else {
            text = value.is_string() ? value.get<std::string>() : value.dump();
        }
        out.emplace_back(key, text);
    }
    return out;
}

std::string settingsListing(const AppSettingsValues& values) {
    std::string out;
    const auto current = settingValues(values);
    for (const auto& k : settingKeys()) {
        const auto it = std::find_if(current.begin(), current.end(),
                                     [&](const auto& kv) { return kv.first == k.key; });
        out += std::string(k.key) + " = " + (it == current.end() ? "—" : it->second) + '\n';
        for (const auto& line :
             wrapped(std::string(k.meaning) + "; takes " + k.allowed, kListingColumns - 4))
            out += "    " + line + '\n';
    }
    out += "Change one with: quillfen settings set KEY VALUE\n";
    return out;
}

std::optional<std::string> updateMenuBarLoginItem(bool on) {
    auto& os = platform::current();
    if (!on) return os.loginItems->unregisterApp(MenuBarApp::bundleID);
    const auto app =
        os.workspace->urlForApplicationWithBundleIdentifier(MenuBarApp::mainAppBundleID);
    if (!app) return "Quillfen's app is not installed (scripts/install installs it)";
    return os.loginItems->registerApp(MenuBarApp::bundleURL(*app));
}

} // namespace quillfen::cli
