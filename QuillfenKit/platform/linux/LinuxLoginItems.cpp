#include "platform/linux/LinuxLoginItems.h"

#include "platform/linux/BundleLayout.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FileIO.h"
#include "platform/linux/XdgDirs.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

std::string failure(const std::filesystem::path& path, const std::string& why) {
    return path.string() + ": " + why;
}

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name.front() != '.' && name.find('/') == std::string::npos;
}

} // namespace

LinuxLoginItems::LinuxLoginItems(std::shared_ptr<const MainBundle> bundle,
                                 std::filesystem::path autostartFolder,
                                 std::filesystem::path executable)
    : bundle_(std::move(bundle))
    , autostartFolder_(std::move(autostartFolder))
    , executable_(std::move(executable)) {}

std::variant<LinuxLoginItems::Entry, std::string>
LinuxLoginItems::entryFor(const std::optional<std::string>& id,
                          const std::optional<std::string>& name) const {
    if (!id || !isPlainFileName(*id))
        return std::string("the application has no bundle identifier");
    auto folder = autostartFolder_;
    if (folder.empty()) {
        const auto config = xdg::configHome();
        if (!config) return std::string("the user has no home folder");
        folder = *config / "autostart";
    }
    return Entry{folder / (*id + ".desktop"), name.value_or(*id)};
}

std::variant<LinuxLoginItems::Entry, std::string> LinuxLoginItems::entry() const {
    const auto info = bundle_ ? bundle_->infoDictionary() : std::nullopt;
    return entryFor(json::textIn(info, "CFBundleIdentifier"), json::textIn(info, "CFBundleName"));
}

std::optional<std::string> LinuxLoginItems::write(const Entry& e,
                                                  const std::filesystem::path& exe) const {
    const std::string text = desktop::format({
        {"Type", "Application"},
        {"Name", e.name},
        {"Exec", desktop::execValue(exe)},
        {"Terminal", "false"},
        {"X-GNOME-Autostart-enabled", "true"},
    });
    std::error_code ec;
    std::filesystem::create_directories(e.file.parent_path(), ec);
    if (ec) return failure(e.file.parent_path(), ec.message());
    if (!writeFileAtomically(e.file, text, Durability::synced))
        return failure(e.file, std::strerror(errno));
    return std::nullopt;
}

std::optional<std::string> LinuxLoginItems::remove(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) return failure(file, std::strerror(errno));
    return std::nullopt;
}

std::optional<std::string> LinuxLoginItems::registerMainApp() {
    const auto found = entry();
    if (const auto* why = std::get_if<std::string>(&found)) return *why;

    std::filesystem::path exe = executable_;
    if (exe.empty()) {
        std::error_code ec;
        exe = std::string(
            withoutDeletedMark(std::filesystem::read_symlink("/proc/self/exe", ec).native()));
        if (ec) return ec.message();
    }
    return write(std::get<Entry>(found), exe);
}

std::optional<std::string> LinuxLoginItems::unregisterMainApp() {
    const auto found = entry();
    if (const auto* why = std::get_if<std::string>(&found)) return *why;
    return remove(std::get<Entry>(found).file);
}

std::optional<std::string> LinuxLoginItems::registerApp(const std::filesystem::path& bundle) {
    const auto info = readInfoDictionary(bundle);
    if (!info) return failure(bundle, "no application bundle there");
    const auto found =
        entryFor(json::textIn(info, "CFBundleIdentifier"), json::textIn(info, "CFBundleName"));
    if (const auto* why = std::get_if<std::string>(&found)) return failure(bundle, *why);
    const auto executable = json::textIn(info, "CFBundleExecutable");
    if (!executable || !isPlainFileName(*executable))
        return failure(bundle, "the application names no executable");
    const auto exe = bundle / "Contents" / "MacOS" / *executable;
    if (::access(exe.c_str(), X_OK) != 0) return failure(exe, std::strerror(errno));
    return write(std::get<Entry>(found), exe);
}

std::optional<std::string> LinuxLoginItems::unregisterApp(std::string_view bundleIdentifier) {
    const auto found = entryFor(std::string(bundleIdentifier), std::nullopt);
    if (const auto* why = std::get_if<std::string>(&found)) return *why;
    return remove(std::get<Entry>(found).file);
}

} // namespace quillfen::platform::linux
