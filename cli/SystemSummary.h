#pragma once

#include "sampling/SystemInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen::cli {

// What the machine is and how it is doing, read once for one output.
struct SystemSummary {
    std::string machineName;
    std::string osVersion;
    std::uint64_t uptimeSeconds = 0;
    std::string uptime; // "3d 4h"
    SystemInfo::LoadAverage loadAverage;
    SystemInfo::SwapUsage swapUsage;
};

SystemSummary readSystemSummary();

// {"machineName":…,"osVersion":…,"uptimeSeconds":…,"uptime":…,
//  "loadAverage":{"one":…,"five":…,"fifteen":…},"swapUsage":{"used":…,"total":…}}
std::optional<std::string> systemJSON(const SystemSummary& summary);

// A snapshot document with the summary beside its readings, under the key "system", which no
// snapshot document has (its keys all begin with an underscore): the document's own text is
// kept byte for byte and the key added before its closing brace, so a reader of the document
// reads it as before. Nothing when `document` is not a JSON object; a document that already
// has a "system" key is returned as it is.
std::optional<std::string> withSystem(std::string_view document, const SystemSummary& summary);

} // namespace quillfen::cli
