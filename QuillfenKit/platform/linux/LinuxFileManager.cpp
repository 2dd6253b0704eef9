#include "platform/linux/LinuxFileManager.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace quillfen::platform::linux {
namespace {

// Relative values of XDG variables are invalid and must be ignored.
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

std::optional<std::filesystem::path> home() {
    if (auto h = absoluteEnv("HOME")) return h;
    return passwdHome();
}

} // namespace

std::optional<std::filesystem::path>
LinuxFileManager::containerForSecurityApplicationGroup(std::string_view groupID) const {
    if (groupID.empty() || groupID.find('/') != std::string_view::npos || groupID == "." ||
        groupID == "..")
        return std::nullopt;
    if (auto data = absoluteEnv("XDG_DATA_HOME")) return *data / groupID;
    if (auto h = home()) return *h / ".local" / "share" / groupID;
    return std::nullopt;
}

std::filesystem::path LinuxFileManager::homeDirectoryForCurrentUser() const {
    // A user without a home still needs a path; "/" makes every write fail quietly.
    return home().value_or(std::filesystem::path("/"));
}

} // namespace quillfen::platform::linux
