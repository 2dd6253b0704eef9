#include "MenuActions.h"

#include "companions/MenuBarApp.h"
#include "platform/Platform.h"
#include "support/SystemLog.h"

#include <QApplication>
#include <QProcess>

namespace quillfen::menu {
namespace {

void logFailure(const std::string& what, const std::optional<std::string>& error) {
    systemLog("[QuillfenMenu] " + what + (error ? ": " + *error : std::string()));
}

} // namespace

std::optional<std::filesystem::path> mainAppBundle() {
    auto& p = platform::current();
    if (const auto own = p.mainBundle->bundlePath()) {
        // Quillfen Menu.app → MacOS → Contents → Quillfen.app
        const auto outer = own->parent_path().parent_path().parent_path();
        if (outer.extension() == ".app" && p.workspace->infoDictionaryOfBundle(outer)) return outer;
    }
    return p.workspace->urlForApplicationWithBundleIdentifier(MenuBarApp::mainAppBundleID);
}

MenuActions systemMenuActions() {
    MenuActions actions;
    actions.openApp = [] {
        const auto bundle = mainAppBundle();
        if (!bundle) return logFailure("Quillfen is not installed", std::nullopt);
        platform::current().workspace->openApplication(
            *bundle, platform::OpenConfiguration{/*activates=*/true},
            [path = bundle->string()](std::optional<std::string> error) {
                if (error) logFailure("cannot open " + path, error);
            });
    };
    actions.openSettings = [] {
        const auto bundle = mainAppBundle();
        if (!bundle) return logFailure("Quillfen is not installed", std::nullopt);
        // The workspace starts a running application only once; the settings window is asked
        // of a new process, which shows it without the monitor window.
        const auto exe = *bundle / "Contents/MacOS/quillfen-app";
        if (!QProcess::startDetached(QString::fromStdString(exe.string()), {"--settings"}))
            logFailure("cannot start " + exe.string() + " --settings", std::nullopt);
    };
    actions.quit = [] { QApplication::quit(); };
    return actions;
}

} // namespace quillfen::menu
