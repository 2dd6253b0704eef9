#pragma once

#include "platform/ProcTaskAllInfo.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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

// The processes listed under `procRoot`, in listing order.
std::vector<std::int32_t> listProcesses(const std::filesystem::path& procRoot);

// Process-table records (platform/KinfoProc.h) of every process that is still there when its
// command name is read.
std::string processTableRecords(const std::filesystem::path& procRoot);

// The fields of a process's `stat` line the task record needs.
struct ProcessStat {
    std::string_view comm;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t residentPages = 0;
};

// Nothing for a line that is not a complete stat line. The command name may hold blanks and
// parentheses; it ends at the last ")".
std::optional<ProcessStat> parseProcessStat(std::string_view line);

// How a process's figures convert into the task record's units.
struct TaskUnits {
    std::uint64_t pageSize = 0;
    std::uint64_t clockTicksPerSecond = 0;
};

// The task record of `pid`: short name = the command name, long name = the executable's file
// name or else the base name of the first argument; resident size in bytes, CPU times in
// nanoseconds. Nothing when the process is gone.
std::optional<procinfo::ProcTaskAllInfo> readTaskAllInfo(const std::filesystem::path& procRoot,
                                                         std::int32_t pid, const TaskUnits& units);

} // namespace quillfen::platform::linux
