#pragma once

#include "support/Json.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// One process of a top list. `bundleURL` is the bundle (or desktop entry) of the running
// application the process belongs to, for its icon; it travels in JSON as a file URL.
struct ProcessRow {
    std::int32_t pid = 0;
    std::string name;
    std::optional<std::filesystem::path> bundleURL;
    double cpuPercent = 0; // of one core: a busy multi-threaded process exceeds 100
    std::uint64_t residentMemoryBytes = 0;

    std::int32_t id() const { return pid; }
    bool operator==(const ProcessRow&) const = default;
};

// The heaviest processes: at most ProcessSampler::topN each, heaviest first.
struct ProcessReading {
    std::vector<ProcessRow> topByCPU;
    std::vector<ProcessRow> topByMemory;

    bool operator==(const ProcessReading&) const = default;
};

void to_json(json::Json& j, const ProcessRow& r);
void write(json::Writer& w, const ProcessRow& r);
bool from_json(const json::Json& j, ProcessRow& r);
void to_json(json::Json& j, const ProcessReading& r);
void write(json::Writer& w, const ProcessReading& r);
bool from_json(const json::Json& j, ProcessReading& r);

} // namespace quillfen
