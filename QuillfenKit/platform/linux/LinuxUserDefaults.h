#pragma once

#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <filesystem>
#include <map>
#include <memory>

class QSettings;

namespace quillfen::platform::linux {

// A defaults store on QSettings with a JSON file: booleans, texts and arrays of texts keep
// their JSON types. Values of other kinds that another program stored are kept as they are
// when the file is rewritten, though they cannot be read here.
class LinuxUserDefaults final : public UserDefaults {
public:
    explicit LinuxUserDefaults(std::filesystem::path file);
    ~LinuxUserDefaults() override;

    std::optional<DefaultsValue> objectForKey(std::string_view key) const override;
    void setObject(const DefaultsValue& value, std::string_view key) override;
    void removeObjectForKey(std::string_view key) override;

private:
    void refresh() const;

    std::filesystem::path file_;
    // Re-read on every access, so also from const ones.
    mutable std::unique_ptr<QSettings> settings_;
};

// The standard store at `$XDG_CONFIG_HOME/quillfen/defaults.json`; an application group's
// suite at `<group container>/Library/Preferences/<group>.json`, any other suite beside the
// standard store.
class LinuxUserDefaultsSuites final : public UserDefaultsSuites {
public:
    // Empty `configFolder` means the environment's `$XDG_CONFIG_HOME/quillfen`.
    explicit LinuxUserDefaultsSuites(std::shared_ptr<const FileManager> files,
                                     std::filesystem::path configFolder = {});

    std::shared_ptr<UserDefaults> standardUserDefaults() override;
    std::shared_ptr<UserDefaults> suiteNamed(std::string_view suiteName) override;

private:
    std::shared_ptr<UserDefaults> open(const std::string& key, const std::filesystem::path& file);
    std::optional<std::filesystem::path> configFolder() const;

    std::shared_ptr<const FileManager> files_;
    std::filesystem::path configFolder_;
    std::map<std::string, std::shared_ptr<UserDefaults>, std::less<>> open_;
};

} // namespace quillfen::platform::linux
