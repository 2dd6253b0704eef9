#include "Commands.h"
#include "SnapshotText.h"

#include "companions/HelperApp.h"
#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "support/Printable.h"

#include <QEventLoop>

#include <chrono>
#include <filesystem>
#include <thread>

namespace quillfen::cli {
namespace {

constexpr const char* kCommands = "status, start, stop, autostart on|off, update, download";

constexpr const char* kLookedIn = "looked in /sys/class/hwmon, the thermal zones and the battery";

std::string orDash(const std::optional<std::string>& text) {
    return text.value_or("—");
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

// "control.json" as the user is shown it.
std::string controlFileText() {
    return printable(SensorBridge::controlURL().string(), 256);
}

// A control file that is there but gives no record reads as autostart off; say why.
std::string controlProblem() {
    std::error_code ec;
    if (!std::filesystem::exists(SensorBridge::controlURL(), ec) || SensorBridge::readControl())
        return {};
    return " (" + controlFileText() + " cannot be read)";
}

int status(std::ostream& out) {
    const auto url = HelperApp::installedURL();
    const bool running = HelperApp::isRunning();
    out << "installed: " << yesNo(url.has_value()) << '\n'
        << "path: " << (url ? printable(url->string(), 1024) : "—") << '\n'
        << "installed version: " << orDash(HelperApp::installedVersion()) << '\n'
        << "running: " << yesNo(running) << '\n'
        << "running version: " << orDash(HelperApp::runningVersion()) << '\n'
        << "autostart: " << (HelperApp::launchAtLogin() ? "on" : "off") << controlProblem() << '\n'
        << "supported: " << yesNo(HelperApp::isSupported(HelperApp::effectiveVersion())) << '\n';
    // What the helper published last, if it is fresh, and why there is nothing when there is
    // nothing. A helper that has stopped leaves its last readings behind, fresh for a few
    // seconds more; they are no longer what it sees.
    const auto payload =
        running ? SensorBridge::read(platform::current().clock->now()) : std::nullopt;
    std::string why;
    if (!payload)
        why = running ? "it has published nothing in the last 6 seconds"
                      : "the helper is not running; start it with quillfen helper start";
    else if (!payload->thermal && !payload->fan)
        why = std::string("no fan or temperature sensors found; ") + kLookedIn;
    else if (!payload->thermal)
        why = std::string("no temperature sensors found; ") + kLookedIn;
    out << "temperatures: "
        << (payload && payload->thermal ? temperaturesText(*payload->thermal) : "— (" + why + ")")
        << '\n'
        << "fans: "
        << (payload && payload->fan       ? fansText(*payload->fan)
            : payload && payload->thermal ? "— (no fan sensors found)"
                                          : "—")
        << '\n';
    return kSuccess;
}

int start(std::ostream& out, std::ostream& err) {
    if (!HelperApp::isInstalled()) {
        err << "quillfen: Quillfen Helper is not installed\n";
        return kFailure;
    }
    const bool wasRunning = HelperApp::isRunning();
    std::optional<std::optional<std::string>> result;
    QEventLoop loop;
    HelperApp::start([&](std::optional<std::string> error) {
        result = std::move(error);
        loop.quit();
    });
    if (!result) loop.exec();
    if (*result) {
        err << "quillfen: failed to start Quillfen Helper: " << **result << '\n';
        return kFailure;
    }
    out << (wasRunning ? "Quillfen Helper is already running\n" : "Quillfen Helper started\n");
    return kSuccess;
}

int stop(std::ostream& out, std::ostream& err) {
    const bool wasRunning = HelperApp::isRunning();
    const bool asked = HelperApp::stop();
    if (!wasRunning) {
        out << "Quillfen Helper is not running\n";
        return kSuccess;
    }
    if (!asked) {
        err << "quillfen: could not ask Quillfen Helper to stop: " << controlFileText()
            << " cannot be written\n";
        return kFailure;
    }
    // The helper looks at its control file once a second.
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (HelperApp::isRunning()) {
        if (std::chrono::steady_clock::now() > deadline) {
            err << "quillfen: Quillfen Helper did not stop within 5 seconds\n";
            return kFailure;
        }
        std::this_thread::sleep_for(100ms);
    }
    out << "Quillfen Helper stopped\n";
    return kSuccess;
}

int autostart(const std::string& value, std::ostream& out, std::ostream& err) {
    if (value != "on" && value != "off") {
        err << "quillfen: autostart takes on or off, not '" << printable(value, 64) << "'\n";
        return kMisuse;
    }
    HelperApp::setLaunchAtLogin(value == "on");
    if (HelperApp::launchAtLogin() != (value == "on")) {
        err << "quillfen: autostart is still " << (value == "on" ? "off" : "on") << ": "
            << controlFileText() << " cannot be written\n";
        return kFailure;
    }
    out << "autostart " << value << '\n';
    return kSuccess;
}

int openPage(bool opened, const std::string& url, std::ostream& out, std::ostream& err) {
    if (!opened) {
        err << "quillfen: could not open a browser; the page is " << url << '\n';
        return kFailure;
    }
    out << "Opened " << url << '\n';
    return kSuccess;
}

} // namespace

int runHelper(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "quillfen: helper needs a command: " << kCommands << '\n';
        return kMisuse;
    }
    const auto& command = args.front();
    const std::size_t operands = args.size() - 1;
    const bool takesValue = command == "autostart";
    if (operands != (takesValue ? 1u : 0u)) {
        const bool known = takesValue || command == "status" || command == "start" ||
                           command == "stop" || command == "update" || command == "download";
        if (known) {
            err << "quillfen: helper " << command
                << (takesValue ? " takes on or off\n" : " takes no arguments\n");
            return kMisuse;
        }
    }
    if (command == "status") return status(out);
    if (command == "start") return start(out, err);
    if (command == "stop") return stop(out, err);
    if (command == "autostart") return autostart(args[1], out, err);
    if (command == "update")
        return openPage(HelperApp::beginUpdate(),
                        HelperApp::downloadURL(std::string(HelperApp::minVersion)), out, err);
    if (command == "download")
        return openPage(HelperApp::openDownloadPage(), HelperApp::downloadURL(std::nullopt), out,
                        err);
    err << "quillfen: unknown helper command '" << printable(command, 64)
        << "' (one of: " << kCommands << ")\n";
    return kMisuse;
}

} // namespace quillfen::cli
