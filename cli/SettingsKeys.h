#pragma once

#include "settings/AppSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen::cli {

// A setting as the command line names it.
struct SettingKey {
    std::string_view key;
    std::string_view meaning;
    std::string allowed; // "true or false", "celsius or fahrenheit", …
};

// Every setting, in the order of the settings document.
const std::vector<SettingKey>& settingKeys();

// "unknown setting 'x'; the settings are menuBarMetrics, launchAtLogin, …"
std::string unknownSettingText(const std::string& key);

// Sets `key` to `value`; the reason when the key or the value is not one.
std::optional<std::string> assignSetting(AppSettings& settings, const std::string& key,
                                         const std::string& value);

// Each setting's key and current value as `settings set` takes it ("cpu,netDown", "true").
std::vector<std::pair<std::string, std::string>> settingValues(const AppSettingsValues& values);

// Makes the menu-bar app of the installed main app start at login, or not: what the main app
// does when the switch is flipped in its window. The reason when that could not be done.
std::optional<std::string> updateMenuBarLoginItem(bool on);

// What `quillfen settings` prints: every setting with its current value, what it does and
// the values it takes.
std::string settingsListing(const AppSettingsValues& values);

} // namespace quillfen::cli
