#include "sampling/ProcessSampler.h"

#include "platform/KinfoProc.h"
#include "platform/Platform.h"
#include "platform/ProcTaskAllInfo.h"
#include "support/Throttle.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace quillfen {
namespace {

namespace kinfo = platform::kinfo;
namespace procinfo = platform::procinfo;

// Room for processes that start between the size query and the read of the table.
constexpr std::size_t kTableHeadroom = 4 * sizeof(kinfo::KinfoProc);
// More records than any kernel has process numbers: a size beyond it is not believed.
constexpr std::size_t kMaxTableBytes = (std::size_t{1} << 22) * sizeof(kinfo::KinfoProc);

// A NUL-terminated text in a fixed field that need not hold the NUL.
template <std::size_t N> std::string fieldText(const char (&field)[N]) {
    return std::string(field, ::strnlen(field, N));
}

// One candidate for the lists: its keys and where the rest of its row is.
struct Candidate {
    std::int32_t pid;
    double cpuPercent;
    std::uint64_t rss;
    bool measured; // seen by the previous read, so its CPU share is known
};

// The first topN candidates by `heavier`, equal ones in pid order.
template <typename Key>
std::vector<Candidate> heaviest(std::vector<Candidate> candidates, std::size_t n, Key key) {
    n = std::min(n, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(n),
                      candidates.end(), [&](const Candidate& a, const Candidate& b) {
                          if (key(a) != key(b)) return key(a) > key(b);
                          return a.pid < b.pid;
                      });
    candidates.resize(n);
    return candidates;
}

} // namespace

ProcessSampler::ProcessSampler()
    : clock_(platform::current().clock)
    , kernel_(platform::current().kernel)
    , workspace_(platform::current().workspace) {
    std::uint32_t numer = 0, denom = 0;
    if (kernel_->timebaseInfo(numer, denom) == platform::kKernSuccess && numer > 0 && denom > 0)
        machToNanos_ = static_cast<double>(numer) / static_cast<double>(denom);
}

std::vector<ProcessSampler::SysctlPID> ProcessSampler::enumeratePIDsViaSysctl() {
    int name[] = {platform::kCtlKern, kinfo::kKernProc, kinfo::kKernProcAll};
    std::size_t size = 0;
    if (kernel_->sysctl(name, 3, nullptr, &size) != 0 || size < 1 || size > kMaxTableBytes)
        return {};
    std::vector<char> table(size + kTableHeadroom, '\0');
    std::size_t length = table.size();
    if (kernel_->sysctl(name, 3, table.data(), &length) != 0) return {};

    const std::size_t count = std::min(length, table.size()) / sizeof(kinfo::KinfoProc);
    std::vector<SysctlPID> pids;
    pids.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        kinfo::KinfoProc record;
        std::memcpy(&record, table.data() + i * sizeof record, sizeof record);
        // The kernel's own entry, number 0, is no process of anybody's.
        if (record.pid >= 1) pids.push_back({record.pid, fieldText(record.comm)});
    }
    return pids;
}

// Moves the names of the processes seen by the previous read into the new one: only those
// that started since, or have run another program since, are named again (their application
// is looked up for them alone). The previous read keeps its times and identities.
ProcessSampler::Snapshot ProcessSampler::readAll() {
    const auto pids = enumeratePIDsViaSysctl();
    if (pids.empty()) return {};

    Snapshot snapshot;
    snapshot.reserve(pids.size());
    unnamed_.clear();
    for (const auto& [pid, comm] : pids) {
        procinfo::ProcTaskAllInfo info;
        if (kernel_->procPidInfo(pid, procinfo::kProcPidTaskAllInfo, 0, &info, sizeof info) !=
            static_cast<int>(sizeof info))
            continue;
        const std::uint64_t total = info.totalUser + info.totalSystem;
        ProcSnap snap{
            total < info.totalUser ? UINT64_MAX : total,
            info.residentSize,
            {},
            std::nullopt,
            Identity{info.startSeconds, info.startMicroseconds, fieldText(info.shortName)}};
        if (const auto before = previous_.find(pid);
            before != previous_.end() && before->second.identity == snap.identity) {
            snap.name = std::move(before->second.name);
            snap.bundleURL = std::move(before->second.bundleURL);
        } else {
            // Named by the kernel for now; by its application, if it has one, below.
            snap.name = fieldText(info.longName);
            if (snap.name.empty()) snap.name = snap.identity.shortName;
            if (snap.name.empty()) snap.name = comm;
            unnamed_.push_back(pid);
        }
        snapshot.insert_or_assign(pid, std::move(snap));
    }
    if (unnamed_.empty()) return snapshot;

    for (auto& app : workspace_->runningApplicationsWithProcessIdentifiers(unnamed_)) {
        const auto it = snapshot.find(app.processIdentifier);
        if (it == snapshot.end()) continue;
        if (!app.localizedName.empty()) it->second.name = std::move(app.localizedName);
        if (!app.bundleURL.empty()) it->second.bundleURL = std::move(app.bundleURL);
    }
    // A process known by no name at all is not one to list.
    for (const int pid : unnamed_) {
        if (const auto it = snapshot.find(pid); it != snapshot.end() && it->second.name.empty())
            snapshot.erase(it);
    }
    return snapshot;
}

std::optional<ProcessReading> ProcessSampler::sample() {
    const double now = clock_->now();
    const double since = now - previousTimestamp_;
    if (!isDue(previousTimestamp_, now, minimumInterval)) return std::nullopt;

    Snapshot current = readAll();
    if (previous_.empty() || previousTimestamp_ <= 0 || since <= 0) {
        previous_ = std::move(current);
        previousTimestamp_ = now;
        return std::nullopt;
    }

    // Every process has a resident size; only one seen by the previous read as well has a
    // CPU share. A process started since then (a compiler, say, that is already the largest
    // of all) is listed by memory, with a share of 0, and by CPU from the next read on.
    std::vector<Candidate> candidates;
    candidates.reserve(current.size());
    std::size_t unmeasured = 0;
    for (const auto& [pid, snap] : current) {
        const auto before = previous_.find(pid);
        // A number taken over by a later process is a process the previous read did not see.
        if (before == previous_.end() ||
            before->second.identity.startSeconds != snap.identity.startSeconds ||
            before->second.identity.startMicroseconds != snap.identity.startMicroseconds) {
            candidates.push_back({pid, 0.0, snap.rss, false});
            ++unmeasured;
            continue;
        }
        const std::uint64_t delta = snap.totalCpuNanos >= before->second.totalCpuNanos
                                        ? snap.totalCpuNanos - before->second.totalCpuNanos
                                        : 0;
        const double percent =
            machToNanos_ * static_cast<double>(delta) / (since * 1'000'000'000.0) * 100.0;
        candidates.push_back({pid, percent, snap.rss, true});
    }

    const auto rows = [&](const std::vector<Candidate>& top) {
        std::vector<ProcessRow> list;
        list.reserve(top.size());
        for (const auto& c : top) {
            const ProcSnap& snap = current.at(c.pid);
            list.push_back({c.pid, snap.name, snap.bundleURL, c.cpuPercent, c.rss});
        }
        return list;
    };
    std::vector<Candidate> byCPU;
    byCPU.reserve(candidates.size() - unmeasured);
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(byCPU),
                 [](const Candidate& c) { return c.measured; });
    ProcessReading reading;
    reading.topByCPU =
        rows(heaviest(std::move(byCPU), topN, [](const Candidate& c) { return c.cpuPercent; }));
    reading.topByMemory =
        rows(heaviest(std::move(candidates), topN, [](const Candidate& c) { return c.rss; }));

    previous_ = std::move(current);
    previousTimestamp_ = now;
    return reading;
}

} // namespace quillfen
