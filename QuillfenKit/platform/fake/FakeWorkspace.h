#pragma once

#include "platform/Workspace.h"

#include <algorithm>
#include <map>

namespace quillfen::platform::fake {

// Installed bundles, running applications and the answers to launches, as the test sets
// them; records every launch, URL and termination asked for.
class FakeWorkspace final : public Workspace {
public:
    std::optional<std::filesystem::path>
    urlForApplicationWithBundleIdentifier(std::string_view bundleIdentifier) const override {
        const auto it = installed.find(bundleIdentifier);
        if (it == installed.end()) return std::nullopt;
        return it->second;
    }
    std::optional<json::Json>
    infoDictionaryOfBundle(const std::filesystem::path& bundle) const override {
        const auto it = bundles.find(bundle);
        if (it == bundles.end()) return std::nullopt;
        return it->second;
    }
    std::vector<RunningApplication>
    runningApplicationsWithBundleIdentifier(std::string_view bundleIdentifier) const override {
        std::vector<RunningApplication> found;
        for (const auto& app : running)
            if (app.bundleIdentifier == bundleIdentifier) found.push_back(app);
        return found;
    }
    std::vector<RunningApplication> runningApplications() const override { return running; }
    std::vector<RunningApplication> runningApplicationsWithProcessIdentifiers(
        const std::vector<int>& processIdentifiers) const override {
        asked.insert(asked.end(), processIdentifiers.begin(), processIdentifiers.end());
        std::vector<RunningApplication> found;
        for (const auto& app : running)
            if (std::find(processIdentifiers.begin(), processIdentifiers.end(),
                          app.processIdentifier) != processIdentifiers.end())
                found.push_back(app);
        return found;
    }
    void openApplication(const std::filesystem::path& bundle,
                         const OpenConfiguration& configuration, Completion completion) override {
        launches.push_back({bundle, configuration.activates});
        if (completion) completion(launchError);
    }
    bool openURL(const std::string& url) override {
        openedURLs.push_back(url);
        return openURLSucceeds;
    }
    bool terminate(const RunningApplication& application) override {
        terminated.push_back(application.processIdentifier);
        return true;
    }

    // Bundle identifier → bundle.
    std::map<std::string, std::filesystem::path, std::less<>> installed;
    // Bundle → its information dictionary.
    std::map<std::filesystem::path, json::Json> bundles;
    std::vector<RunningApplication> running;
    // What the next launches report.
    std::optional<std::string> launchError;
    bool openURLSucceeds = true;

    struct Launch {
        std::filesystem::path bundle;
        bool activates;
        bool operator==(const Launch&) const = default;
    };
    std::vector<Launch> launches;
    std::vector<std::string> openedURLs;
    std::vector<int> terminated;
    // Every process asked about by runningApplicationsWithProcessIdentifiers.
    mutable std::vector<int> asked;
};

} // namespace quillfen::platform::fake
