#pragma once

#include "support/Json.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform {

// An application the user is running: a process whose executable lies in a bundle, or one
// that an installed application's desktop entry starts. For the latter the identifier is the
// entry's and `bundleURL` is the entry file, which names the application's icon.
struct RunningApplication {
    std::string bundleIdentifier;
    std::string localizedName;
    std::filesystem::path bundleURL;
    int processIdentifier = 0;

    bool operator==(const RunningApplication&) const = default;
};

struct OpenConfiguration {
    // Whether the opened application comes to the front. Off for background helpers, so that
    // starting one never takes the focus from what the user is doing.
    bool activates = true;
};

// The user's applications: where they are installed, which ones run, starting them, and
// handing web addresses to the user's browser.
class Workspace {
public:
    virtual ~Workspace() = default;

    // The bundle of the installed application with this identifier, if there is one.
    virtual std::optional<std::filesystem::path>
    urlForApplicationWithBundleIdentifier(std::string_view bundleIdentifier) const = 0;

    // The information dictionary of the bundle at `bundle`, or nothing when there is no
    // bundle there or its dictionary is unreadable.
    virtual std::optional<json::Json>
    infoDictionaryOfBundle(const std::filesystem::path& bundle) const = 0;

    // The running applications of the current user with this identifier that keep their data
    // where this process does.
    virtual std::vector<RunningApplication>
    runningApplicationsWithBundleIdentifier(std::string_view bundleIdentifier) const = 0;

    // Every running application of the current user, one per process.
    virtual std::vector<RunningApplication> runningApplications() const = 0;

    // The same for these processes only, in process order: those of them that run an
    // application of the current user.
    virtual std::vector<RunningApplication>
    runningApplicationsWithProcessIdentifiers(const std::vector<int>& processIdentifiers) const = 0;

    // Nothing on success, otherwise the error's description.
    using Completion = std::function<void(std::optional<std::string> error)>;

    // Starts the application of the bundle, detached from the caller; an application that
    // is already running is not started a second time. `completion` may run on any thread,
    // possibly before this call returns.
    virtual void openApplication(const std::filesystem::path& bundle,
                                 const OpenConfiguration& configuration, Completion completion) = 0;

    // Hands an absolute URL to the user's default handler for its scheme; false when that
    // could not be done.
    virtual bool openURL(const std::string& url) = 0;

    // Asks the application to quit (it may save its work first); false when the request
    // could not be delivered.
    virtual bool terminate(const RunningApplication& application) = 0;
};

} // namespace quillfen::platform
