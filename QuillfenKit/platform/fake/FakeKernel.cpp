#include "platform/fake/FakeKernel.h"

#include <cerrno>
#include <cstring>

namespace quillfen::platform::fake {

FakeKernel::~FakeKernel() {
    for (const auto& [address, bytes] : outstanding_)
        delete[] address;
}

KernReturn FakeKernel::hostProcessorInfo(int flavor, std::uint32_t& processorCount,
                                         std::uint32_t*& info, std::uint32_t& infoCount) {
    ++hostProcessorInfoCalls;
    if (flavor != cpuload::kProcessorCPULoadInfo) return kKernInvalidArgument;
    if (!perProcessor) return kKernFailure;
    const std::size_t words = perProcessor->size() * cpuload::kStateCount;
    info = new std::uint32_t[words == 0 ? 1 : words];
    if (words > 0) std::memcpy(info, perProcessor->data(), words * sizeof(std::uint32_t));
    outstanding_[info] = words * sizeof(std::uint32_t);
    processorCount =
        claimedProcessorCount.value_or(static_cast<std::uint32_t>(perProcessor->size()));
    infoCount = static_cast<std::uint32_t>(words);
    return kKernSuccess;
}

KernReturn FakeKernel::vmDeallocate(std::uint32_t* address, std::size_t bytes) {
    const auto it = outstanding_.find(address);
    if (it == outstanding_.end() || it->second != bytes) {
        ++badDeallocations;
        return kKernInvalidArgument;
    }
    delete[] it->first;
    outstanding_.erase(it);
    return kKernSuccess;
}

KernReturn FakeKernel::hostStatistics(int flavor, std::uint32_t* info, std::uint32_t& count) {
    ++hostStatisticsCalls;
    if (flavor != cpuload::kHostCPULoadInfo || count < cpuload::kHostCPULoadInfoCount)
        return kKernInvalidArgument;
    if (!host) return kKernFailure;
    std::memcpy(info, host->data(), sizeof(Ticks));
    count = cpuload::kHostCPULoadInfoCount;
    return kKernSuccess;
}

KernReturn FakeKernel::hostStatistics64(int flavor, std::uint32_t* info, std::uint32_t& count) {
    if (flavor != vmstat::kHostVMInfo64 || count < vmstat::kHostVMInfo64Count)
        return kKernInvalidArgument;
    if (!vmStatistics) return kKernFailure;
    std::memcpy(info, &*vmStatistics, sizeof(vmstat::VMStatistics64));
    count = vmstat::kHostVMInfo64Count;
    return kKernSuccess;
}

KernReturn FakeKernel::hostPageSize(std::uint64_t& out) {
    if (!pageSize) return kKernFailure;
    out = *pageSize;
    return kKernSuccess;
}

int FakeKernel::sysctlByName(std::string_view name, void* oldp, std::size_t* oldlenp) {
    const auto it = sysctls.find(name);
    if (it == sysctls.end()) return ENOENT;
    return answerSysctl(it->second, oldp, oldlenp);
}

void FakeKernel::setSysctlString(const std::string& name, std::string_view text) {
    std::string value(text);
    value.push_back('\0');
    sysctls[name] = std::move(value);
}

void FakeKernel::setSysctlInt32(const std::string& name, std::int32_t value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    sysctls[name] = std::move(bytes);
}

} // namespace quillfen::platform::fake
