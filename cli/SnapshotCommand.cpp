#include "Commands.h"
#include "LocalSnapshot.h"

#include "Terminal.h"

#include "support/Json.h"
#include "support/Printable.h"

#include <QEventLoop>

#include <algorithm>
#include <charconv>
#include <unistd.h>

namespace quillfen::cli {
namespace {

// Longest window: an hour, beyond which a snapshot says little about any one moment.
constexpr int kMaxSeconds = 3600;

std::optional<int> parseSeconds(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxSeconds)
        return std::nullopt;
    return value;
}

} // namespace

// `quillfen snapshot --local [--text] [--seconds N]`: the kit's sampling loop in this process
// over N seconds (1 unless given), then the snapshot document or its text, with the system
// summary.
int runSnapshot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool local = false;
    bool text = false;
    std::optional<int> seconds;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& arg = args[i];
        if (std::count(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(i), arg) != 0 &&
            arg.starts_with("--")) {
            err << "quillfen: snapshot takes " << printable(arg, 64) << " once\n";
            return kMisuse;
        }
        if (arg == "--local") {
            local = true;
        } else if (arg == "--text") {
            text = true;
        } else if (arg == "--seconds") {
            seconds = i + 1 < args.size() ? parseSeconds(args[++i]) : std::nullopt;
            if (!seconds) {
                err << "quillfen: --seconds takes a whole number of seconds from 1 to "
                    << kMaxSeconds << '\n';
                return kMisuse;
            }
        } else {
            err << "quillfen: snapshot takes --text, --local and --seconds N, not '"
                << printable(arg, 64) << "'\n";
            return kMisuse;
        }
    }
    if (!local) {
        err << "quillfen: --seconds goes with --local\n";
        return kMisuse;
    }
    const int window = seconds.value_or(1);
    QEventLoop loop;
    bool finished = false;
    LocalSnapshot snapshot(window, [&] {
        finished = true;
        loop.quit();
    });
    if (!finished) loop.exec();
    const auto output =
        localSnapshotOutput(snapshot.values(), readSystemSummary(), text, window,
                            ::isatty(STDOUT_FILENO) ? terminalSize(STDOUT_FILENO).columns : 0);
    if (!output) {
        err << "quillfen: a reading was not a number; no document\n";
        return kFailure;
    }
    out << *output;
    return kSuccess;
}

} // namespace quillfen::cli
