#include "platform/linux/ProcessTable.h"

#include "platform/KinfoProc.h"
#include "platform/linux/BundleLayout.h"
#include "platform/linux/KernelText.h"
#include "support/FileIO.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

// A stat line is a few hundred bytes; the command name in it is short.
constexpr std::size_t kMaxStatBytes = 4096;
constexpr std::size_t kMaxCommBytes = 256;
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

template <typename Visit> void forEachProcess(const fs::path& procRoot, Visit visit) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(procRoot.c_str()), ::closedir);
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (const auto pid = processNumber(entry->d_name)) visit(*pid, entry->d_name);
    }
}

} // namespace

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
    return std::string(withoutDeletedMark(std::string_view(buf, static_cast<std::size_t>(n))));
}

std::vector<std::int32_t> listProcesses(const fs::path& procRoot) {
    std::vector<std::int32_t> pids;
    forEachProcess(procRoot, [&](std::int32_t pid, const char*) { pids.push_back(pid); });
    return pids;
}

std::string processTableRecords(const fs::path& procRoot) {
    std::string table;
    forEachProcess(procRoot, [&](std::int32_t pid, const char* name) {
        const auto comm = readFile(procRoot / name / "comm", kMaxCommBytes);
        if (!comm) return;
        kinfo::KinfoProc record{};
        record.pid = pid;
        std::string_view text = *comm;
        if (text.ends_with('\n')) text.remove_suffix(1);
        copyName(record.comm, sizeof record.comm, text);
        table.append(reinterpret_cast<const char*>(&record), sizeof record);
    });
    return table;
}

std::optional<ProcessStat> parseProcessStat(std::string_view line) {
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    ProcessStat stat;
    stat.comm = line.substr(open + 1, close - open - 1);
    std::string_view rest = line.substr(close + 1);
    // Fields after the name, counted from 3 as the kernel documents them: utime is 14,
    // stime 15 and rss 24.
    std::optional<std::uint64_t> utime, stime, rss;
    for (int field = 3; field <= 24; ++field) {
        const std::string_view value = nextField(rest);
        if (value.empty()) return std::nullopt;
        if (field == 14) utime = parseUnsigned(trim(value));
        if (field == 15) stime = parseUnsigned(trim(value));
        if (field == 24) rss = parseUnsigned(trim(value));
    }
    if (!utime || !stime || !rss) return std::nullopt;
    stat.userTicks = *utime;
    stat.systemTicks = *stime;
    stat.residentPages = *rss;
    return stat;
}

std::optional<procinfo::ProcTaskAllInfo> readTaskAllInfo(const fs::path& procRoot, std::int32_t pid,
                                                         const TaskUnits& units) {
    const fs::path dir = procRoot / std::to_string(pid);
    const auto text = readFile(dir / "stat", kMaxStatBytes);
    if (!text) return std::nullopt;
    const auto stat = parseProcessStat(*text);
    if (!stat) return std::nullopt;

    procinfo::ProcTaskAllInfo info{};
    copyName(info.shortName, sizeof info.shortName, stat->comm);
    if (const auto exe = executableOf(AT_FDCWD, (dir / "exe").native())) {
        copyName(info.longName, sizeof info.longName, baseName(*exe));
    } else if (const auto args = readFile(dir / "cmdline", kMaxCommandLineBytes)) {
        const std::string_view first(args->c_str()); // up to the first NUL
        copyName(info.longName, sizeof info.longName, baseName(first));
    }
    info.residentSize = multiplySaturating(stat->residentPages, units.pageSize);
    info.totalUser = ticksToNanos(stat->userTicks, units.clockTicksPerSecond);
    info.totalSystem = ticksToNanos(stat->systemTicks, units.clockTicksPerSecond);
    return info;
}

} // namespace quillfen::platform::linux
