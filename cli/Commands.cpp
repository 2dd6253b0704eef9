#include "Commands.h"

namespace quillfen::cli {
namespace {

// One line, so that a misuse is one line of standard error.
constexpr const char* kUsage =
    "usage: quillfen watch [--json] | snapshot [--local [--text] [--seconds N]] | settings get | "
    "settings set KEY VALUE | helper status|start|stop|autostart on|off|update|download\n";

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kMisuse;
    }
    const auto& command = args.front();
    if (command == "-h" || command == "--help" || command == "help") {
        out << kUsage;
        return kSuccess;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "helper") return runHelper(rest, out, err);
    if (command == "snapshot")
        return rest.empty() ? runServiceSnapshot(out, err) : runSnapshot(rest, out, err);
    if (command == "watch") return runWatch(rest, out, err);
    if (command == "settings") return runSettings(rest, out, err);
    err << "quillfen: unknown command '" << command << "'; " << kUsage;
    return kMisuse;
}

} // namespace quillfen::cli
