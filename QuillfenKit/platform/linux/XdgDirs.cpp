#include "platform/linux/XdgDirs.h"

#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen::platform::linux::xdg {
namespace {

std::optional<std::filesystem::path> absoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    if (!v || v[0] != '/') return std::nullopt;
    return std::filesystem::path(v);
}

std::optional<std::filesystem::path> passwdHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buf(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd pw{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &result) != 0 || !result ||
        !pw.pw_dir || pw.pw_dir[0] != '/')
        return std::nullopt;
    return std::filesystem::path(pw.pw_dir);
}

std::optional<std::filesystem::path> underHome(const char* variable,
                                               std::initializer_list<const char*> fallback) {
    if (auto v = absoluteEnv(variable)) return v;
    auto h = home();
    if (!h) return std::nullopt;
    for (const char* part : fallback)
        *h /= part;
    return h;
}

} // namespace

std::optional<std::filesystem::path> home() {
    if (auto h = absoluteEnv("HOME")) return h;
    return passwdHome();
}

std::optional<std::filesystem::path> dataHome() {
    return underHome("XDG_DATA_HOME", {".local", "share"});
}

std::optional<std::filesystem::path> configHome() {
    return underHome("XDG_CONFIG_HOME", {".config"});
}

std::vector<std::filesystem::path> dataDirs() {
    std::vector<std::filesystem::path> dirs;
    if (const char* v = std::getenv("XDG_DATA_DIRS")) {
        std::string_view rest(v);
        while (!rest.empty()) {
            const auto colon = rest.find(':');
            const auto entry = rest.substr(0, colon);
            if (!entry.empty() && entry.front() == '/') dirs.emplace_back(entry);
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
    }
    if (dirs.empty()) dirs = {"/usr/local/share", "/usr/share"};
    return dirs;
}

std::optional<std::filesystem::path> runtimeDir() {
    auto dir = absoluteEnv("XDG_RUNTIME_DIR");
    if (!dir) return std::nullopt;
    struct stat st {};
    // A folder that others may enter or that is not ours is no place for the user's files.
    if (::stat(dir->c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & 07777) != 0700)
        return std::nullopt;
    return dir;
}

} // namespace quillfen::platform::linux::xdg
