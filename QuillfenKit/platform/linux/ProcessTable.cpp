#include "platform/linux/ProcessTable.h"

#include "platform/KinfoProc.h"
#include "platform/linux/BundleLayout.h"
#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

// A stat line is a few hundred bytes.
constexpr std::size_t kMaxStatBytes = 4096;
// The flag of a kernel thread in the process flags (PF_KTHREAD).
constexpr std::uint64_t kKernelThreadFlag = 0x00200000;
// Only the first argument is wanted; a longer command line leaves the long name empty.
constexpr std::size_t kMaxCommandLineBytes = 64 << 10;

// Copies `text` into a NUL-terminated field of `size` bytes, cut so that no character is
// split.
void copyName(char* field, std::size_t size, std::string_view text) {
    std::size_t n = std::min(text.size(), size - 1);
    if (n < text.size()) {
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::uint64_t ticksToNanos(std::uint64_t ticks, std::uint64_t perSecond) {
    constexpr std::uint64_t kNanos = 1'000'000'000;
    if (perSecond == 0) return 0;
    if (kNanos % perSecond == 0) return multiplySaturating(ticks, kNanos / perSecond);
    return addSaturating(multiplySaturating(ticks / perSecond, kNanos),
                         (ticks % perSecond) * kNanos / perSecond);
}

// The executable's file name, else the base name of the first argument, of the process whose
// folder is `dir` ("123/") under the open root `fd`.
std::string longName(int fd, const std::string& dir) {
    if (const auto exe = executableOf(fd, dir + "exe")) return std::string(baseName(*exe));
    if (const auto args = readFileAt(fd, (dir + "cmdline").c_str(), kMaxCommandLineBytes))
        return std::string(baseName(args->c_str())); // up to the first NUL
    return {};
}

// The command name in a stat line: from the first "(" to the last ")", since the name may
// hold parentheses and blanks itself.
std::optional<std::string_view> commandName(std::string_view line) {
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    return line.substr(open + 1, close - open - 1);
}

// A `stat` file: one line that the kernel hands over whole in a single read, so one read it
// is, from the start (no look at the file's size, no second read to find the end). Nothing
// when it cannot be read or is longer than a stat line can be.
std::optional<std::string> readStatLine(int fd) {
    char buffer[kMaxStatBytes + 1];
    ssize_t n;
    do {
        n = ::pread(fd, buffer, sizeof buffer, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0 || static_cast<std::size_t>(n) > kMaxStatBytes) return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(n));
}

template <typename Visit> void forEachProcess(const ProcRoot& root, Visit visit) {
    const int fd =
        root.fd() < 0 ? -1 : ::openat(root.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(fd), ::closedir);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (const auto pid = processNumber(entry->d_name)) visit(*pid);
    }
}

} // namespace

struct ProcRoot::Folder {
    int fd = -1;
    ~Folder() {
        if (fd >= 0) ::close(fd);
    }
};

ProcRoot::ProcRoot(fs::path path)
    : path_(std::move(path))
    , folder_(std::make_shared<Folder>()) {}

int ProcRoot::fd() const {
    // Tests create the root after the kernel that reads it; it is opened once it is there.
    if (folder_->fd < 0) folder_->fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folder_->fd;
}

std::optional<std::int32_t> processNumber(std::string_view entryName) {
    if (entryName.empty() || entryName.size() > 10 || entryName.front() == '0') return std::nullopt;
    const auto value = parseUnsigned(entryName);
    if (!value || *value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::string> executableOf(int dirFd, const std::string& exeLink) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlinkat(dirFd, exeLink.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) return std::nullopt;
    const std::string_view target(buf, static_cast<std::size_t>(n));
    // A program run from memory (fexecve of a memfd) has no file; its name, a random
    // "memfd:sealed-…", says nothing to a user, so it counts as having no executable.
    if (target.starts_with("/memfd:")) return std::nullopt;
    return std::string(withoutDeletedMark(target));
}

std::vector<std::int32_t> listProcesses(const ProcRoot& root) {
    std::vector<std::int32_t> pids;
    forEachProcess(root, [&](std::int32_t pid) { pids.push_back(pid); });
    return pids;
}

StatFiles::StatFiles(std::size_t budget)
    : budget_(budget) {}

StatFiles::~StatFiles() {
    closeAll();
}

StatFiles::StatFiles(const StatFiles& other)
    : budget_(other.budget_) {}

StatFiles& StatFiles::operator=(const StatFiles& other) {
    if (this != &other) {
        closeAll();
        budget_ = other.budget_;
    }
    return *this;
}

std::optional<std::string> StatFiles::read(int rootFd, std::int32_t pid) {
    if (const auto it = files_.find(pid); it != files_.end()) {
        it->second.round = round_;
        if (auto line = readStatLine(it->second.fd)) return line;
        // The process it was opened for has ended; the number may be another's by now.
        ::close(it->second.fd);
        files_.erase(it);
    }
    char path[24];
    std::snprintf(path, sizeof path, "%d/stat", pid);
    const int fd = ::openat(rootFd, path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    auto line = readStatLine(fd);
    if (line && files_.size() < budget_)
        files_.emplace(pid, Entry{fd, round_});
    else
        ::close(fd);
    return line;
}

void StatFiles::newRound(Clock::time_point now) {
    std::erase_if(files_, [&](const auto& entry) {
        if (entry.second.round == round_) return false;
        ::close(entry.second.fd);
        return true;
    });
    ++round_;
    roundAt_ = now;
}

void StatFiles::closeIfIdle(Clock::time_point now) {
    if (!files_.empty() && now - roundAt_ > kIdleRelease) closeAll();
}

void StatFiles::closeAll() {
    for (const auto& [pid, entry] : files_)
        ::close(entry.fd);
    files_.clear();
}

std::string processTableRecords(const ProcRoot& root, const std::vector<std::int32_t>& pids,
                                StatLines& lines, StatFiles& files,
                                StatFiles::Clock::time_point now) {
    std::string table;
    table.reserve(pids.size() * sizeof(kinfo::KinfoProc));
    for (const std::int32_t pid : pids) {
        auto line = files.read(root.fd(), pid);
        if (!line) continue;
        kinfo::KinfoProc record{};
        record.pid = pid;
        if (const auto comm = commandName(*line)) copyName(record.comm, sizeof record.comm, *comm);
        table.append(reinterpret_cast<const char*>(&record), sizeof record);
        lines.insert_or_assign(pid, std::move(*line));
    }
    files.newRound(now);
    return table;
}

std::optional<ProcessStat> parseProcessStat(std::string_view line) {
    const auto comm = commandName(line);
    if (!comm) return std::nullopt;
    ProcessStat stat;
    stat.comm = *comm;
    std::string_view rest = line.substr(comm->data() + comm->size() + 1 - line.data());
    // Fields after the name, counted from 3 as the kernel documents them: flags is 9, utime
    // 14, stime 15, starttime 22 and rss 24.
    std::optional<std::uint64_t> flags, utime, stime, start, rss;
    for (int field = 3; field <= 24; ++field) {
        const std::string_view value = nextField(rest);
        if (value.empty()) return std::nullopt;
        if (field == 9) flags = parseUnsigned(trim(value));
        if (field == 14) utime = parseUnsigned(trim(value));
        if (field == 15) stime = parseUnsigned(trim(value));
        if (field == 22) start = parseUnsigned(trim(value));
        if (field == 24) rss = parseUnsigned(trim(value));
    }
    if (!flags || !utime || !stime || !start || !rss) return std::nullopt;
    stat.isKernelThread = (*flags & kKernelThreadFlag) != 0;
    stat.userTicks = *utime;
    stat.systemTicks = *stime;
    stat.startTicks = *start;
    stat.residentPages = *rss;
    return stat;
}

const std::string* LongNameCache::find(std::int32_t pid, std::uint64_t startTicks,
                                       std::string_view comm) {
    const auto it = entries_.find(pid);
    if (it == entries_.end() || it->second.startTicks != startTicks || it->second.comm != comm)
        return nullptr;
    it->second.round = round_;
    return &it->second.name;
}

void LongNameCache::store(std::int32_t pid, std::uint64_t startTicks, std::string_view comm,
                          std::string name) {
    entries_.insert_or_assign(pid, Entry{startTicks, std::string(comm), std::move(name), round_});
}

void LongNameCache::newRound() {
    std::erase_if(entries_, [&](const auto& entry) { return entry.second.round != round_; });
    ++round_;
}

std::optional<procinfo::ProcTaskAllInfo> readTaskAllInfo(const ProcRoot& root, std::int32_t pid,
                                                         const TaskUnits& units,
                                                         const std::string* statLine,
                                                         LongNameCache* names) {
    const int fd = root.fd();
    if (fd < 0) return std::nullopt;
    char dir[16];
    std::snprintf(dir, sizeof dir, "%d/", pid);
    std::optional<std::string> text;
    // Read for this once: a budget of nothing keeps no file open.
    if (!statLine) text = StatFiles(0).read(fd, pid);
    if (!statLine && !text) return std::nullopt;
    const auto stat = parseProcessStat(statLine ? *statLine : *text);
    if (!stat) return std::nullopt;

    procinfo::ProcTaskAllInfo info{};
    copyName(info.shortName, sizeof info.shortName, stat->comm);
    // A kernel thread runs no program and has no arguments: nothing to look for.
    if (!stat->isKernelThread) {
        if (const std::string* known =
                names ? names->find(pid, stat->startTicks, stat->comm) : nullptr) {
            copyName(info.longName, sizeof info.longName, *known);
        } else {
            std::string name = longName(fd, dir);
            copyName(info.longName, sizeof info.longName, name);
            if (names) names->store(pid, stat->startTicks, stat->comm, std::move(name));
        }
    }
    if (units.clockTicksPerSecond > 0) {
        const std::uint64_t perSecond = units.clockTicksPerSecond;
        info.startSeconds = addSaturating(units.bootTime, stat->startTicks / perSecond);
        info.startMicroseconds = (stat->startTicks % perSecond) * 1'000'000 / perSecond;
    }
    info.residentSize = multiplySaturating(stat->residentPages, units.pageSize);
    info.totalUser = ticksToNanos(stat->userTicks, units.clockTicksPerSecond);
    info.totalSystem = ticksToNanos(stat->systemTicks, units.clockTicksPerSecond);
    return info;
}

} // namespace quillfen::platform::linux
