#pragma once

#include "platform/Workspace.h"
#include "platform/linux/DesktopEntryIndex.h"

#include <functional>
#include <map>
#include <vector>

namespace quillfen::platform::linux {

// Applications are bundles: folders `<Name>.app` holding `Contents/Info.json` and the
// executable in `Contents/MacOS/`. An application is installed when a desktop entry
// `<bundle id>.desktop` in the XDG application folders runs an executable inside its bundle;
// it runs when a process of the user has its executable there. Applications that are not
// bundles run when a process of the user has the executable their desktop entry starts.
// Looked for by identifier, a bundled application runs only where it keeps its data where
// this process does (the same XDG data home, when its environment names one): an instance
// with other folders works on other files and is another place's.
class LinuxWorkspace final : public Workspace {
public:
    // Empty arguments mean the XDG data folders of the environment and /proc.
    explicit LinuxWorkspace(std::vector<std::filesystem::path> applicationFolders = {},
                            std::filesystem::path procRoot = "/proc");

    std::optional<std::filesystem::path>
    urlForApplicationWithBundleIdentifier(std::string_view bundleIdentifier) const override;
    std::optional<json::Json>
    infoDictionaryOfBundle(const std::filesystem::path& bundle) const override;
    std::vector<RunningApplication>
    runningApplicationsWithBundleIdentifier(std::string_view bundleIdentifier) const override;
    std::vector<RunningApplication> runningApplications() const override;
    std::vector<RunningApplication> runningApplicationsWithProcessIdentifiers(
        const std::vector<int>& processIdentifiers) const override;
    void openApplication(const std::filesystem::path& bundle,
                         const OpenConfiguration& configuration, Completion completion) override;
    bool openURL(const std::string& url) override;
    bool terminate(const RunningApplication& application) override;

private:
    using InfoCache = std::map<std::filesystem::path, std::optional<json::Json>>;

    std::vector<std::filesystem::path> applicationFolders() const;
    // Calls `visit` with the number and executable of every process of the user (of those in
    // `only`, when given) whose executable can be read and is `wanted`; whose process it is
    // is looked at only then.
    void forEachOwnProcess(const std::function<bool(const std::string&)>& wanted,
                           const std::function<void(int, const std::string&)>& visit,
                           const std::vector<int>* only = nullptr) const;
    // Applications that are bundles or have a desktop entry, among all processes or `only`.
    std::vector<RunningApplication> applications(const std::vector<int>* only) const;
    // The bundled application `executable` belongs to; dictionaries are read once per cache.
    static std::optional<RunningApplication> bundleApplication(const std::string& executable,
                                                               int pid, InfoCache& infos);

    std::vector<std::filesystem::path> applicationFolders_;
    std::filesystem::path procRoot_;
    mutable DesktopEntryIndex desktopEntries_;
};

} // namespace quillfen::platform::linux
