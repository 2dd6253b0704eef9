// Commands that ask the monitoring service once: snapshot and settings set.

#include "Commands.h"
#include "Frame.h"
#include "ServiceLink.h"
#include "SettingsKeys.h"
#include "Terminal.h"

#include "companions/HelperApp.h"
#include "settings/AppSettings.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <unistd.h>

namespace quillfen::cli {
namespace {

// Between two questions for a newer snapshot.
constexpr int kPollMs = 100;
// How long the next sample may take: the service samples once a second.
constexpr int kNextSampleMs = 1500;

void pause(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string settingsLine(const AppSettingsValues& v) {
    return json::encode(v).value_or("{}");
}

} // namespace

std::optional<std::string> textOfDocument(const std::string& document, std::size_t width) {
    const auto values = json::decode<SnapshotValues>(std::string_view(document));
    if (!values) return std::nullopt;
    FrameState state;
    if (!values->sensorsAvailable) state.helperRunning = HelperApp::isRunning();
    state.whyNoProcesses = "the service lists them after sampling in full for 5 seconds, as "
                           "while quillfen watch runs; quillfen snapshot --local --seconds 6 "
                           "always does";
    const auto system = readSystemSummary();
    return joinedLines(frameLines(*values, &system, state, width));
}

int runServiceSnapshot(bool text, std::ostream& out, std::ostream& err) {
    if (const auto problem = busProblem()) {
        err << "quillfen: " << *problem << '\n';
        return kFailure;
    }
    ServiceSession session;
    // The service samples everything while any client's popover is open, and takes a full
    // sample at once when one opens; the answer to the next question waits for that sample.
    if (session.proxy()) session.proxy()->setPopoverOpen(true);
    const int timeout = serviceTimeoutMs();
    const auto opened = session.snapshot(timeout);
    if (!opened) {
        err << "quillfen: " << session.problem() << '\n';
        return kFailure;
    }
    // Answers come in the order the service gives them, so the first that differs is from a
    // later tick: one that measured what changes by difference over a second of full sampling.
    std::optional<std::string> next;
    const int patience = std::max(kNextSampleMs, timeout - 1000);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < patience) {
        pause(kPollMs);
        auto answer = session.snapshot(timeout);
        if (!answer) break;
        if (*answer != *opened) {
            next = std::move(answer);
            break;
        }
    }
    if (session.proxy()) {
        session.proxy()->setPopoverOpen(false);
        // Answered once the service has heard it (it would forget this client's popover
        // anyway when the connection closes).
        session.snapshot(timeout);
    }
    if (!next)
        err << "quillfen: the monitoring service took no new sample within "
            << secondsText(patience) << "; this is the sample it had\n";
    const std::string& document = next ? *next : *opened;
    const auto output = text ? textOfDocument(document, ::isatty(STDOUT_FILENO)
                                                            ? terminalSize(STDOUT_FILENO).columns
                                                            : kNoLimit)
                             : withSystem(document, readSystemSummary());
    if (!output) {
        err << "quillfen: the monitoring service sent something other than a snapshot document\n";
        return kFailure;
    }
    out << *output << (text ? "" : "\n");
    return kSuccess;
}

namespace {

int runSettingsSet(const std::string& key, const std::string& value, std::ostream& out,
                   std::ostream& err) {
    auto& settings = AppSettings::shared();
    // Set on top of the newest stored settings, which were loaded just now. The key is written
    // even when its value matches what was there, because the user chose it.
    const AppSettingsValues before = settings.values();
    if (const auto problem = assignSetting(settings, key, value)) {
        err << "quillfen: " << *problem << '\n';
        return kMisuse;
    }
    if (settings.values() == before) settings.persist(key);
    if (const auto why = settings.unsavedReason()) {
        err << "quillfen: " << key << " was not saved: " << *why << '\n';
        return kFailure;
    }
    if (const auto note = settings.storeProblem()) err << "quillfen: " << *note << '\n';
    out << key << " = " << value << '\n';
    // Done each time, not only on a change: a value stored while this could not be done (or
    // by an older command) still takes effect when it is set again.
    std::optional<std::string> loginItemProblem;
    if (key == "launchAtLogin")
        loginItemProblem = updateMenuBarLoginItem(settings.values().launchAtLogin);
    if (loginItemProblem)
        err << "quillfen: launchAtLogin is saved, but the login item was not updated: "
            << *loginItemProblem << '\n';
    const int status = loginItemProblem ? kFailure : kSuccess;
    const char* later = "; the service takes it when it next hears from a client\n";
    if (const auto problem = busProblem()) {
        err << "quillfen: " << key
            << " is saved, but the monitoring service was not told: " << *problem << later;
        return status;
    }
    // Handed to this command's own connection, so that one answer confirms the service has
    // it; the service then tells every client.
    ServiceSession session;
    if (session.proxy()) session.proxy()->applySettings(settingsLine(settings.values()));
    if (!session.snapshot(serviceTimeoutMs()))
        err << "quillfen: " << key
            << " is saved, but the monitoring service was not told: " << session.problem() << later;
    return status;
}

} // namespace

int runSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto& settings = AppSettings::shared();
    const bool list = args.empty();
    if (list || (args.size() == 1 && args[0] == "get")) {
        if (list)
            out << settingsListing(settings.values());
        else
            for (const auto& [key, value] : settingValues(settings.values()))
                out << key << " = " << value << '\n';
        if (const auto problem = settings.storeProblem()) {
            err << "quillfen: " << *problem << "; what it could not give is shown as the default\n";
            return kFailure;
        }
        return kSuccess;
    }
    if (args.size() != 3 || args[0] != "set") {
        err << "quillfen: settings takes nothing, get, or set KEY VALUE\n";
        return kMisuse;
    }
    return runSettingsSet(args[1], args[2], out, err);
}

} // namespace quillfen::cli
