#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// The processor of this machine: its brand and how many cores of each performance level
// it has.
struct CPUTopology {
    std::string brandString;
    std::int64_t performanceCount = 0;
    std::int64_t efficiencyCount = 0;
    std::int64_t totalCount = 0;

    bool operator==(const CPUTopology&) const = default;

    // The brand without a leading "Apple ".
    std::string chipName() const;
    bool hasHeterogeneousCores() const { return efficiencyCount > 0; }

    // The running machine's topology, read on first use and kept for the process's life.
    static const CPUTopology& current();
    // Reads the topology afresh from the kernel; `current` keeps the first such reading.
    static CPUTopology read();

private:
    static std::optional<std::string> sysctlString(std::string_view name);
    static std::optional<std::int64_t> sysctlInt(std::string_view name);
};

} // namespace quillfen
