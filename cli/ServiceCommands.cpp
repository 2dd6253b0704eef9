// Commands that talk to the monitoring service: snapshot, watch and settings.

#include "Commands.h"
#include "SnapshotText.h"

#include "model/ClientSnapshotStore.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "xpc/QuillfenXPC.h"
#include "xpc/XPCClient.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace quillfen::cli {
namespace {

// How long a one-shot command waits for the service (which the bus may first have to start).
constexpr int kAnswerTimeoutMs = 10'000;

// One connection to the service for a one-shot command. The service handles a
// connection's messages in order, so the answer to `snapshot()` also means that every
// message sent before it has been handled.
class ServiceSession {
public:
    ServiceSession()
        : connection_(
              platform::current().messaging->connectionToService(kQuillfenServiceMachName)) {
        connection_->setRemoteObjectInterface(QuillfenXPC::serviceInterface());
        connection_->setInvalidationHandler([this] {
            if (error_.empty()) error_ = "the service is not reachable";
            loop_.quit();
        });
        connection_->resume();
        proxy_ = connection_->remoteObjectProxyWithErrorHandler([this](const std::string& e) {
            error_ = e;
            loop_.quit();
        });
    }
    ~ServiceSession() { connection_->invalidate(); }

    QuillfenServiceProtocol* proxy() { return proxy_.get(); }

    // One snapshot document; nothing when the service does not answer in time.
    std::optional<std::string> snapshot() {
        if (!proxy_) return std::nullopt;
        std::optional<std::string> answer;
        proxy_->currentSnapshotWithReply([&](std::string document) {
            answer = std::move(document);
            loop_.quit();
        });
        QTimer::singleShot(kAnswerTimeoutMs, &loop_, &QEventLoop::quit);
        if (error_.empty()) loop_.exec();
        if (!answer && error_.empty()) error_ = "no answer within 10 seconds";
        return answer;
    }
    const std::string& error() const { return error_; }

private:
    std::shared_ptr<platform::XPCConnection> connection_;
    std::shared_ptr<QuillfenServiceProtocol> proxy_;
    QEventLoop loop_;
    std::string error_;
};

std::string settingsLine(const AppSettingsValues& v) {
    return json::encode(v).value_or("{}");
}

// Applies `KEY VALUE` to the settings; an error text when the key or value is not one.
std::optional<std::string> assign(const std::string& key, const std::string& value) {
    auto& s = AppSettings::shared();
    const auto flag = [&](void (AppSettings::*set)(bool)) -> std::optional<std::string> {
        if (value == "true" || value == "on") return (s.*set)(true), std::nullopt;
        if (value == "false" || value == "off") return (s.*set)(false), std::nullopt;
        return key + " takes true or false, not '" + value + "'";
    };
    if (key == "launchAtLogin") return flag(&AppSettings::setLaunchAtLogin);
    if (key == "pauseSamplingWhenClosed") return flag(&AppSettings::setPauseSamplingWhenClosed);
    if (key == "twoLineMenuBarLabels") return flag(&AppSettings::setTwoLineMenuBarLabels);
    if (key == "compactMenuBarSpacing") return flag(&AppSettings::setCompactMenuBarSpacing);
    if (key == "temperatureUnit") {
        const auto unit = kTemperatureUnits.parse(value);
        if (!unit) return "temperatureUnit takes celsius or fahrenheit, not '" + value + "'";
        s.setTemperatureUnit(*unit);
        return std::nullopt;
    }
    if (key == "theme" || key == "menuBarTheme") {
        const auto theme = kThemeChoices.parse(value);
        if (!theme)
            return key + " takes multi, dual, mono, monoGray, monoBlue or light, not '" + value +
                   "'";
        key == "theme" ? s.setTheme(*theme) : s.setMenuBarTheme(*theme);
        return std::nullopt;
    }
    if (key == "menuBarMetrics") {
        std::vector<MenuBarMetric> metrics;
        std::size_t start = 0;
        while (start <= value.size()) {
            const auto comma = value.find(',', start);
            const auto raw =
                value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            const auto m = kMenuBarMetrics.parse(raw);
            if (!m)
                return "menuBarMetrics takes a comma-separated list of cpu, gpu, memory, "
                       "temperature, battery, netDown and netUp, not '" +
                       raw + "'";
            metrics.push_back(*m);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        s.setMenuBarMetrics(std::move(metrics));
        return std::nullopt;
    }
    return "unknown setting '" + key + "'";
}

} // namespace

int runServiceSnapshot(std::ostream& out, std::ostream& err) {
    ServiceSession session;
    const auto document = session.snapshot();
    if (!document) {
        err << "quillfen: the monitoring service did not answer: " << session.error() << '\n';
        return kFailure;
    }
    const auto output = withSystem(*document, readSystemSummary());
    if (!output) {
        err << "quillfen: the monitoring service sent something other than a snapshot document\n";
        return kFailure;
    }
    out << *output << '\n';
    return kSuccess;
}

int runWatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool asJSON = args.size() == 1 && args[0] == "--json";
    if (!args.empty() && !asJSON) {
        err << "quillfen: watch takes only --json\n";
        return kMisuse;
    }
    const bool terminal = !asJSON && ::isatty(STDOUT_FILENO);
    auto& snapshot = ClientSnapshotStore::shared().snapshot();
    QObject context;
    // The last history is assigned last: one redraw per received document.
    QObject::connect(&snapshot, &SystemSnapshot::diskWriteHistoryChanged, &context, [&] {
        const auto system = readSystemSummary();
        if (asJSON) {
            out << withSystem(json::encode(snapshot.values()).value_or("{}"), system).value_or("{}")
                << std::endl;
            return;
        }
        if (terminal) out << "\x1b[H\x1b[2J";
        out << "Quillfen — live, every second; Ctrl-C to stop\n\n";
        for (const auto& line : systemLines(system))
            out << line << '\n';
        out << snapshotText(snapshot.values()) << std::flush;
    });
    if (asJSON)
        for (auto signal :
             {&AppSettings::menuBarMetricsChanged, &AppSettings::launchAtLoginChanged,
              &AppSettings::pauseSamplingWhenClosedChanged, &AppSettings::temperatureUnitChanged,
              &AppSettings::twoLineMenuBarLabelsChanged, &AppSettings::compactMenuBarSpacingChanged,
              &AppSettings::themeChanged, &AppSettings::menuBarThemeChanged})
            QObject::connect(&AppSettings::shared(), signal, &context, [&] {
                out << R"({"settings":)" << settingsLine(AppSettings::shared().values()) << '}'
                    << std::endl;
            });
    auto& client = XPCClient::shared();
    client.start();
    // While this watches, the service samples everything, as it does for an open popover.
    client.setPopoverOpen(true);
    struct Run final : platform::ApplicationDelegate {
        void applicationDidFinishLaunching() override {}
    } run;
    auto& app = *platform::current().application;
    app.setDelegate(&run);
    app.run();
    return kSuccess;
}

int runSettings(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto& settings = AppSettings::shared();
    if (args.size() == 1 && args[0] == "get") {
        const auto v = settings.values();
        auto j = *json::parse(settingsLine(v));
        for (const auto& [key, value] : j.items()) {
            std::string text;
            if (value.is_array()) {
                for (const auto& m : value)
                    text += (text.empty() ? "" : ",") + m.get<std::string>();
            } else {
                text = value.is_string() ? value.get<std::string>() : value.dump();
            }
            out << key << " = " << text << '\n';
        }
        if (const auto problem = settings.storeProblem()) {
            err << "quillfen: " << *problem << "; what it could not give is shown as the default\n";
            return kFailure;
        }
        return kSuccess;
    }
    if (args.size() != 3 || args[0] != "set") {
        err << "quillfen: settings get | settings set KEY VALUE\n";
        return kMisuse;
    }
    // Set on top of the newest stored settings, which were loaded just now. The key is written
    // even when its value matches what was there, because the user chose it.
    const AppSettingsValues before = settings.values();
    if (const auto problem = assign(args[1], args[2])) {
        err << "quillfen: " << *problem << '\n';
        return kMisuse;
    }
    if (settings.values() == before) settings.persist(args[1]);
    if (const auto why = settings.unsavedReason()) {
        err << "quillfen: " << args[1] << " was not saved: " << *why << '\n';
        return kFailure;
    }
    if (const auto note = settings.storeProblem()) err << "quillfen: " << *note << '\n';
    // Handed to this command's own connection, so that one answer confirms the service has
    // it; the service then tells every client.
    ServiceSession session;
    if (session.proxy()) session.proxy()->applySettings(settingsLine(settings.values()));
    if (!session.snapshot()) {
        err << "quillfen: saved, but the monitoring service did not answer (" << session.error()
            << "); it takes the setting when it next hears from a client\n";
        return kSuccess;
    }
    out << args[1] << " = " << args[2] << '\n';
    return kSuccess;
}

} // namespace quillfen::cli
