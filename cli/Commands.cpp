#include "Commands.h"

#include "support/Printable.h"
#include "support/ProductVersion.h"

#include <algorithm>
#include <map>

namespace quillfen::cli {
namespace {

constexpr const char* kOverview = R"(usage: quillfen COMMAND [OPTIONS]

Quillfen shows what this machine is doing: CPU, GPU, memory, disks, volumes,
network, processes, battery, fans and temperatures. Its monitoring service
samples once a second on the session bus, which starts it when a command first
asks; its sensor helper reads the fans and temperatures.

Commands:
  watch [--json]              every reading, live, until Ctrl-C
  snapshot [--text]           one full snapshot from the monitoring service
  snapshot --local [--text] [--seconds N]
                              one snapshot sampled by this command itself
  settings                    every setting, its value and the values it takes
  settings get                the settings, one KEY = VALUE a line
  settings set KEY VALUE      change one setting
  helper status|start|stop|autostart on|off|update|download
                              the sensor helper
  help [COMMAND]              this text, or more about one command
  --version                   the version of Quillfen

More about a command: quillfen help COMMAND
)";

const std::map<std::string, std::string, std::less<>> kCommandHelp = {
    {"watch", R"(usage: quillfen watch [--json]

Every reading, redrawn each second until Ctrl-C. In a terminal the view takes
the whole window (its alternate screen, given back as it was on the way out)
and fits the window's size; otherwise it prints one plain frame a second.
  --json   one snapshot document a line instead, with "system" beside the
           readings, and a {"settings":...} line whenever the settings change
While it watches, the monitoring service samples everything, as it does for an
open popover. When readings do not come, the view says why and keeps trying.
)"},
    {"snapshot", R"(usage: quillfen snapshot [--text]
       quillfen snapshot --local [--text] [--seconds N]

One snapshot of every reading: a JSON document with "system" (the machine, its
uptime, load and swap) beside the readings.
  --text        as text, laid out as `quillfen watch` shows it
  --local       sample this machine in this command instead of asking the
                monitoring service
  --seconds N   with --local: sample over N seconds (1 to 3600, 1 unless
                given); processes need 6 or more
From the service, the snapshot is a full one: the command has the service
sample everything for about a second. QUILLFEN_SERVICE_TIMEOUT (seconds, 2.5
unless set) is how long it waits for a service that is slow to start.
)"},
    {"settings", R"(usage: quillfen settings
       quillfen settings get
       quillfen settings set KEY VALUE

Without arguments, every setting with its current value, what it does and the
values it takes. `get` prints KEY = VALUE lines. `set` saves one setting and
hands the settings to the monitoring service, which passes them on to every
client; a setting that is saved stays saved when the service cannot be told.
)"},
    {"helper", R"(usage: quillfen helper status|start|stop|autostart on|off|update|download

The sensor helper reads fan speeds and temperatures once a second for Quillfen.
  status            installed?, where, its versions, running?, its readings
  start             start it in the background
  stop              ask it to stop (it does within a second)
  autostart on|off  whether it starts when you log in
  update            stop it and open the download page for the version needed
  download          open the download page
)"},
    {"help", R"(usage: quillfen help [COMMAND]

What Quillfen's commands do, or more about one of them: watch, snapshot,
settings, helper.
)"},
};

bool asksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

} // namespace

std::optional<std::string> helpText(const std::string& command) {
    if (command.empty()) return kOverview;
    const auto it = kCommandHelp.find(command);
    if (it == kCommandHelp.end()) return std::nullopt;
    return it->second;
}

namespace {

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "usage: quillfen COMMAND [OPTIONS]; quillfen help lists the commands\n";
        return kMisuse;
    }
    const auto& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--version" || command == "version") {
        out << "quillfen " << productVersion() << '\n';
        return kSuccess;
    }
    if (command == "-h" || command == "--help" || command == "help") {
        if (rest.size() > 1) {
            err << "quillfen: help takes one command at most\n";
            return kMisuse;
        }
        const auto text = helpText(rest.empty()        ? std::string()
                                   : asksForHelp(rest) ? std::string("help")
                                                       : rest.front());
        if (!text) {
            err << "quillfen: unknown command '" << printable(rest.front(), 64)
                << "'; the commands are watch, snapshot, settings, helper and help\n";
            return kMisuse;
        }
        out << *text;
        return kSuccess;
    }
    if (kCommandHelp.contains(command) && asksForHelp(rest)) {
        out << *helpText(command);
        return kSuccess;
    }
    if (command == "helper") return runHelper(rest, out, err);
    if (command == "snapshot") {
        if (rest.empty() || rest == std::vector<std::string>{"--text"})
            return runServiceSnapshot(!rest.empty(), out, err);
        return runSnapshot(rest, out, err);
    }
    if (command == "watch") return runWatch(rest, out, err);
    if (command == "settings") return runSettings(rest, out, err);
    err << "quillfen: unknown command '" << printable(command, 64)
        << "'; the commands are watch, snapshot, settings, helper and help\n";
    return kMisuse;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const int status = dispatch(args, out, err);
    // A document that never reached its file (a full disk, a closed pipe) is no success.
    if (!out.flush()) {
        err << "quillfen: could not write to standard output\n";
        return status == kSuccess ? kFailure : status;
    }
    return status;
}

} // namespace quillfen::cli
