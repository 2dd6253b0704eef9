#include "Commands.h"
#include "SnapshotText.h"

#include "sampling/Sampler.h"

#include <QEventLoop>

namespace quillfen::cli {

// `quillfen snapshot --local [--text]`: the kit's sampling loop in this process for two full
// ticks a second apart (rates and loads need two), then the snapshot document or its text.
int runSnapshot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool local = false;
    bool text = false;
    for (const auto& arg : args) {
        if (arg == "--local")
            local = true;
        else if (arg == "--text")
            text = true;
        else {
            err << "quillfen: snapshot takes --local and --text, not '" << arg << "'\n";
            return kMisuse;
        }
    }
    if (!local) {
        err << "quillfen: --text goes with --local\n";
        return kMisuse;
    }
    SystemSnapshot snapshot;
    Sampler sampler(snapshot);
    sampler.forceFullSample = true;
    QEventLoop loop;
    int ticks = 0;
    sampler.didTick = [&] {
        if (++ticks == 2) {
            sampler.stop();
            loop.quit();
        }
    };
    sampler.start(1.0);
    loop.exec();
    if (text) {
        out << snapshotText(snapshot.values());
        return kSuccess;
    }
    const auto document = json::encode(snapshot.values());
    if (!document) {
        err << "quillfen: a reading was not a number; no document\n";
        return kFailure;
    }
    out << *document << '\n';
    return kSuccess;
}

} // namespace quillfen::cli
