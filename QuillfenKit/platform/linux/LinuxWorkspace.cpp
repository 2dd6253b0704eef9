#include "platform/linux/LinuxWorkspace.h"

#include "platform/linux/BundleLayout.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FileIO.h"
#include "platform/linux/ProcessTable.h"
#include "platform/linux/XdgDirs.h"

#include <QProcess>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

// A desktop entry is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxDesktopEntryBytes = 64 * 1024;

// Identifiers become file names, so they must not be able to name anything else.
bool isPlainIdentifier(std::string_view id) {
    if (id.empty() || id.size() > 255 || id.front() == '.') return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

// An environment block is a few kilobytes; the kernel allows a few megabytes at most.
constexpr std::size_t kMaxEnvironmentBytes = 4 << 20;

// The data home a process's environment gives it (XDG_DATA_HOME, else HOME/.local/share, by
// the XDG rules); nothing when its environment cannot be read or names none.
std::optional<std::filesystem::path> dataHomeOf(const std::filesystem::path& environFile) {
    const auto block = readFile(environFile, kMaxEnvironmentBytes);
    if (!block) return std::nullopt;
    std::optional<std::string_view> dataHome, home;
    std::string_view rest(*block);
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        const auto entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto take = [&](std::string_view name, std::optional<std::string_view>& into) {
            if (entry.starts_with(name) && entry.size() > name.size() && entry[name.size()] == '/')
                into = entry.substr(name.size());
        };
        take("XDG_DATA_HOME=", dataHome);
        take("HOME=", home);
    }
    if (dataHome) return std::filesystem::path(*dataHome);
    if (home) return std::filesystem::path(*home) / ".local" / "share";
    return std::nullopt;
}

bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b) {
    if ((a / "").lexically_normal() == (b / "").lexically_normal()) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

// Most processes are plainly not in a bundle; they are passed over before any path is taken
// apart.
bool mayBeInBundle(const std::string& executable) {
    return executable.find("/Contents/MacOS/") != std::string::npos;
}

bool startDetached(const QString& program, const QStringList& arguments, bool activates,
                   QString* error) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // The child must not hold the caller's terminal or pipes (a caller reading our output
    // would wait for the child to exit) nor keep the caller's folder, which may be on a
    // volume the user wants to eject.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setWorkingDirectory("/");
    if (!activates) {
        // Without a startup token the window manager has no reason to hand the focus over.
        auto env = QProcessEnvironment::systemEnvironment();
        env.remove("DESKTOP_STARTUP_ID");
        env.remove("XDG_ACTIVATION_TOKEN");
        process.setProcessEnvironment(env);
    }
    if (process.startDetached()) return true;
    if (error) *error = process.errorString();
    return false;
}

} // namespace

LinuxWorkspace::LinuxWorkspace(std::vector<std::filesystem::path> applicationFolders,
                               std::filesystem::path procRoot)
    : applicationFolders_(std::move(applicationFolders))
    , procRoot_(std::move(procRoot)) {}

std::vector<std::filesystem::path> LinuxWorkspace::applicationFolders() const {
    if (!applicationFolders_.empty()) return applicationFolders_;
    std::vector<std::filesystem::path> folders;
    if (auto data = xdg::dataHome()) folders.push_back(*data / "applications");
    for (const auto& dir : xdg::dataDirs())
        folders.push_back(dir / "applications");
    return folders;
}

std::optional<std::filesystem::path>
LinuxWorkspace::urlForApplicationWithBundleIdentifier(std::string_view bundleIdentifier) const {
    if (!isPlainIdentifier(bundleIdentifier)) return std::nullopt;
    const std::string fileName = std::string(bundleIdentifier) + ".desktop";
    for (const auto& folder : applicationFolders()) {
        const auto file = folder / fileName;
        std::error_code ec;
        if (!std::filesystem::exists(file, ec)) continue;
        // The first folder holding the entry decides, as it does for the desktop's menus:
        // the user's own entry hides the system's.
        const auto text = readFile(file, kMaxDesktopEntryBytes);
        if (!text) return std::nullopt;
        const auto keys = desktop::parse(*text);
        if (!keys) return std::nullopt;
        if (const auto hidden = keys->find("Hidden");
            hidden != keys->end() && hidden->second == "true")
            return std::nullopt;
        const auto exec = keys->find("Exec");
        if (exec == keys->end()) return std::nullopt;
        const auto program = desktop::execProgram(exec->second);
        if (!program || program->front() != '/') return std::nullopt;
        const auto bundle = bundleContaining(*program);
        if (!bundle) return std::nullopt;
        // An entry that points at some other application's bundle does not install this one.
        const auto info = readInfoDictionary(*bundle);
        if (!info || json::textIn(*info, "CFBundleIdentifier") != bundleIdentifier)
            return std::nullopt;
        return bundle;
    }
    return std::nullopt;
}

std::optional<json::Json>
LinuxWorkspace::infoDictionaryOfBundle(const std::filesystem::path& bundle) const {
    return readInfoDictionary(bundle);
}

void LinuxWorkspace::forEachOwnProcess(const std::function<bool(const std::string&)>& wanted,
                                       const std::function<void(int, const std::string&)>& visit,
                                       const std::vector<int>* only) const {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(procRoot_.c_str()), ::closedir);
    if (!dir) return;
    const int fd = ::dirfd(dir.get());
    const uid_t me = ::geteuid();
    const auto look = [&](int pid, const std::string& name) {
        const auto exe = executableOf(fd, name + "/exe");
        if (!exe || !wanted(*exe)) return;
        struct stat st {};
        // Other users' applications are theirs to manage.
        if (::fstatat(fd, name.c_str(), &st, 0) != 0 || st.st_uid != me) return;
        visit(pid, *exe);
    };
    if (only) {
        for (const int pid : *only)
            if (pid > 0) look(pid, std::to_string(pid));
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (const auto pid = processNumber(entry->d_name)) look(*pid, entry->d_name);
    }
}

std::optional<RunningApplication> LinuxWorkspace::bundleApplication(const std::string& executable,
                                                                    int pid, InfoCache& infos) {
    if (!mayBeInBundle(executable)) return std::nullopt;
    const auto bundle = bundleContaining(executable);
    if (!bundle) return std::nullopt;
    auto [cached, fresh] = infos.try_emplace(*bundle);
    if (fresh) cached->second = readInfoDictionary(*bundle);
    const auto& info = cached->second;
    if (!info) return std::nullopt;
    return RunningApplication{json::textIn(*info, "CFBundleIdentifier").value_or(""),
                              json::textIn(*info, "CFBundleName").value_or(bundle->stem().string()),
                              *bundle, pid};
}

std::vector<RunningApplication>
LinuxWorkspace::runningApplicationsWithBundleIdentifier(std::string_view bundleIdentifier) const {
    std::vector<RunningApplication> found;
    if (bundleIdentifier.empty()) return found;
    // Several processes usually share a bundle; its dictionary is read once per scan.
    InfoCache infos;
    // A process that keeps its data elsewhere (a test's, a sandbox's, another session's with
    // other folders) serves that place, not this one: it reads and writes other files and
    // cannot be steered from here.
    const auto ours = xdg::dataHome();
    forEachOwnProcess(mayBeInBundle, [&](int pid, const std::string& exe) {
        auto app = bundleApplication(exe, pid, infos);
        if (!app || app->bundleIdentifier != bundleIdentifier) return;
        const auto theirs = dataHomeOf(procRoot_ / std::to_string(pid) / "environ");
        if (ours && theirs && !sameFolder(*ours, *theirs)) return;
        found.push_back(std::move(*app));
    });
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.processIdentifier < b.processIdentifier;
    });
    return found;
}

std::vector<RunningApplication> LinuxWorkspace::runningApplications() const {
    return applications(nullptr);
}

std::vector<RunningApplication> LinuxWorkspace::runningApplicationsWithProcessIdentifiers(
    const std::vector<int>& processIdentifiers) const {
    if (processIdentifiers.empty()) return {};
    return applications(&processIdentifiers);
}

std::vector<RunningApplication> LinuxWorkspace::applications(const std::vector<int>* only) const {
    const char* language = nullptr;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        language = std::getenv(variable);
        if (language && *language) break;
    }
    desktopEntries_.refresh(applicationFolders(), language ? language : "");

    std::vector<RunningApplication> found;
    InfoCache infos;
    const auto known = [&](const std::string& exe) {
        return mayBeInBundle(exe) || desktopEntries_.find(exe);
    };
    forEachOwnProcess(
        known,
        [&](int pid, const std::string& exe) {
            if (auto app = bundleApplication(exe, pid, infos)) {
                found.push_back(std::move(*app));
            } else if (const auto* entry = desktopEntries_.find(exe)) {
                found.push_back({entry->id, entry->name, entry->file, pid});
            }
        },
        only);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.processIdentifier < b.processIdentifier;
    });
    return found;
}

void LinuxWorkspace::openApplication(const std::filesystem::path& bundle,
                                     const OpenConfiguration& configuration,
                                     Completion completion) {
    const auto report = [&](std::optional<std::string> error) {
        if (completion) completion(std::move(error));
    };
    const auto info = readInfoDictionary(bundle);
    if (!info) return report(bundle.string() + " is not an application bundle");
    const auto executable = json::textIn(*info, "CFBundleExecutable");
    if (!executable || executable->empty() || *executable == "." || *executable == ".." ||
        executable->find('/') != std::string::npos)
        return report(bundle.string() + " names no executable");
    if (const auto id = json::textIn(*info, "CFBundleIdentifier");
        id && !runningApplicationsWithBundleIdentifier(*id).empty())
        return report(std::nullopt);
    const auto program = bundle / "Contents" / "MacOS" / *executable;
    QString error;
    if (!startDetached(QString::fromStdString(program.string()), {}, configuration.activates,
                       &error))
        return report(error.toStdString());
    report(std::nullopt);
}

bool LinuxWorkspace::openURL(const std::string& url) {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    // xdg-open takes no "--": a text beginning with a dash would be read as an option.
    if (url.empty() || url.front() == '-' || !parsed.isValid() || parsed.scheme().isEmpty())
        return false;
    // Found on PATH when started; a desktop without it fails to start it, and so reports.
    return startDetached("xdg-open", {parsed.toString(QUrl::FullyEncoded)}, true, nullptr);
}

bool LinuxWorkspace::terminate(const RunningApplication& application) {
    if (application.processIdentifier <= 0) return false;
    // The number may have been reused since the application was found.
    const auto exe = executableOf(
        AT_FDCWD, (procRoot_ / std::to_string(application.processIdentifier) / "exe").string());
    if (!exe || bundleContaining(*exe) != application.bundleURL) return false;
    return ::kill(application.processIdentifier, SIGTERM) == 0;
}

} // namespace quillfen::platform::linux
