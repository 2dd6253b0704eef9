#include "LocalSnapshot.h"

#include "Frame.h"

#include "companions/HelperApp.h"
#include "support/Json.h"

namespace quillfen::cli {

LocalSnapshot::LocalSnapshot(double seconds, std::function<void()> done)
    : sampler_(snapshot_) {
    sampler_.forceFullSample = true;
    sampler_.didTick = [this, done = std::move(done)] {
        if (++ticks_ < 2) return;
        sampler_.stop();
        done();
    };
    sampler_.start(seconds);
}

std::optional<std::string> localSnapshotOutput(const SnapshotValues& snapshot,
                                               const SystemSummary& system, bool text, int seconds,
                                               std::size_t width) {
    if (!text) {
        const auto document = json::encode(snapshot);
        if (!document) return std::nullopt;
        const auto output = withSystem(*document, system);
        if (!output) return std::nullopt;
        return *output + '\n';
    }
    FrameState state;
    if (!snapshot.sensorsAvailable) state.helperRunning = HelperApp::isRunning();
    if (seconds < kProcessWindowSeconds)
        state.whyNoProcesses =
            "processes need a window of " + std::to_string(kProcessWindowSeconds) +
            " seconds or more: --seconds " + std::to_string(kProcessWindowSeconds);
    return joinedLines(frameLines(snapshot, &system, state, width));
}

} // namespace quillfen::cli
