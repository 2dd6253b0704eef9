#include "platform/fake/FakeKernel.h"

#include "platform/KinfoProc.h"
#include "platform/ProcTaskAllInfo.h"

#include <algorithm>
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

int FakeKernel::sysctl(const int* name, unsigned nameLength, void* oldp, std::size_t* oldlenp) {
    if (nameLength == 2 && name[0] == kCtlKern && name[1] == boottime::kKernBoottime) {
        if (!bootTime) return ENOENT;
        return answerSysctl(
            std::string_view(reinterpret_cast<const char*>(&*bootTime), sizeof(boottime::Timeval)),
            oldp, oldlenp);
    }
    if (nameLength != 3 || name[0] != kCtlKern || name[1] != kinfo::kKernProc ||
        name[2] != kinfo::kKernProcAll)
        return ENOENT;
    if (!processes) return EPERM;
    if (oldp) ++processTableReads;
    std::string table(processes->size() * sizeof(kinfo::KinfoProc), '\0');
    for (std::size_t i = 0; i < processes->size(); ++i) {
        kinfo::KinfoProc record{};
        record.pid = (*processes)[i].pid;
        const auto& comm = (*processes)[i].comm;
        std::memcpy(record.comm, comm.data(), std::min(comm.size(), sizeof record.comm));
        std::memcpy(table.data() + i * sizeof record, &record, sizeof record);
    }
    const int result = answerSysctl(table, oldp, oldlenp);
    if (!oldp && afterProcessTableSizeQuery) afterProcessTableSizeQuery();
    return result;
}

int FakeKernel::procPidInfo(int pid, int flavor, std::uint64_t, void* buffer, int bufferSize) {
    if (flavor != procinfo::kProcPidTaskAllInfo || !processes ||
        bufferSize < static_cast<int>(sizeof(procinfo::ProcTaskAllInfo)))
        return 0;
    const auto it = std::find_if(processes->begin(), processes->end(),
                                 [&](const Process& p) { return p.pid == pid; });
    if (it == processes->end() || !it->inspectable) return 0;
    procinfo::ProcTaskAllInfo info{};
    std::memcpy(info.shortName, it->shortName.data(),
                std::min(it->shortName.size(), sizeof info.shortName - 1));
    std::memcpy(info.longName, it->longName.data(),
                std::min(it->longName.size(), sizeof info.longName - 1));
    info.residentSize = it->residentSize;
    info.totalUser = it->userTime;
    info.totalSystem = it->systemTime;
    info.startSeconds = it->startSeconds;
    info.startMicroseconds = it->startMicroseconds;
    std::memcpy(buffer, &info, sizeof info);
    return sizeof info;
}

KernReturn FakeKernel::timebaseInfo(std::uint32_t& numer, std::uint32_t& denom) {
    numer = timebaseNumer;
    denom = timebaseDenom;
    return kKernSuccess;
}

int FakeKernel::loadAverage(double* samples, int count) {
    if (!loadAverages) return -1;
    const int n = std::clamp(count, 0, 3);
    std::copy_n(loadAverages->begin(), n, samples);
    return n;
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
