// `quillfen watch`: every reading, live, until Ctrl-C.

#include "Commands.h"
#include "Frame.h"
#include "ServiceLink.h"
#include "Terminal.h"

#include "companions/HelperApp.h"
#include "model/ClientSnapshotStore.h"
#include "platform/Platform.h"
#include "settings/AppSettings.h"
#include "xpc/XPCClient.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <unistd.h>

namespace quillfen::cli {
namespace {

constexpr const char* kTitle = "Quillfen — live, every second; Ctrl-C to stop";
// Without a reading for this long, the view says why.
constexpr qint64 kSilenceMs = 3000;
// While the view is silent, the service is asked this often what is wrong.
constexpr qint64 kProbeEveryMs = 5000;
// A service that does not answer this soon after the view started is asked once more before
// the view says what is wrong.
constexpr qint64 kSecondLookMs = 1000;
// After the first reading, missing ones are still on their way for this long: the service may
// have sampled only what the menu bar shows until it heard from this view, and rates need two
// full samples a second apart.
constexpr qint64 kWarmUpMs = 3000;
// Processes need two reads five seconds apart.
constexpr qint64 kProcessesWarmUpMs = 8000;

std::string settingsLine(const AppSettingsValues& v) {
    return json::encode(v).value_or("{}");
}

class Watch {
public:
    Watch(bool asJSON, bool terminal, std::ostream& out, std::ostream& err)
        : asJSON_(asJSON)
        , out_(out)
        , err_(err) {
        if (terminal) screen_ = std::make_unique<FullScreen>(STDOUT_FILENO);
        if (screen_) screen_->resized = [this] { redraw(); };
        started_.start();
        auto& snapshot = ClientSnapshotStore::shared().snapshot();
        // The last history is assigned last: one redraw per received document.
        QObject::connect(&snapshot, &SystemSnapshot::diskWriteHistoryChanged, &context_,
                         [this] { arrived(); });
        if (asJSON_)
            for (auto signal :
                 {&AppSettings::menuBarMetricsChanged, &AppSettings::launchAtLoginChanged,
                  &AppSettings::pauseSamplingWhenClosedChanged,
                  &AppSettings::temperatureUnitChanged, &AppSettings::twoLineMenuBarLabelsChanged,
                  &AppSettings::compactMenuBarSpacingChanged, &AppSettings::themeChanged,
                  &AppSettings::menuBarThemeChanged})
                QObject::connect(&AppSettings::shared(), signal, &context_, [this] {
                    out_ << R"({"settings":)" << settingsLine(AppSettings::shared().values()) << '}'
                         << std::endl;
                    wrote();
                });
        QObject::connect(&ticker_, &QTimer::timeout, &context_, [this] { check(); });
        ticker_.start(1000);
        redraw();
        // Asked at once, so that what keeps readings away is said within seconds.
        probe();
    }

private:
    void arrived() {
        if (!firstReading_.isValid()) firstReading_.start();
        lastReading_.start();
        say({});
        const auto& values = ClientSnapshotStore::shared().snapshot().values();
        if (asJSON_) {
            out_ << withSystem(json::encode(values).value_or("{}"), readSystemSummary())
                        .value_or("{}")
                 << std::endl;
            wrote();
            return;
        }
        redraw();
    }

    // Nobody reads a view that cannot be written: the command ends and says so.
    void wrote() {
        if (!out_) platform::current().application->terminate();
    }

    qint64 silentMs() const {
        return lastReading_.isValid() ? lastReading_.elapsed() : started_.elapsed();
    }

    void check() {
        if (silentMs() >= kSilenceMs && !probing_ &&
            (!lastProbe_.isValid() || lastProbe_.elapsed() >= kProbeEveryMs))
            probe();
        if (screen_) redraw();
    }

    void probe() {
        probing_ = true;
        lastProbe_.start();
        session_ = std::make_unique<ServiceSession>();
        session_->request(serviceTimeoutMs(), [this](std::optional<std::string> answer) {
            probing_ = false;
            if (answer) {
                // The service is there: a client waiting out its back-off connects now.
                XPCClient::shared().start();
                if (silentMs() >= kSilenceMs)
                    say("no readings from the monitoring service for " +
                        secondsText(static_cast<int>(silentMs() / 1000 * 1000)) +
                        ", though it answers; waiting for them");
            } else if (!askedAgain_ && started_.elapsed() < kSecondLookMs) {
                // A service started alongside the view (as scripts/run does) may just not have
                // taken its name yet: one more look before anything is said.
                askedAgain_ = true;
                QTimer::singleShot(static_cast<int>(kSecondLookMs - started_.elapsed()), &context_,
                                   [this] {
                                       if (!probing_ && !lastReading_.isValid()) probe();
                                   });
            } else {
                say(session_->problem() + ". Trying again; Ctrl-C to stop");
            }
            // Not destroyed from inside its own callback, nor once a newer one has replaced it.
            QTimer::singleShot(0, &context_, [this, asked = session_.get()] {
                if (session_.get() == asked) session_.reset();
            });
        });
    }

    // Shows what keeps readings away; nothing when they come.
    void say(const std::string& notice) {
        if (notice == notice_) return;
        notice_ = notice;
        if (screen_) {
            redraw();
        } else if (!notice.empty()) {
            err_ << "quillfen: " << notice << std::endl;
        }
    }

    void redraw() {
        if (asJSON_) return;
        const auto& values = ClientSnapshotStore::shared().snapshot().values();
        FrameState state;
        state.title = kTitle;
        if (!notice_.empty()) state.notices.push_back(notice_);
        // Nothing is on its way while the service cannot be reached.
        const auto warmingUp = [&](qint64 ms) {
            return notice_.empty() && (!firstReading_.isValid() || firstReading_.elapsed() < ms);
        };
        state.sampling = warmingUp(kWarmUpMs);
        state.processesSampling = warmingUp(kProcessesWarmUpMs);
        if (!state.sampling && !values.sensorsAvailable) state.helperRunning = helperRunning();
        const auto system = readSystemSummary();
        if (screen_) {
            const auto size = screen_->size();
            screen_->draw(frameLines(values, &system, state, size.columns, size.rows));
        } else if (lastReading_.isValid()) {
            // One plain frame per reading; the notices go to standard error.
            state.notices.clear();
            out_ << joinedLines(frameLines(values, &system, state)) << '\n' << std::flush;
            wrote();
        }
    }

    // Looked for at most once a second: it reads the process table.
    bool helperRunning() {
        if (!helperLookedAt_.isValid() || helperLookedAt_.elapsed() >= 1000) {
            helperRunning_ = HelperApp::isRunning();
            helperLookedAt_.start();
        }
        return helperRunning_;
    }

    bool asJSON_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<FullScreen> screen_;
    QObject context_;
    QTimer ticker_;
    QElapsedTimer started_, firstReading_, lastReading_, lastProbe_, helperLookedAt_;
    std::unique_ptr<ServiceSession> session_;
    bool probing_ = false;
    bool askedAgain_ = false;
    bool helperRunning_ = false;
    std::string notice_;
};

} // namespace

int runWatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool asJSON = args.size() == 1 && args[0] == "--json";
    if (!args.empty() && !asJSON) {
        err << "quillfen: watch takes only --json\n";
        return kMisuse;
    }
    // Without a bus there is nothing to wait for.
    if (const auto problem = busProblem()) {
        err << "quillfen: " << *problem << '\n';
        return kFailure;
    }
    auto& client = XPCClient::shared();
    client.start();
    // While this watches, the service samples everything, as it does for an open popover.
    client.setPopoverOpen(true);
    struct Run final : platform::ApplicationDelegate {
        void applicationDidFinishLaunching() override { start(); }
        std::function<void()> start;
    } run;
    std::unique_ptr<Watch> watch;
    // The view takes the screen once the loop runs: by then Ctrl-C ends the loop rather than
    // the process, and the screen is given back on the way out.
    run.start = [&] {
        watch = std::make_unique<Watch>(asJSON, !asJSON && ::isatty(STDOUT_FILENO), out, err);
    };
    auto& app = *platform::current().application;
    app.setDelegate(&run);
    app.run();
    watch.reset();
    return kSuccess;
}

} // namespace quillfen::cli
