#pragma once

#include "SystemSummary.h"

#include "model/SystemSnapshot.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// The columns `text` takes on a terminal: one a character, two for wide East Asian characters
// and emoji, none for combining marks. Bytes that are no UTF-8 count one each.
std::size_t columns(std::string_view text);
// `text` cut to at most `width` columns; a text that was cut ends in "…".
std::string fitted(std::string_view text, std::size_t width);

// `text` broken at its blanks into lines of at most `width` columns (a word longer than that
// is cut).
std::vector<std::string> wrapped(std::string_view text, std::size_t width);

// What a frame shows besides the readings.
struct FrameState {
    std::string title;                // the first line; none when empty
    std::vector<std::string> notices; // what keeps readings away, under the title
    bool sampling = false;            // readings are on their way: missing ones say "sampling…"
    bool processesSampling = false;   // the same for processes, which take longer to come
    std::string whyNoProcesses;       // follows the dash of processes that are not known
    // The helper published nothing usable: whether it runs on this machine, when known.
    std::optional<bool> helperRunning;
};

// No limit on a frame's width or height.
inline constexpr std::size_t kNoLimit = 0;

// How many rows each process table has at most.
inline constexpr std::size_t kProcessRows = 5;

// Every reading as lines of text, formatted as the views format them: the System block (when
// `system` is given), the readings, and the heaviest processes as two tables (by CPU and by
// memory, side by side when they fit). No line is wider than `width` columns: long values
// go on over further lines and names are cut. No more than `height` lines: first the tables
// get fewer rows, then long values are cut instead of continued, then the bottom is left out.
std::vector<std::string> frameLines(const SnapshotValues& values, const SystemSummary* system,
                                    const FrameState& state, std::size_t width = kNoLimit,
                                    std::size_t height = kNoLimit);

// The lines joined, each ending in a line break.
std::string joinedLines(const std::vector<std::string>& lines);

} // namespace quillfen::cli
