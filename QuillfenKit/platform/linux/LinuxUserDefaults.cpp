#include "platform/linux/LinuxUserDefaults.h"

#include "platform/linux/FileIO.h"
#include "platform/linux/XdgDirs.h"
#include "support/Json.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

struct Contents {
    enum Kind { missing, parsed, unparsable, unreadable } kind = missing;
    json::Json doc = json::Json::object();
    std::string why;       // for unreadable
    bool tooLarge = false; // for unparsable: never parsed, being beyond the size limit

    // How an unparsable file is named to the user, read now or found earlier.
    std::string unparsableProblem(bool found) const {
        if (tooLarge) return found ? "was larger than 1 MiB" : "is larger than 1 MiB";
        return found ? "did not parse" : "does not parse";
    }
};

Contents load(const fs::path& file) {
    std::error_code ec;
    const auto st = fs::status(file, ec);
    if (!fs::exists(st)) {
        if (ec && ec != std::errc::no_such_file_or_directory)
            return {Contents::unreadable, {}, ec.message()};
        return {};
    }
    if (!fs::is_regular_file(st)) return {Contents::unreadable, {}, "it is not a file"};
    errno = 0;
    const auto text = readFile(file, json::kMaxDocumentBytes);
    if (!text) {
        // errno stays 0 only for a file beyond the size limit, which no store of ours writes.
        if (errno != 0) return {Contents::unreadable, {}, std::strerror(errno)};
        return {Contents::unparsable, {}, {}, true};
    }
    if (std::all_of(text->begin(), text->end(),
                    [](char c) { return std::isspace(static_cast<unsigned char>(c)); }))
        return {}; // a new, empty store
    auto doc = json::parse(*text);
    if (!doc || !doc->is_object()) return {Contents::unparsable};
    return {Contents::parsed, std::move(*doc)};
}

std::optional<DefaultsValue> fromJson(const json::Json& v) {
    if (v.is_boolean()) return v.get<bool>();
    if (v.is_string()) return v.get<std::string>();
    if (v.is_array() &&
        std::all_of(v.begin(), v.end(), [](const auto& e) { return e.is_string(); }))
        return v.get<std::vector<std::string>>();
    return std::nullopt;
}

json::Json toJson(const DefaultsValue& value) {
    return std::visit([](const auto& v) { return json::Json(v); }, value);
}

// Held while a writer reads, changes and replaces the file, so that two writers never both
// start from the same contents. Locking the folder leaves no lock file behind.
class FolderLock {
public:
    explicit FolderLock(const fs::path& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
                return;
            }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_); // also unlocks
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

// Moves a file that does not parse out of the way under a name no earlier one has taken, so
// that every broken version stays where the user can find it. The new name, or nothing.
std::optional<fs::path> setAside(const fs::path& file) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    for (int n = 1; n < 100; ++n) {
        // Appended piece by piece: GCC 12 at -O3 reports an impossible overflow in the one
        // expression that concatenates them.
        std::string suffix = ".unreadable-";
        suffix += stamp;
        if (n > 1) {
            suffix += '-';
            suffix += std::to_string(n);
        }
        fs::path aside = file;
        aside += suffix;
        if (::renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0)
            return aside;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

bool isPlainName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

} // namespace

LinuxUserDefaults::LinuxUserDefaults(std::filesystem::path file)
    : file_(std::move(file)) {}

std::optional<DefaultsValue> LinuxUserDefaults::objectForKey(std::string_view key) const {
    if (file_.empty()) return std::nullopt;
    const auto contents = load(file_);
    switch (contents.kind) {
    case Contents::unreadable:
        problem_ = "cannot read the settings file " + file_.string() + " (" + contents.why + ")";
        return std::nullopt;
    case Contents::unparsable:
        problem_ = "the settings file " + file_.string() + " " + contents.unparsableProblem(false);
        return std::nullopt;
    default:
        problem_.reset();
    }
    const auto it = contents.doc.find(key);
    if (it == contents.doc.end()) return std::nullopt;
    return fromJson(*it);
}

template <typename Change> bool LinuxUserDefaults::update(Change&& change) {
    const auto fail = [this](std::string why) {
        problem_ = std::move(why);
        return false;
    };
    if (file_.empty()) return fail("there is no home folder to keep settings in");
    const fs::path folder = file_.parent_path().empty() ? fs::path(".") : file_.parent_path();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        return fail("cannot save the settings file " + file_.string() + " (" + ec.message() + ")");
    FolderLock lock(folder);
    if (!lock)
        return fail("cannot save the settings file " + file_.string() + " (" +
                    std::strerror(errno) + ")");

    auto contents = load(file_);
    std::optional<std::string> note;
    switch (contents.kind) {
    case Contents::unreadable:
        // Replacing it would throw away whatever it holds, unseen.
        return fail("cannot read the settings file " + file_.string() + " (" + contents.why +
                    "), so nothing was saved");
    case Contents::unparsable:
        if (const auto aside = setAside(file_)) {
            note = "the settings file " + file_.string() + " " + contents.unparsableProblem(true) +
                   "; it is kept as " + aside->string();
            contents.doc = json::Json::object();
            break;
        }
        return fail("cannot move the settings file " + file_.string() + " aside, which " +
                    contents.unparsableProblem(false) + " (" + std::strerror(errno) +
                    "), so nothing was saved");
    default:
        break;
    }
    change(contents.doc);
    // Keys in order, so that the file reads the same whichever process wrote it last.
    json::Json sorted = json::Json::object();
    std::vector<std::string> keys;
    for (const auto& [k, v] : contents.doc.items())
        keys.push_back(k);
    std::sort(keys.begin(), keys.end());
    for (const auto& k : keys)
        sorted[k] = std::move(contents.doc[k]);
    auto text = json::dump(sorted);
    if (!text) return fail("cannot save the settings file " + file_.string());
    text->push_back('\n');
    removeStaleTemporaries(file_);
    if (!writeFileAtomically(file_, *text, Durability::synced))
        return fail("cannot save the settings file " + file_.string() + " (" +
                    std::strerror(errno) + ")");
    problem_ = std::move(note);
    return true;
}

bool LinuxUserDefaults::setObject(const DefaultsValue& value, std::string_view key) {
    return update([&](json::Json& doc) { doc[std::string(key)] = toJson(value); });
}

bool LinuxUserDefaults::removeObjectForKey(std::string_view key) {
    return update([&](json::Json& doc) { doc.erase(std::string(key)); });
}

LinuxUserDefaultsSuites::LinuxUserDefaultsSuites(std::shared_ptr<const FileManager> files,
                                                 std::filesystem::path configFolder)
    : files_(std::move(files))
    , configFolder_(std::move(configFolder)) {}

std::optional<std::filesystem::path> LinuxUserDefaultsSuites::configFolder() const {
    if (!configFolder_.empty()) return configFolder_;
    const auto config = xdg::configHome();
    if (!config) return std::nullopt;
    return *config / "quillfen";
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::open(const std::string& key,
                                                            const std::filesystem::path& file) {
    auto& slot = open_[key];
    if (!slot) slot = std::make_shared<LinuxUserDefaults>(file);
    return slot;
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::standardUserDefaults() {
    auto folder = configFolder();
    // Without a home there is nowhere to keep anything; every write reports that.
    return open("", folder ? *folder / "defaults.json" : std::filesystem::path());
}

std::shared_ptr<UserDefaults> LinuxUserDefaultsSuites::suiteNamed(std::string_view suiteName) {
    if (!isPlainName(suiteName)) return nullptr;
    const std::string name(suiteName);
    std::optional<std::filesystem::path> file;
    if (name.starts_with("group.")) {
        if (auto container = files_->containerForSecurityApplicationGroup(name))
            file = *container / "Library" / "Preferences" / (name + ".json");
    } else if (auto folder = configFolder()) {
        file = *folder / (name + ".json");
    }
    if (!file) return nullptr;
    return open(name, *file);
}

} // namespace quillfen::platform::linux
