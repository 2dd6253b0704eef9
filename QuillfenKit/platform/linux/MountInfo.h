#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::platform::linux {

// One line of /proc/<pid>/mountinfo.
struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string root; // the folder of the filesystem mounted here, "/" for all of it
    std::string mountPoint;
    std::string fsType;
    std::string source;

    bool operator==(const MountEntry&) const = default;
};

// The mounts of a mountinfo text, in mount order, with the octal escapes the kernel uses
// for blanks and other awkward characters ("\040") decoded. Malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// "\040" → " ": the kernel's escaping of blanks, tabs, newlines and backslashes in paths.
std::string decodeOctalEscapes(std::string_view text);

} // namespace quillfen::platform::linux
