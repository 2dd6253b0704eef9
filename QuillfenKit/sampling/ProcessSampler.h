#pragma once

#include "platform/Clock.h"
#include "platform/Kernel.h"
#include "platform/Workspace.h"
#include "sampling/ProcessReading.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillfen {

// The processes using the most CPU and the most resident memory. CPU use is the change of
// each process's accumulated CPU time since the previous read, so the first call only
// primes; reads are at least minimumInterval apart. A process is named once in its life
// (its application, else its kernel names) and known again by its number, start time and
// command name.
class ProcessSampler {
public:
    static constexpr std::size_t topN = 10;
    static constexpr double minimumInterval = 5.0;

    ProcessSampler();

    // Both lists; nothing on the first call and while throttled. A process that started
    // since the previous read is listed by memory only (with a CPU share of 0) until the
    // next read.
    std::optional<ProcessReading> sample();

private:
    // What tells a process from a later one with the same number, and a process from itself
    // after it has run another program.
    struct Identity {
        std::uint64_t startSeconds = 0;
        std::uint64_t startMicroseconds = 0;
        std::string shortName;
        bool operator==(const Identity&) const = default;
    };
    struct ProcSnap {
        std::uint64_t totalCpuNanos = 0; // timebase units; × machToNanos_ gives nanoseconds
        std::uint64_t rss = 0;
        std::string name;
        std::optional<std::filesystem::path> bundleURL;
        Identity identity;
    };
    struct SysctlPID {
        std::int32_t pid = 0;
        std::string comm;
    };
    using Snapshot = std::unordered_map<std::int32_t, ProcSnap>;

    Snapshot readAll();
    std::vector<SysctlPID> enumeratePIDsViaSysctl();

    std::shared_ptr<platform::Clock> clock_;
    std::shared_ptr<platform::Kernel> kernel_;
    std::shared_ptr<platform::Workspace> workspace_;
    Snapshot previous_;
    std::vector<int> unnamed_; // reused by every read
    double previousTimestamp_ = 0;
    double machToNanos_ = 1;
};

} // namespace quillfen
