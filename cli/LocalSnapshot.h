#pragma once

#include "SystemSummary.h"

#include "model/SystemSnapshot.h"
#include "sampling/Sampler.h"

#include <functional>
#include <optional>
#include <string>

namespace quillfen::cli {

// The shortest window of `snapshot --local` that lists processes. Their CPU shares need two
// reads at least five seconds apart (ProcessSampler::minimumInterval); the extra second
// keeps the second read clear of that limit when the wall clock is adjusted meanwhile.
inline constexpr int kProcessWindowSeconds = 6;

// The kit's sampling loop in this process over a window of `seconds`: one full tick at its
// start and one at its end, so that rates and loads are measured over the whole window and
// processes are read at both ends of it.
class LocalSnapshot {
public:
    // Starts at once, on the main queue; `done` is called there after the last tick.
    LocalSnapshot(double seconds, std::function<void()> done);

    const SnapshotValues& values() const { return snapshot_.values(); }

private:
    SystemSnapshot snapshot_;
    Sampler sampler_;
    int ticks_ = 0;
};

// What `snapshot --local` prints for a window of `seconds`: the text (the System block, then
// the readings, saying why processes are missing after a window too short for them), at most
// `width` columns wide, or the snapshot document with the system summary beside it. Nothing
// when a reading is no number.
std::optional<std::string> localSnapshotOutput(const SnapshotValues& snapshot,
                                               const SystemSummary& system, bool text, int seconds,
                                               std::size_t width = 0);

} // namespace quillfen::cli
