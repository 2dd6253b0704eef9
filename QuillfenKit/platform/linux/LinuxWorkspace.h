#pragma once

#include "platform/Workspace.h"

#include <vector>

namespace quillfen::platform::linux {

// Applications are bundles: folders `<Name>.app` holding `Contents/Info.json` and the
// executable in `Contents/MacOS/`. An application is installed when a desktop entry
// `<bundle id>.desktop` in the XDG application folders runs an executable inside its bundle;
// it runs when a process of the user has its executable there.
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
    void openApplication(const std::filesystem::path& bundle,
                         const OpenConfiguration& configuration, Completion completion) override;
    bool openURL(const std::string& url) override;
    bool terminate(const RunningApplication& application) override;

private:
    std::vector<std::filesystem::path> applicationFolders() const;

    std::vector<std::filesystem::path> applicationFolders_;
    std::filesystem::path procRoot_;
};

} // namespace quillfen::platform::linux
