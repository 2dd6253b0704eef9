#pragma once

#include "platform/ProcTaskAllInfo.h"

#include <chrono>
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

// Each process's `stat` file, kept open from one process table to the next and read again
// from its start, which makes the kernel generate it afresh: a read then costs one call, where
// opening and closing the file costs nearly twice as much again. Only for the live procfs:
// the captured trees tests replace file by file are opened for every read (a budget of 0).
// An open file stands for the process it was opened for: once that process ends, its reads
// fail, even when its number has gone to a new process, and the number is opened afresh.
// Files of processes missing from a table are closed with it. Each open file holds a page of
// kernel memory, so at most `budget` are held, and all are closed once no table has been read
// for a while (the process list is not being watched).
class StatFiles {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kIdleRelease{15};

    explicit StatFiles(std::size_t budget);
    ~StatFiles();
    // A copy holds no file of its own until it reads.
    StatFiles(const StatFiles& other);
    StatFiles& operator=(const StatFiles& other);

    // The `stat` line of `pid` under the open root `rootFd`; nothing when the process is gone.
    std::optional<std::string> read(int rootFd, std::int32_t pid);
    // Closes the files of the processes not read since the previous round, and begins a new
    // round at `now`.
    void newRound(Clock::time_point now);
    // Closes every file when no round has begun for kIdleRelease.
    void closeIfIdle(Clock::time_point now);
    void closeAll();
    std::size_t openFiles() const { return files_.size(); }

private:
    struct Entry {
        int fd;
        std::uint64_t round;
    };
    std::unordered_map<std::int32_t, Entry> files_;
    std::size_t budget_;
    std::uint64_t round_ = 0;
    Clock::time_point roundAt_;
};

// Process-table records (platform/KinfoProc.h) of the processes of `pids` that are still
// there when their `stat` line is read through `files`; the lines go to `lines`. Ends a round
// of `files`.
std::string processTableRecords(const ProcRoot& root, const std::vector<std::int32_t>& pids,
                                StatLines& lines, StatFiles& files,
                                StatFiles::Clock::time_point now = StatFiles::Clock::now());

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
