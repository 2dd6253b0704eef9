#pragma once

#include "platform/FileManager.h"
#include "platform/UserDefaults.h"

#include <filesystem>
#include <map>
#include <memory>

namespace quillfen::platform::linux {

// A defaults store in a JSON file: booleans, texts and arrays of texts keep their JSON types;
// values of other kinds that another program stored are kept as they are when the file is
// rewritten, though they cannot be read here.
//
// Several processes write the same file. Every read goes to the file, and every write
// changes only its own key of the newest contents, under a lock on the file's folder, and
// replaces the file atomically and durably; so writers of different keys never lose each
// other's values. A file that cannot be read is never replaced; one that does not parse is
// kept under a name of its own at the next write.
class LinuxUserDefaults final : public UserDefaults {
public:
    explicit LinuxUserDefaults(std::filesystem::path file);

    std::optional<DefaultsValue> objectForKey(std::string_view key) const override;
    bool setObject(const DefaultsValue& value, std::string_view key) override;
    bool removeObjectForKey(std::string_view key) override;
    std::optional<std::string> problem() const override { return problem_; }

    const std::filesystem::path& file() const { return file_; }

private:
    template <typename Change> bool update(Change&& change);

    std::filesystem::path file_;
    mutable std::optional<std::string> problem_;
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
