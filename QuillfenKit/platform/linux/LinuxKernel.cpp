#include "platform/linux/LinuxKernel.h"

#include "platform/BootTime.h"
#include "platform/CPULoadInfo.h"
#include "platform/KinfoProc.h"
#include "platform/VMStatistics64.h"
#include "platform/XswUsage.h"
#include "platform/linux/FileIO.h"
#include "platform/linux/KernelText.h"
#include "platform/linux/MachineIdentity.h"
#include "platform/linux/ProcessTable.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <system_error>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;

// Bounds on what is read; real files are far smaller (stat and cpuinfo grow with the
// number of processors and interrupts).
constexpr std::size_t kMaxStatBytes = 4 << 20;
constexpr std::size_t kMaxCPUInfoBytes = 8 << 20;
constexpr std::size_t kMaxSmallFileBytes = 64 << 10;
constexpr unsigned kZramLookupInterval = 32;

using Counters = LinuxKernel::Counters;

// The counters of one `cpu` line of stat (after its label), mapped onto the four states.
std::optional<Counters> parseCPUFields(std::string_view rest) {
    enum { user, nice, system, idle, iowait, irq, softirq, steal, count };
    std::uint64_t v[count] = {};
    int n = 0;
    for (; n < count; ++n) {
        const std::string_view field = nextField(rest);
        if (field.empty()) break;
        const auto value = parseUnsigned(field);
        if (!value) return std::nullopt;
        v[n] = *value;
    }
    // Kernels before 2.6 stop after idle; later fields are then 0. The two guest columns
    // that follow steal are not needed.
    if (n < 4) return std::nullopt;
    Counters c{};
    // The kernel already counts the time it spends running guests in user and nice time
    // (the guest columns repeat it). That time is busy time of this machine, so it stays;
    // taking it out would show a processor that runs a virtual machine flat out as idle.
    c[cpuload::kStateUser] = v[user];
    c[cpuload::kStateNice] = v[nice];
    c[cpuload::kStateSystem] = addSaturating(addSaturating(v[system], v[irq]), v[softirq]);
    c[cpuload::kStateIdle] = addSaturating(addSaturating(v[idle], v[iowait]), v[steal]);
    return c;
}

void hold(Counters& held, const Counters& now) {
    for (std::size_t s = 0; s < held.size(); ++s)
        held[s] = std::max(held[s], now[s]);
}

void store(std::uint32_t* out, const Counters& c) {
    for (std::size_t s = 0; s < c.size(); ++s)
        out[s] = static_cast<std::uint32_t>(c[s]);
}

using ProcessorLine = LinuxKernel::ProcessorLine;

// The per-processor lines at the top of stat into `lines`; false when one of them is
// malformed.
bool parseProcessorLines(std::string_view text, std::vector<ProcessorLine>& lines) {
    lines.clear();
    while (!text.empty()) {
        std::string_view line = nextLine(text);
        if (!line.starts_with("cpu")) {
            // The processor lines come first; the rest (interrupt counts) is not needed.
            if (!lines.empty()) break;
            continue;
        }
        const std::string_view label = nextField(line);
        if (label == "cpu") continue;
        const auto index = parseUnsigned(label.substr(3));
        if (!index || *index >= kMaxProcessors) return false;
        const auto counters = parseCPUFields(line);
        if (!counters) return false;
        lines.push_back({static_cast<unsigned>(*index), *counters});
    }
    return true;
}

// The first line of stat, the machine's total, is shorter than this even with counters of
// twenty digits.
constexpr std::size_t kStatFirstLineBytes = 512;

std::optional<std::vector<unsigned>> readCPUList(const fs::path& path) {
    const auto text = readFile(path, kMaxSmallFileBytes);
    if (!text) return std::nullopt;
    return parseCPUList(*text);
}

std::optional<std::uint64_t> readNumber(const fs::path& path) {
    const auto text = readFile(path, kMaxSmallFileBytes);
    if (!text) return std::nullopt;
    return parseUnsigned(trim(*text));
}

struct MemInfo {
    bool hasFree = false;
    bool hasAvailable = false;
    std::uint64_t total = 0, free = 0, available = 0, active = 0, activeAnon = 0, inactiveAnon = 0,
                  activeFile = 0, inactiveFile = 0, unevictable = 0, sReclaimable = 0,
                  sUnreclaim = 0, kernelStack = 0, pageTables = 0, zswap = 0, swapTotal = 0,
                  swapFree = 0;
};

// meminfo's "Key:   value kB" lines, in bytes; nothing when MemFree is missing, which
// means the file is not meminfo at all.
std::optional<MemInfo> parseMemInfo(std::string_view text) {
    static constexpr std::pair<std::string_view, std::uint64_t MemInfo::*> keys[] = {
        {"MemTotal", &MemInfo::total},          {"MemFree", &MemInfo::free},
        {"MemAvailable", &MemInfo::available},  {"Active", &MemInfo::active},
        {"Active(anon)", &MemInfo::activeAnon}, {"Inactive(anon)", &MemInfo::inactiveAnon},
        {"Active(file)", &MemInfo::activeFile}, {"Inactive(file)", &MemInfo::inactiveFile},
        {"Unevictable", &MemInfo::unevictable}, {"SReclaimable", &MemInfo::sReclaimable},
        {"SUnreclaim", &MemInfo::sUnreclaim},   {"KernelStack", &MemInfo::kernelStack},
        {"PageTables", &MemInfo::pageTables},   {"Zswap", &MemInfo::zswap},
        {"SwapTotal", &MemInfo::swapTotal},     {"SwapFree", &MemInfo::swapFree},
    };
    MemInfo info;
    while (!text.empty()) {
        std::string_view line = nextLine(text);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon);
        const auto match = std::find_if(std::begin(keys), std::end(keys),
                                        [&](const auto& k) { return k.first == key; });
        if (match == std::end(keys)) continue;
        line.remove_prefix(colon + 1);
        const auto value = parseUnsigned(nextField(line));
        if (!value) continue;
        const std::string_view unit = nextField(line);
        info.*(match->second) = unit == "kB" ? multiplySaturating(*value, 1024) : *value;
        if (match->second == &MemInfo::free) info.hasFree = true;
        if (match->second == &MemInfo::available) info.hasAvailable = true;
    }
    if (!info.hasFree) return std::nullopt;
    return info;
}

std::string int32Bytes(std::uint64_t value) {
    const auto v = static_cast<std::int32_t>(std::min<std::uint64_t>(value, INT32_MAX));
    std::string bytes(sizeof v, '\0');
    std::memcpy(bytes.data(), &v, sizeof v);
    return bytes;
}

template <typename Record> std::string recordBytes(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

// Where the firmware names no model, the processor architecture is at least true.
std::string machineArchitecture() {
    utsname names{};
    return ::uname(&names) == 0 ? names.machine : "";
}

std::uint64_t systemPageSize() {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

// MemTotal, or the system's own count of physical pages where meminfo does not give it.
std::uint64_t installedBytes(const MemInfo* mem) {
    if (mem && mem->total > 0) return mem->total;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    return pages > 0 ? multiplySaturating(static_cast<std::uint64_t>(pages), systemPageSize()) : 0;
}

// What the kernel could hand out without swapping. Kernels before 3.14 do not estimate it;
// for them it is the free pages, the file cache and the reclaimable slab, as the kernel's
// estimate counts them (without its small allowance for the watermarks).
std::uint64_t availableBytes(const MemInfo& mem) {
    if (mem.hasAvailable) return mem.available;
    return addSaturating(addSaturating(mem.free, mem.sReclaimable),
                         addSaturating(mem.activeFile, mem.inactiveFile));
}

// How many processes' stat files may stay open: half the descriptors the process may open,
// leaving the rest to everything else, and no more than a busy desktop has processes.
std::size_t statFileBudget() {
    constexpr std::size_t kMost = 1024;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    if (limit.rlim_cur == RLIM_INFINITY) return kMost;
    return std::min<std::size_t>(kMost, limit.rlim_cur / 2);
}

} // namespace

LinuxKernel::LinuxKernel(fs::path procRoot, fs::path sysRoot, std::uint64_t pageSize,
                         std::vector<fs::path> osReleaseFiles)
    : procRoot_(std::move(procRoot))
    , sysRoot_(std::move(sysRoot))
    , statPath_(procRoot_ / "stat")
    , meminfoPath_(procRoot_ / "meminfo")
    , cpuDir_(sysRoot_ / "devices/system/cpu")
    , liveSys_(isLiveKernelTree(sysRoot_))
    , statFile_(statPath_, isLiveKernelTree(procRoot_))
    , meminfoFile_(meminfoPath_, isLiveKernelTree(procRoot_))
    , loadavgFile_(procRoot_ / "loadavg", isLiveKernelTree(procRoot_))
    , presentFile_(cpuDir_ / "present", liveSys_)
    , pageSize_(pageSize != 0 ? pageSize : systemPageSize())
    , readsSinceZramLookup_(kZramLookupInterval)
    , pcbLists_(procRoot_, sysRoot_)
    , processes_(procRoot_)
    , statFiles_(isLiveKernelTree(procRoot_) ? statFileBudget() : 0)
    , osReleaseFiles_(std::move(osReleaseFiles))
    , clockTicksPerSecond_(static_cast<std::uint64_t>(std::max(::sysconf(_SC_CLK_TCK), 0L))) {}

KernReturn LinuxKernel::hostProcessorInfo(int flavor, std::uint32_t& processorCount,
                                          std::uint32_t*& info, std::uint32_t& infoCount) {
    if (flavor != cpuload::kProcessorCPULoadInfo) return kKernInvalidArgument;
    const auto text = statFile_.read(kMaxStatBytes);
    if (!text || !parseProcessorLines(*text, processorLines_) || processorLines_.empty())
        return kKernFailure;

    // Every present processor has a place, online or not, so the list keeps its length and
    // order while processors go offline and come back.
    std::size_t count = 0;
    for (const auto& line : processorLines_)
        count = std::max<std::size_t>(count, line.index + 1);
    if (const auto present = presentFile_.read(kMaxSmallFileBytes)) {
        if (const auto cpus = parseCPUList(*present); cpus && !cpus->empty())
            count = std::max<std::size_t>(count, *std::max_element(cpus->begin(), cpus->end()) + 1);
    }

    heldPerCPU_.resize(count);
    for (const auto& line : processorLines_)
        hold(heldPerCPU_[line.index], line.counters);

    const std::size_t words = count * cpuload::kStateCount;
    auto* array = new (std::nothrow) std::uint32_t[words];
    if (!array) return kKernResourceShortage;
    for (std::size_t i = 0; i < count; ++i)
        store(array + i * cpuload::kStateCount, heldPerCPU_[i]);
    processorCount = static_cast<std::uint32_t>(count);
    info = array;
    infoCount = static_cast<std::uint32_t>(words);
    return kKernSuccess;
}

// The arrays of hostProcessorInfo are plain heap arrays; their length is not needed.
KernReturn LinuxKernel::vmDeallocate(std::uint32_t* address, std::size_t) {
    delete[] address;
    return kKernSuccess;
}

// Runs every second: the clock is read only while there is something to let go.
void LinuxKernel::letGoOfIdleStatFiles() {
    if (statFiles_.openFiles() > 0) statFiles_.closeIfIdle(std::chrono::steady_clock::now());
}

KernReturn LinuxKernel::hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) {
    if (flavor != cpuload::kHostCPULoadInfo || count < cpuload::kHostCPULoadInfoCount)
        return kKernInvalidArgument;
    letGoOfIdleStatFiles();
    // Only the first line, the machine's total, is wanted.
    const auto text = statFile_.readStart(kStatFirstLineBytes);
    if (!text) return kKernFailure;
    std::string_view rest = *text;
    // A first line that does not end within the bytes read is not one to trust.
    if (rest.find('\n') == std::string_view::npos) return kKernFailure;
    std::string_view line = nextLine(rest);
    if (nextField(line) != "cpu") return kKernFailure;
    const auto counters = parseCPUFields(line);
    if (!counters) return kKernFailure;
    hold(heldHost_, *counters);
    store(info, heldHost_);
    count = cpuload::kHostCPULoadInfoCount;
    return kKernSuccess;
}

// The record divides the machine's memory as the kernel sees it.
//
// Available: MemAvailable, the kernel's own estimate of what it can hand out without
// swapping (free pages above the watermarks, the page cache it can drop, reclaimable slab).
// It goes into the two counters that the record's readers add up as available: free gets
// MemFree (all of MemAvailable when the watermarks make that the smaller) and inactive the
// rest, so free + inactive is MemAvailable to the page. Purgeable and speculative pages do
// not exist here and stay 0.
//
// Used: what is left, MemTotal − MemAvailable, holds the used categories, each a set of
// pages that no other category and no part of MemAvailable holds:
// - wired: the unevictable list (mlocked pages, anonymous or file, and ramfs), unreclaimable
//   slab, kernel stacks and page tables. The unevictable list is a list of its own, apart
//   from the anonymous and file lists; the rest is kernel memory on no list at all.
// - compressor: the zswap pool and the memory zram devices occupy, pages of the compressed
//   allocators, on no list and not in the slab.
// - internal: the anonymous lists, Active(anon) + Inactive(anon): process memory and shared
//   memory (tmpfs, shm), which lives on those lists too. Not AnonPages + Shmem: those
//   include pages that are locked and so sit on the unevictable list, already in wired.
// MemAvailable counts only free pages, the file lists and reclaimable kernel memory, none of
// which is among these. The rest of MemTotal − MemAvailable (reserves, the part of the cache
// the kernel keeps back, vmalloc, per-CPU areas) belongs to no category.
//
// meminfo's counters are read one after another while the system runs, and some are per-CPU
// batched, so their sum can still overshoot by a few pages; each category is cut to what the
// ones before it leave of MemTotal − MemAvailable, so that app + wired + compressed +
// available never exceeds the total. The anonymous lists come last: they are the largest
// category, where a cut is relatively the smallest.
KernReturn LinuxKernel::hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) {
    if (flavor != vmstat::kHostVMInfo64 || count < vmstat::kHostVMInfo64Count)
        return kKernInvalidArgument;
    if (pageSize_ == 0) return kKernFailure;
    letGoOfIdleStatFiles();
    const auto text = meminfoFile_.read(kMaxSmallFileBytes);
    if (!text) return kKernFailure;
    const auto mem = parseMemInfo(*text);
    if (!mem) return kKernFailure;

    const auto pages = [&](std::uint64_t bytes) { return bytes / pageSize_; };
    const auto word = [](std::uint64_t pageCount) {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(pageCount, UINT32_MAX));
    };
    const std::uint64_t total = pages(installedBytes(&*mem));
    const std::uint64_t available = std::min(pages(availableBytes(*mem)), total);
    const std::uint64_t free = std::min(pages(mem->free), available);
    std::uint64_t unavailable = total - available;
    const auto take = [&](std::uint64_t bytes) {
        const std::uint64_t n = std::min(pages(bytes), unavailable);
        unavailable -= n;
        return word(n);
    };

    vmstat::VMStatistics64 vm{};
    vm.freeCount = word(free);
    vm.inactiveCount = word(available - free);
    vm.activeCount = word(pages(mem->active));
    vm.wireCount = take(addSaturating(addSaturating(mem->unevictable, mem->sUnreclaim),
                                      addSaturating(mem->kernelStack, mem->pageTables)));
    vm.compressorPageCount = take(addSaturating(mem->zswap, zramBytes()));
    vm.internalPageCount = take(addSaturating(mem->activeAnon, mem->inactiveAnon));
    std::memcpy(info, &vm, sizeof vm);
    count = vmstat::kHostVMInfo64Count;
    return kKernSuccess;
}

KernReturn LinuxKernel::hostPageSize(std::uint64_t& pageSize) {
    if (pageSize_ == 0) return kKernFailure;
    pageSize = pageSize_;
    return kKernSuccess;
}

std::uint64_t LinuxKernel::physicalMemory() {
    const auto text = meminfoFile_.read(kMaxSmallFileBytes);
    const auto mem = text ? parseMemInfo(*text) : std::nullopt;
    return installedBytes(mem ? &*mem : nullptr);
}

// Memory that zram devices occupy, compressed data and allocator overhead together (the
// third field of mm_stat). Listing the block devices costs more than reading them, and zram
// devices come and go rarely, so they are looked up again only every so many reads or once
// one of them has gone.
std::uint64_t LinuxKernel::zramBytes() {
    if (readsSinceZramLookup_ >= kZramLookupInterval) {
        readsSinceZramLookup_ = 0;
        zramStats_.clear();
        std::error_code ec;
        for (fs::directory_iterator it(sysRoot_ / "block", ec), end; !ec && it != end;
             it.increment(ec)) {
            if (it->path().filename().native().starts_with("zram"))
                zramStats_.emplace_back(it->path() / "mm_stat", liveSys_);
        }
    }
    ++readsSinceZramLookup_;
    std::uint64_t total = 0;
    for (auto& file : zramStats_) {
        const auto text = file.read(kMaxSmallFileBytes);
        if (!text) {
            readsSinceZramLookup_ = kZramLookupInterval;
            continue;
        }
        std::string_view rest = *text;
        nextField(rest);
        nextField(rest);
        if (const auto used = parseUnsigned(trim(nextField(rest))))
            total = addSaturating(total, *used);
    }
    return total;
}

int LinuxKernel::sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) {
    std::optional<std::string> value;
    if (name == "machdep.cpu.brand_string") {
        if (auto brand = brandString()) value = *brand + '\0';
    } else if (name == "hw.ncpu") {
        if (const auto n = onlineCount()) value = int32Bytes(*n);
    } else if (name == "hw.nperflevels") {
        if (performanceLevels()) value = int32Bytes(2);
    } else if (name == "hw.perflevel0.physicalcpu") {
        if (const auto levels = performanceLevels()) value = int32Bytes(levels->performance);
    } else if (name == "net.inet.tcp.pcblist_n") {
        return pcbLists_.read(PCBListBuilder::Protocol::tcp, oldp, oldlenp);
    } else if (name == "net.inet.udp.pcblist_n") {
        return pcbLists_.read(PCBListBuilder::Protocol::udp, oldp, oldlenp);
    } else if (name == "hw.perflevel1.physicalcpu") {
        if (const auto levels = performanceLevels()) value = int32Bytes(levels->efficiency);
    } else if (name == "hw.model") {
        value = modelIdentifier(sysRoot_).value_or(machineArchitecture()) + '\0';
    } else if (name == "vm.swapusage") {
        value = swapUsage();
    }
    if (!value) return ENOENT;
    return answerSysctl(*value, oldp, oldlenp);
}

// The "model name" of cpuinfo; where there is none (ARM, RISC-V), the system-on-chip entry
// of the device tree's compatible list: by convention the board comes first, then the chip.
std::optional<std::string> LinuxKernel::brandString() const {
    if (const auto text = readFile(procRoot_ / "cpuinfo", kMaxCPUInfoBytes)) {
        std::string_view rest = *text;
        while (!rest.empty()) {
            const std::string_view line = nextLine(rest);
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "model name")
                continue;
            const std::string_view model = trim(line.substr(colon + 1));
            if (!model.empty()) return std::string(model);
        }
    }
    if (const auto text =
            readFile(sysRoot_ / "firmware/devicetree/base/compatible", kMaxSmallFileBytes)) {
        std::vector<std::string_view> entries;
        std::string_view rest = *text;
        while (!rest.empty()) {
            const std::size_t nul = rest.find('\0');
            const std::string_view entry = rest.substr(0, nul);
            rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
            if (!trim(entry).empty()) entries.push_back(trim(entry));
        }
        if (!entries.empty()) return std::string(entries[entries.size() >= 2 ? 1 : 0]);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> LinuxKernel::onlineCount() const {
    if (const auto online = readCPUList(cpuDir_ / "online"); online && !online->empty())
        return static_cast<std::uint32_t>(online->size());
    // Without sysfs, stat lists exactly the online processors.
    const auto text = readFile(statPath_, kMaxStatBytes);
    if (!text) return std::nullopt;
    std::vector<ProcessorLine> lines;
    if (!parseProcessorLines(*text, lines) || lines.empty()) return std::nullopt;
    return static_cast<std::uint32_t>(lines.size());
}

// Hybrid processors only: Intel lists its performance and efficiency cores as two CPU PMUs;
// ARM big.LITTLE gives each core a capacity, the least capable group being the efficiency
// cores and every larger one counting as performance cores.
std::optional<LinuxKernel::PerformanceLevels> LinuxKernel::performanceLevels() const {
    const auto core = readCPUList(sysRoot_ / "devices/cpu_core/cpus");
    const auto atom = readCPUList(sysRoot_ / "devices/cpu_atom/cpus");
    if (core && atom && !core->empty() && !atom->empty())
        return PerformanceLevels{physicalCores(*core), physicalCores(*atom)};

    const auto present = readCPUList(cpuDir_ / "present");
    if (!present || present->empty()) return std::nullopt;
    std::map<std::uint64_t, std::vector<unsigned>> byCapacity;
    for (const unsigned cpu : *present) {
        const auto capacity = readNumber(cpuDir_ / ("cpu" + std::to_string(cpu)) / "cpu_capacity");
        if (!capacity) return std::nullopt;
        byCapacity[*capacity].push_back(cpu);
    }
    if (byCapacity.size() < 2) return std::nullopt;
    std::vector<unsigned> performance;
    for (auto it = std::next(byCapacity.begin()); it != byCapacity.end(); ++it)
        performance.insert(performance.end(), it->second.begin(), it->second.end());
    return PerformanceLevels{physicalCores(performance), physicalCores(byCapacity.begin()->second)};
}

// Simultaneous-multithreading siblings share a core: each core is counted at its lowest
// numbered sibling.
std::uint32_t LinuxKernel::physicalCores(const std::vector<unsigned>& cpus) const {
    std::uint32_t cores = 0;
    for (const unsigned cpu : cpus) {
        const fs::path topology = cpuDir_ / ("cpu" + std::to_string(cpu)) / "topology";
        auto siblings = readCPUList(topology / "core_cpus_list");
        if (!siblings || siblings->empty())
            siblings = readCPUList(topology / "thread_siblings_list");
        if (siblings && !siblings->empty() &&
            *std::min_element(siblings->begin(), siblings->end()) != cpu)
            continue;
        ++cores;
    }
    return cores;
}

// The process table's size answer leaves room for a few processes started between the size
// query and the read, so that a caller sizing its buffer from it does not come up short.
constexpr std::size_t kProcessTableSlop = 5;
// How long a listing of the processes, and the stat lines read with the table, stand for the
// processes: a caller reading the table does so right after its size query, and asks for the
// task information of every process right after that.
constexpr std::chrono::milliseconds kListingLifetime{250};

int LinuxKernel::sysctl(const int* name, unsigned nameLength, void* oldp, std::size_t* oldlenp) {
    if (!name || !oldlenp) return EINVAL;
    std::optional<std::string> value;
    if (nameLength == 3 && name[0] == kCtlKern && name[1] == kinfo::kKernProc &&
        name[2] == kinfo::kKernProcAll) {
        const auto now = std::chrono::steady_clock::now();
        if (!oldp) {
            sizedPids_ = listProcesses(processes_);
            sizedAt_ = now;
            *oldlenp = (sizedPids_.size() + kProcessTableSlop) * sizeof(kinfo::KinfoProc);
            return 0;
        }
        const bool sizedJustNow = !sizedPids_.empty() && now - sizedAt_ <= kListingLifetime;
        const auto pids = sizedJustNow ? std::move(sizedPids_) : listProcesses(processes_);
        sizedPids_.clear();
        tableStatLines_.clear();
        value = processTableRecords(processes_, pids, tableStatLines_, statFiles_, now);
        tableReadAt_ = now;
        // Names of processes that were not asked about since the previous table are of
        // processes that have ended.
        longNames_.newRound();
    } else if (nameLength == 2 && name[0] == kCtlKern && name[1] == boottime::kKernBoottime) {
        value = bootTime();
    }
    if (!value) return ENOENT;
    return answerSysctl(*value, oldp, oldlenp);
}

int LinuxKernel::procPidInfo(int pid, int flavor, std::uint64_t, void* buffer, int bufferSize) {
    constexpr int kSize = sizeof(procinfo::ProcTaskAllInfo);
    if (flavor != procinfo::kProcPidTaskAllInfo || pid <= 0 || !buffer || bufferSize < kSize)
        return 0;
    std::optional<std::string> statLine;
    if (!tableStatLines_.empty()) {
        if (std::chrono::steady_clock::now() - tableReadAt_ > kListingLifetime) {
            tableStatLines_.clear();
        } else if (const auto it = tableStatLines_.find(pid); it != tableStatLines_.end()) {
            statLine = std::move(it->second);
            tableStatLines_.erase(it);
        }
    }
    if (!processBootTime_) processBootTime_ = bootSeconds().value_or(0);
    const auto info =
        readTaskAllInfo(processes_, pid, {pageSize_, clockTicksPerSecond_, *processBootTime_},
                        statLine ? &*statLine : nullptr, &longNames_);
    if (!info) return 0;
    std::memcpy(buffer, &*info, kSize);
    return kSize;
}

KernReturn LinuxKernel::timebaseInfo(std::uint32_t& numer, std::uint32_t& denom) {
    numer = 1;
    denom = 1;
    return kKernSuccess;
}

int LinuxKernel::loadAverage(double* samples, int count) {
    const auto text = loadavgFile_.read(kMaxSmallFileBytes);
    if (!text || count < 0) return -1;
    std::string_view rest = *text;
    const int n = std::min(count, 3);
    for (int i = 0; i < n; ++i) {
        const std::string_view field = nextField(rest);
        double value = 0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || ec != std::errc() || end != field.data() + field.size() ||
            !std::isfinite(value) || value < 0)
            return -1;
        samples[i] = value;
    }
    return n;
}

OperatingSystemVersion LinuxKernel::operatingSystemVersion() {
    return linux::operatingSystemVersion(osReleaseFiles_, procRoot_);
}

std::optional<std::string> LinuxKernel::swapUsage() const {
    const auto text = readFile(meminfoPath_, kMaxSmallFileBytes);
    if (!text) return std::nullopt;
    const auto mem = parseMemInfo(*text);
    if (!mem) return std::nullopt;
    swapusage::XswUsage usage{};
    usage.total = mem->swapTotal;
    usage.available = std::min(mem->swapFree, mem->swapTotal);
    usage.used = mem->swapTotal - usage.available;
    usage.pageSize = static_cast<std::uint32_t>(std::min<std::uint64_t>(pageSize_, UINT32_MAX));
    return recordBytes(usage);
}

// The `btime` line of stat: seconds since 1970 at boot.
std::optional<std::uint64_t> LinuxKernel::bootSeconds() const {
    const auto text = readFile(statPath_, kMaxStatBytes);
    if (!text) return std::nullopt;
    std::string_view rest = *text;
    while (!rest.empty()) {
        std::string_view line = nextLine(rest);
        if (nextField(line) != "btime") continue;
        const auto seconds = parseUnsigned(trim(line));
        if (!seconds || *seconds > INT64_MAX) return std::nullopt;
        return seconds;
    }
    return std::nullopt;
}

std::optional<std::string> LinuxKernel::bootTime() const {
    const auto seconds = bootSeconds();
    if (!seconds) return std::nullopt;
    return recordBytes(boottime::Timeval{static_cast<std::int64_t>(*seconds), 0});
}

} // namespace quillfen::platform::linux
