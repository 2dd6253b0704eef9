#include "platform/linux/DesktopEntryIndex.h"

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FileIO.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

// A desktop entry with every translation of its texts stays well below this.
constexpr std::size_t kMaxEntryBytes = 256 * 1024;
// Entries sit in the application folders or a few levels of folders below them.
constexpr int kMaxDepth = 3;
// Timestamps of folders are coarser than their clock; a change this recent may hide another.
constexpr std::int64_t kSettleNanos = 2'000'000'000;

std::optional<std::int64_t> modifiedNanos(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
}

std::int64_t nowNanos() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

std::optional<std::string> realPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return std::nullopt;
    return std::string(resolved);
}

// The file a program name given without a folder runs, found as a shell would find it.
std::optional<std::string> resolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return program.front() == '/' ? realPath(program) : std::nullopt;
    const char* env = std::getenv("PATH");
    std::string_view path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    while (!path.empty()) {
        const std::size_t colon = path.find(':');
        const std::string_view dir = path.substr(0, colon);
        path.remove_prefix(colon == std::string_view::npos ? path.size() : colon + 1);
        if (dir.empty() || dir.front() != '/') continue;
        const std::string candidate = std::string(dir) + "/" + program;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return realPath(candidate);
    }
    return std::nullopt;
}

bool isFieldCode(const std::string& argument) {
    return argument.size() == 2 && argument[0] == '%' && argument[1] != '%';
}

// How specifically an entry's `Exec` names its application, or nothing when the program alone
// does not: after the program come only field codes and options. "sh -c …", "python3
// tool.py", "env VAR=1 app" and "flatpak run org.app" name an interpreter or launcher that
// many applications share. Fewer options rank first: "firefox %u" is Firefox itself, "firefox
// --private-window" one of its actions.
std::optional<std::size_t> optionCount(const std::vector<std::string>& arguments) {
    std::size_t options = 0;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (isFieldCode(arguments[i])) continue;
        if (arguments[i].size() < 2 || arguments[i][0] != '-') return std::nullopt;
        ++options;
    }
    return options;
}

struct Candidate {
    DesktopEntryIndex::Entry entry;
    bool noDisplay = false;
    std::size_t options = 0;

    bool outranks(const Candidate& other) const {
        if (noDisplay != other.noDisplay) return !noDisplay;
        return options < other.options;
    }
};

std::optional<std::string> value(const std::map<std::string, std::string, std::less<>>& keys,
                                 std::string_view key) {
    const auto it = keys.find(key);
    if (it == keys.end()) return std::nullopt;
    return it->second;
}

} // namespace

std::optional<std::string>
localizedName(const std::map<std::string, std::string, std::less<>>& keys,
              std::string_view language) {
    // "lang_COUNTRY.ENCODING@MODIFIER": the encoding plays no part in the lookup.
    std::string_view modifier;
    if (const std::size_t at = language.find('@'); at != std::string_view::npos) {
        modifier = language.substr(at + 1);
        language = language.substr(0, at);
    }
    language = language.substr(0, language.find('.'));
    const std::size_t underscore = language.find('_');
    const std::string_view lang = language.substr(0, underscore);
    const std::string_view country =
        underscore == std::string_view::npos ? std::string_view() : language.substr(underscore + 1);

    std::vector<std::string> locales;
    if (!lang.empty() && language != "C" && language != "POSIX") {
        if (!country.empty() && !modifier.empty())
            locales.push_back(std::string(lang) + "_" + std::string(country) + "@" +
                              std::string(modifier));
        if (!country.empty()) locales.push_back(std::string(lang) + "_" + std::string(country));
        if (!modifier.empty()) locales.push_back(std::string(lang) + "@" + std::string(modifier));
        locales.push_back(std::string(lang));
    }
    for (const auto& locale : locales) {
        if (auto name = value(keys, "Name[" + locale + "]"); name && !name->empty()) return name;
    }
    auto name = value(keys, "Name");
    if (!name || name->empty()) return std::nullopt;
    return name;
}

void DesktopEntryIndex::refresh(const std::vector<fs::path>& folders, const std::string& language) {
    if (settled_ && folders == folders_ && language == language_ && !changed()) return;
    build(folders, language);
}

const DesktopEntryIndex::Entry* DesktopEntryIndex::find(const std::string& executable) const {
    const auto it = byExecutable_.find(executable);
    return it == byExecutable_.end() ? nullptr : &it->second;
}

bool DesktopEntryIndex::changed() const {
    for (const auto& stamp : stamps_)
        if (modifiedNanos(stamp.folder) != stamp.modified) return true;
    return false;
}

void DesktopEntryIndex::build(const std::vector<fs::path>& folders, const std::string& language) {
    ++builds_;
    folders_ = folders;
    language_ = language;
    stamps_.clear();
    byExecutable_.clear();

    // A desktop file id belongs to the first folder that has it, even when that entry is
    // hidden or broken: the user's own entry overrides the system's.
    std::set<std::string> seenIDs;
    std::unordered_map<std::string, Candidate> best;
    const auto consider = [&](const fs::path& file, const std::string& id) {
        if (!seenIDs.insert(id).second) return;
        const auto text = readFile(file, kMaxEntryBytes);
        if (!text) return;
        const auto keys = desktop::parse(*text);
        if (!keys || value(*keys, "Type") != "Application" || value(*keys, "Hidden") == "true")
            return;
        const auto exec = value(*keys, "Exec");
        const auto arguments = exec ? desktop::execArguments(*exec) : std::nullopt;
        if (!arguments || arguments->empty()) return;
        const auto options = optionCount(*arguments);
        const auto program = desktop::execProgram(*exec);
        auto name = localizedName(*keys, language);
        if (!options || !program || !name) return;
        const auto executable = resolveProgram(*program);
        if (!executable) return;
        Candidate candidate{
            {id, std::move(*name), file}, value(*keys, "NoDisplay") == "true", *options};
        const auto [it, fresh] = best.try_emplace(*executable, candidate);
        if (!fresh && candidate.outranks(it->second)) it->second = std::move(candidate);
    };

    // Folders are walked without following links, so a loop of links cannot hold the walk.
    const std::function<void(const fs::path&, const fs::path&, int)> walk =
        [&](const fs::path& folder, const fs::path& top, int depth) {
            stamps_.push_back({folder, modifiedNanos(folder)});
            std::error_code ec;
            std::vector<fs::directory_entry> entries;
            for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
                entries.push_back(*it);
            // Listing order is the file system's; names make the outcome repeatable.
            std::sort(entries.begin(), entries.end());
            for (const auto& entry : entries) {
                const fs::path& path = entry.path();
                if (entry.is_directory(ec) && !entry.is_symlink(ec)) {
                    if (depth < kMaxDepth) walk(path, top, depth + 1);
                } else if (path.extension() == ".desktop") {
                    std::string id = path.lexically_relative(top).string();
                    std::replace(id.begin(), id.end(), '/', '-');
                    id.resize(id.size() - 8);
                    consider(path, id);
                }
            }
        };
    for (const auto& folder : folders)
        walk(folder, folder, 0);

    for (auto& [executable, candidate] : best)
        byExecutable_.emplace(executable, std::move(candidate.entry));

    const std::int64_t now = nowNanos();
    settled_ = true;
    for (const auto& stamp : stamps_) {
        // A time ahead of the clock changes to another one with the next change anyway.
        const std::int64_t age = stamp.modified ? now - *stamp.modified : kSettleNanos;
        if (age >= 0 && age < kSettleNanos) settled_ = false;
    }
}

} // namespace quillfen::platform::linux
