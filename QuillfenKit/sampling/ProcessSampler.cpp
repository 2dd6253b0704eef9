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

ProcessSampler::Snapshot ProcessSampler::readAll() {
    const auto pids = enumeratePIDsViaSysctl();
    if (pids.empty()) return {};

    std::unordered_map<std::int32_t, const platform::RunningApplication*> apps;
    const auto running = workspace_->runningApplications();
    for (const auto& app : running)
        apps.try_emplace(app.processIdentifier, &app);

    Snapshot snapshot;
    snapshot.reserve(pids.size());
    for (const auto& [pid, comm] : pids) {
        procinfo::ProcTaskAllInfo info;
        if (kernel_->procPidInfo(pid, procinfo::kProcPidTaskAllInfo, 0, &info, sizeof info) !=
            static_cast<int>(sizeof info))
            continue;
        const auto app = apps.find(pid);
        const platform::RunningApplication* owner = app == apps.end() ? nullptr : app->second;
        std::string name;
        if (owner && !owner->localizedName.empty()) name = owner->localizedName;
        if (name.empty()) name = fieldText(info.longName);
        if (name.empty()) name = fieldText(info.shortName);
        if (name.empty()) name = comm;
        if (name.empty()) continue;
        const std::uint64_t total = info.totalUser + info.totalSystem;
        ProcSnap snap{total < info.totalUser ? UINT64_MAX : total, info.residentSize,
                      std::move(name), std::nullopt};
        if (owner && !owner->bundleURL.empty()) snap.bundleURL = owner->bundleURL;
        snapshot.insert_or_assign(pid, std::move(snap));
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
        if (before == previous_.end()) {
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
