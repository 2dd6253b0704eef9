#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillfen::platform::linux {

// The installed applications' desktop entries, by the executable each one starts. Reading
// every entry is far costlier than looking at the folders, so the index is built once and
// built again only when one of the application folders (or a folder inside one) has changed.
class DesktopEntryIndex {
public:
    struct Entry {
        std::string id;   // desktop file id: "org.gnome.Calculator", "kde-dolphin"
        std::string name; // `Name` in the user's language
        std::filesystem::path file;
    };

    // Brings the index up to date with `folders` (most important first, as the XDG data
    // folders are listed) and the user's language ("de_CH.UTF-8", "C", empty).
    void refresh(const std::vector<std::filesystem::path>& folders, const std::string& language);

    // The entry that starts `executable`, a path without symbolic links, if any.
    const Entry* find(const std::string& executable) const;

    // How often the index has been built, for tests.
    int builds() const { return builds_; }

private:
    struct FolderStamp {
        std::filesystem::path folder;
        std::optional<std::int64_t> modified; // nanoseconds; nothing while the folder is missing
        bool operator==(const FolderStamp&) const = default;
    };

    void build(const std::vector<std::filesystem::path>& folders, const std::string& language);
    bool changed() const;

    std::vector<std::filesystem::path> folders_;
    std::string language_;
    std::vector<FolderStamp> stamps_;
    // A folder changed so recently that a further change within the file system's timestamp
    // granularity would go unseen; the next refresh builds again.
    bool settled_ = false;
    std::unordered_map<std::string, Entry> byExecutable_;
    int builds_ = 0;
};

// The `Name` of a desktop entry's keys for `language` ("de_CH.UTF-8@euro"), by the lookup
// order of the desktop entry rules; nothing when there is none.
std::optional<std::string>
localizedName(const std::map<std::string, std::string, std::less<>>& keys,
              std::string_view language);

} // namespace quillfen::platform::linux
