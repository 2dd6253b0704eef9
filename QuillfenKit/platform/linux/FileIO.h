#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// POSIX file access for the Linux layer and for the few kit parts that read and write real
// files by design (the App Group container, desktop entries and icons): bounded reads and
// atomic replacement, so hostile or half-written files never reach a decoder.
namespace quillfen {

// Whole contents of a regular file, or nothing when it is missing, unreadable, not a regular
// file or larger than `maxBytes` (an oversized file is refused, never truncated).
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes);

// The same for `path` relative to the open folder `dirFd`. Reading many files of one folder
// this way spares resolving the folder's path for each of them.
std::optional<std::string> readFileAt(int dirFd, const char* path, std::size_t maxBytes);

enum class Durability {
    // Rename only: a crash may lose the new contents but never leaves a partial file.
    // For files rewritten every second whose worth expires within seconds.
    replaceOnly,
    // The same in a folder kept in memory (the user's runtime folder), where there are no
    // disk blocks to allocate ahead of the rename.
    replaceInMemory,
    // Data and directory entry are synced to disk before the call returns.
    synced,
};

// Replaces `path` with `data` so that a reader sees either the old or the new contents:
// written to a temporary file in the same folder, then renamed over the target. On failure
// the previous file is left as it was, no temporary file stays behind and errno tells why.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view data,
                         Durability durability);

// Removes the temporary files that writers of `path` killed between writing and renaming
// left behind: those named by `writeFileAtomically` for a process that no longer runs.
void removeStaleTemporaries(const std::filesystem::path& path);

} // namespace quillfen
