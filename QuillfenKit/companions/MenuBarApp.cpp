#include "companions/MenuBarApp.h"

#include "platform/Platform.h"
#include "support/SystemLog.h"

namespace quillfen::MenuBarApp {

std::filesystem::path bundleURL() {
    // Without a bundle of its own the process has no embedded app; the relative path then
    // names a place that does not exist, and launching reports that.
    return bundleURL(
        platform::current().mainBundle->bundlePath().value_or(std::filesystem::path()));
}

std::filesystem::path bundleURL(const std::filesystem::path& appBundle) {
    return appBundle / "Contents/MacOS/Quillfen Menu.app";
}

bool isRunning() {
    return !platform::current()
                .workspace->runningApplicationsWithBundleIdentifier(bundleID)
                .empty();
}

void launch(std::function<void(bool)> completion) {
    if (isRunning()) {
        if (completion) completion(true);
        return;
    }
    const auto url = bundleURL();
    auto queue = platform::current().mainQueue;
    platform::current().workspace->openApplication(
        url, platform::OpenConfiguration{/*activates=*/false},
        [url, queue, completion = std::move(completion)](std::optional<std::string> error) {
            if (error)
                systemLog("[MenuBarApp] failed to launch at " + url.string() + ": " + *error);
            queue->async([completion, ok = !error] {
                if (completion) completion(ok);
            });
        });
}

void quit() {
    auto& workspace = *platform::current().workspace;
    for (const auto& app : workspace.runningApplicationsWithBundleIdentifier(bundleID))
        workspace.terminate(app);
}

} // namespace quillfen::MenuBarApp
