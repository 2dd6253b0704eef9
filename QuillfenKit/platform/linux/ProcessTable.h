#pragma once

#include "platform/ProcTaskAllInfo.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Processes as procfs shows them, turned into the kernel's process-table and task records.
// A process may end at any moment while it is read; what cannot be read is left out.
namespace quillfen::platform::linux {

// The number a procfs entry name stands for: digits only, from 1 to the largest pid.
std::optional<std::int32_t> processNumber(std::string_view entryName);

// The executable a process's `exe` link names, relative to the open folder `dirFd`, without
// the mark of a deleted file; nothing when the link cannot be read (a kernel thread, or
// another user's process).
std::optional<std::string> executableOf(int dirFd, const std::string& exeLink);

// A procfs root, opened on first use and kept open: each process's files are then opened
// relative to it, which spares resolving the root's path a thousand times a read. Copies
// share the open folder.
class ProcRoot {
public:
    explicit ProcRoot(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    // The open folder, or -1 while it cannot be opened.
    int fd() const;

private:
    struct Folder;
    std::filesystem::path path_;
    std::shared_ptr<Folder> folder_;
};

// The processes listed under the root, in listing order.
std::vector<std::int32_t> listProcesses(const ProcRoot& root);

// Each listed process's `stat` line, as read for the process table.
using StatLines = std::unordered_map<std::int32_t, std::string>;

// Process-table records (platform/KinfoProc.h) of the processes of `pids` that are still
// there when their `stat` line is read; the lines go to `lines`.
std::string processTableRecords(const ProcRoot& root, const std::vector<std::int32_t>& pids,
                                StatLines& lines);

// The fields of a process's `stat` line the task record needs.
struct ProcessStat {
    std::string_view comm;
    bool isKernelThread = false;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t startTicks = 0; // since boot
    std::uint64_t residentPages = 0;
};

// Nothing for a line that is not a complete stat line. The command name may hold blanks and
// parentheses; it ends at the last ")".
std::optional<ProcessStat> parseProcessStat(std::string_view line);

// How a process's figures convert into the task record's units.
struct TaskUnits {
    std::uint64_t pageSize = 0;
    std::uint64_t clockTicksPerSecond = 0;
    std::uint64_t bootTime = 0; // seconds since 1970
};

// Long names of processes, looked up once in each process's life rather than at every read:
// a process is the same one while its number, start time and command name stay (running
// another program renames it). Entries of processes that were not asked about between two
// rounds are forgotten.
class LongNameCache {
public:
    const std::string* find(std::int32_t pid, std::uint64_t startTicks, std::string_view comm);
    void store(std::int32_t pid, std::uint64_t startTicks, std::string_view comm, std::string name);
    // Forgets the processes not found or stored since the previous round, and begins a new one.
    void newRound();
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::uint64_t startTicks = 0;
        std::string comm;
        std::string name;
        std::uint64_t round = 0;
    };
    std::unordered_map<std::int32_t, Entry> entries_;
    std::uint64_t round_ = 0;
};

// The task record of `pid`: short name = the command name, long name = the executable's file
// name or else the base name of the first argument (none for a kernel thread); resident size
// in bytes, CPU times in nanoseconds, start time. `statLine`, when given, stands for the
// `stat` file; `names`, when given, holds long names found before and takes new ones.
// Nothing when the process is gone.
std::optional<procinfo::ProcTaskAllInfo> readTaskAllInfo(const ProcRoot& root, std::int32_t pid,
                                                         const TaskUnits& units,
                                                         const std::string* statLine = nullptr,
                                                         LongNameCache* names = nullptr);

} // namespace quillfen::platform::linux
