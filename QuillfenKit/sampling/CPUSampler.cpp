#include "sampling/CPUSampler.h"

#include "platform/CPULoadInfo.h"
#include "platform/Platform.h"

#include <algorithm>

namespace quillfen {
namespace {

namespace cpuload = platform::cpuload;

// The kernel's counters are 32 bits wide and wrap; taking the difference modulo 2^32 keeps
// a wrap between two samples from reading as an enormous step.
std::uint64_t elapsed(std::uint64_t now, std::uint64_t before) {
    return (now - before) & 0xFFFF'FFFFu;
}

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

struct Deltas {
    std::uint64_t user = 0, system = 0, idle = 0, nice = 0;
    std::uint64_t busy() const { return user + system + nice; }
    std::uint64_t total() const { return busy() + idle; }
};

// Fills the machine-wide fractions of `reading` from the summed differences.
void fillOverall(CPUReading& reading, const Deltas& d) {
    const std::uint64_t total = d.total();
    if (total == 0) return;
    const double t = static_cast<double>(total);
    const double user = static_cast<double>(d.user + d.nice) / t;
    const double system = static_cast<double>(d.system) / t;
    reading.user = clamp01(user);
    reading.system = clamp01(system);
    reading.idle = clamp01(static_cast<double>(d.idle) / t);
    reading.overall = clamp01(user + system);
}

} // namespace

CPUSampler::CPUSampler()
    : kernel_(platform::current().kernel) {}

std::optional<std::vector<CPUSampler::CPUTicks>> CPUSampler::readPerCoreTicks() {
    std::uint32_t processorCount = 0;
    std::uint32_t* info = nullptr;
    std::uint32_t infoCount = 0;
    if (kernel_->hostProcessorInfo(cpuload::kProcessorCPULoadInfo, processorCount, info,
                                   infoCount) != platform::kKernSuccess ||
        !info)
        return std::nullopt;
    // The array is ours from here on, whatever happens below.
    struct Release {
        platform::Kernel& kernel;
        std::uint32_t* info;
        std::uint32_t words;
        ~Release() { kernel.vmDeallocate(info, std::size_t{words} * sizeof(std::uint32_t)); }
    } release{*kernel_, info, infoCount};

    // An array shorter than the processors it claims to describe is not read past its end.
    if (std::uint64_t{processorCount} * cpuload::kStateCount > infoCount) return std::nullopt;
    std::vector<CPUTicks> ticks(processorCount);
    for (std::uint32_t i = 0; i < processorCount; ++i) {
        const std::uint32_t* record = info + std::size_t{i} * cpuload::kStateCount;
        ticks[i] = CPUTicks{record[cpuload::kStateUser], record[cpuload::kStateSystem],
                            record[cpuload::kStateIdle], record[cpuload::kStateNice]};
    }
    return ticks;
}

std::optional<CPUSampler::CPUTicks> CPUSampler::readAggregateTicks() {
    std::uint32_t counters[cpuload::kHostCPULoadInfoCount] = {};
    std::uint32_t count = cpuload::kHostCPULoadInfoCount;
    if (kernel_->hostStatistics(cpuload::kHostCPULoadInfo, counters, count) !=
        platform::kKernSuccess)
        return std::nullopt;
    return CPUTicks{counters[cpuload::kStateUser], counters[cpuload::kStateSystem],
                    counters[cpuload::kStateIdle], counters[cpuload::kStateNice]};
}

std::optional<CPUReading> CPUSampler::sample() {
    auto ticks = readPerCoreTicks();
    if (!ticks) return std::nullopt;

    std::optional<CPUReading> reading;
    if (!ticks->empty() && ticks->size() == previousPerCore_.size()) {
        reading.emplace();
        reading->perCore.reserve(ticks->size());
        Deltas sum;
        for (std::size_t i = 0; i < ticks->size(); ++i) {
            const CPUTicks& now = (*ticks)[i];
            const CPUTicks& before = previousPerCore_[i];
            const Deltas d{elapsed(now.user, before.user), elapsed(now.system, before.system),
                           elapsed(now.idle, before.idle), elapsed(now.nice, before.nice)};
            const std::uint64_t total = d.total();
            reading->perCore.push_back(
                total == 0 ? 0.0
                           : clamp01(static_cast<double>(d.busy()) / static_cast<double>(total)));
            sum.user += d.user;
            sum.system += d.system;
            sum.idle += d.idle;
            sum.nice += d.nice;
        }
        fillOverall(*reading, sum);
    }
    previousPerCore_ = std::move(*ticks);
    return reading;
}

std::optional<CPUReading> CPUSampler::sampleOverallOnly() {
    const auto ticks = readAggregateTicks();
    if (!ticks) return std::nullopt;

    std::optional<CPUReading> reading;
    if (previousAggregate_) {
        const CPUTicks& before = *previousAggregate_;
        reading.emplace();
        fillOverall(*reading,
                    Deltas{elapsed(ticks->user, before.user), elapsed(ticks->system, before.system),
                           elapsed(ticks->idle, before.idle), elapsed(ticks->nice, before.nice)});
    }
    previousAggregate_ = *ticks;
    return reading;
}

} // namespace quillfen
