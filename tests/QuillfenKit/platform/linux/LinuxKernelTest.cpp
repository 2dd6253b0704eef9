#include "platform/linux/LinuxKernel.h"

#include "Table.h"
#include "TempDir.h"
#include "platform/CPULoadInfo.h"
#include "platform/VMStatistics64.h"
#include "platform/fake/FakePlatform.h"
#include "sampling/CPUSampler.h"
#include "sampling/CPUTopology.h"
#include "sampling/MemorySampler.h"
#include "sampling/PCBListWalker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;
using ::testing::ElementsAre;
using Ticks = std::array<std::uint32_t, 4>; // user, system, idle, nice

const fs::path kMachines = fs::path(QUILLFEN_FIXTURES) / "machines";

std::optional<std::vector<Ticks>> perProcessor(Kernel& kernel) {
    std::uint32_t count = 0, words = 0;
    std::uint32_t* info = nullptr;
    if (kernel.hostProcessorInfo(cpuload::kProcessorCPULoadInfo, count, info, words) !=
        kKernSuccess)
        return std::nullopt;
    std::vector<Ticks> out(count);
    std::memcpy(out.data(), info, std::size_t{count} * sizeof(Ticks));
    EXPECT_EQ(words, count * 4);
    kernel.vmDeallocate(info, std::size_t{words} * 4);
    return out;
}

std::optional<Ticks> host(Kernel& kernel) {
    Ticks t{};
    std::uint32_t count = 4;
    if (kernel.hostStatistics(cpuload::kHostCPULoadInfo, t.data(), count) != kKernSuccess)
        return std::nullopt;
    return t;
}

std::optional<vmstat::VMStatistics64> vmStatistics(Kernel& kernel) {
    std::uint32_t words[vmstat::kHostVMInfo64Count] = {};
    std::uint32_t count = vmstat::kHostVMInfo64Count;
    if (kernel.hostStatistics64(vmstat::kHostVMInfo64, words, count) != kKernSuccess)
        return std::nullopt;
    vmstat::VMStatistics64 vm;
    std::memcpy(&vm, words, sizeof vm);
    return vm;
}

// VM statistics in pages: free, inactive, wired, internal, compressor.
using Pages = std::array<std::uint32_t, 5>;
std::optional<Pages> pages(Kernel& kernel) {
    const auto vm = vmStatistics(kernel);
    if (!vm) return std::nullopt;
    return Pages{vm->freeCount, vm->inactiveCount, vm->wireCount, vm->internalPageCount,
                 vm->compressorPageCount};
}

// A machine's fixture copied where a test may change it; `stat` starts as the earlier of
// the machine's two captures.
class MachineCopy {
public:
    explicit MachineCopy(const std::string& machine) {
        fs::copy(kMachines / machine, dir.path(), fs::copy_options::recursive);
    }
    fs::path proc() const { return dir / "proc"; }
    fs::path sys() const { return dir / "sys"; }

private:
    TempDir dir;
};

// --- What each captured machine yields ------------------------------------------------------

struct MachineCase : quillfen::testing::Row {
    std::uint64_t pageSize;
    std::size_t processors;
    Ticks firstCPU;
    Ticks host;
    std::vector<double> perCore; // over the interval between the two captures
    double user, system, idle;
    Pages pages;
    std::uint64_t physicalMemory;
    CPUTopology topology;
};

class CapturedMachine : public ::testing::TestWithParam<MachineCase> {
protected:
    CapturedMachine() { fake.platform.kernel = std::make_shared<LinuxKernel>(kernel); }

    MachineCopy machine{GetParam().name};
    LinuxKernel kernel{machine.proc(), machine.sys(), GetParam().pageSize};
    fake::FakePlatform fake;
};

TEST_P(CapturedMachine, CountersPagesAndTopologyAreTheMachines) {
    const auto& c = GetParam();
    const auto cpus = perProcessor(kernel);
    ASSERT_TRUE(cpus);
    ASSERT_EQ(cpus->size(), c.processors);
    EXPECT_EQ(cpus->front(), c.firstCPU);
    EXPECT_EQ(host(kernel), c.host);

    EXPECT_EQ(pages(kernel), c.pages);
    EXPECT_EQ(vmStatistics(kernel)->purgeableCount + vmStatistics(kernel)->speculativeCount, 0u);
    std::uint64_t pageSize = 0;
    EXPECT_EQ(kernel.hostPageSize(pageSize), kKernSuccess);
    EXPECT_EQ(pageSize, c.pageSize);
    EXPECT_EQ(kernel.physicalMemory(), c.physicalMemory);
    EXPECT_EQ(CPUTopology::read(), c.topology);
}

TEST_P(CapturedMachine, TheSamplerReadsTheLoadBetweenTheTwoCaptures) {
    const auto& c = GetParam();
    CPUSampler sampler;
    ASSERT_FALSE(sampler.sample());
    ASSERT_FALSE(sampler.sampleOverallOnly()) << "the full sample does not prime the other";
    fs::copy_file(machine.proc() / "stat.next", machine.proc() / "stat",
                  fs::copy_options::overwrite_existing);
    const auto full = sampler.sample();
    const auto overall = sampler.sampleOverallOnly();
    ASSERT_TRUE(full && overall);
    EXPECT_THAT(full->perCore, ::testing::Pointwise(::testing::DoubleNear(1e-6), c.perCore));
    for (const auto& r : {*full, *overall}) {
        EXPECT_NEAR(r.user, c.user, 1e-12);
        EXPECT_NEAR(r.system, c.system, 1e-12);
        EXPECT_NEAR(r.idle, c.idle, 1e-12);
        EXPECT_NEAR(r.overall, c.user + c.system, 1e-12);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fixtures, CapturedMachine, ::testing::Values(
    // A two-processor virtual machine whose host steals time; zswap holds pages.
    MachineCase{"vm-2core", 4096, 2, {921002, 327128, 24162805, 590}, {1843251, 644124, 48329906, 1204},
                {0.56, 0.34}, 0.32, 0.13, 0.55, {78112, 459693, 35731, 253086, 15305},
                4026324ull * 1024, {"Intel Xeon Processor (Icelake)", 2, 0, 2}},
    // Apple M1 under Linux: 16 KiB pages, zram, no model name, four cores of each capacity.
    MachineCase{"laptop-8core", 16384, 8, {234890, 145123, 6367503, 617},
                {3567978, 1311455, 46058942, 10208}, {0.71, 0.41, 0.14, 0.42, 0.58, 0.25, 0.33, 0.69},
                0.31875, 0.1225, 0.55875, {144912, 368296, 40576, 314368, 38528},
                15946624ull * 1024, {"apple,t8103", 4, 4, 8}},
    // Intel i9-12900K: eight two-thread performance cores, eight efficiency cores; it runs
    // guests, whose time is part of user time (and nice).
    MachineCase{"desktop-24thread", 4096, 24, {3526967, 617870, 28653611, 2398},
                {90914709, 18300055, 597829498, 263725},
                {0.59, 0.61, 0.52, 0.46, 0.67, 0.34, 0.22, 0.3, 0.59, 0.16, 0.29, 0.73,
                 0.48, 0.72, 0.35, 0.22, 0.18, 0.4, 0.35, 0.72, 0.23, 0.32, 0.42, 0.43},
                (789.0 + 36) / 2400, 205.0 / 2400, 1370.0 / 2400,
                {9531928, 4221129, 183359, 1854553, 0}, 65657460ull * 1024,
                {"12th Gen Intel(R) Core(TM) i9-12900K", 8, 8, 24}}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });
// clang-format on

// --- Counters over time ---------------------------------------------------------------------

class LinuxKernelStat : public ::testing::Test {
protected:
    void writeStat(std::string_view text) const { writeText(dir / "proc" / "stat", text); }
    // One processor, counted alike by the aggregate line and cpu0: both readings must agree.
    std::optional<Ticks> single(const std::string& fields) {
        writeStat("cpu  " + fields + "\ncpu0 " + fields + "\n");
        const auto all = host(kernel);
        EXPECT_EQ(perProcessor(kernel), std::optional(std::vector{all.value_or(Ticks{})}));
        return all;
    }
    TempDir dir;
    LinuxKernel kernel{dir / "proc", dir / "sys", 4096};
};
using LinuxKernelMemory = LinuxKernelStat; // the kernel reads its tree only when asked

TEST_F(LinuxKernelStat, ACounterThatStepsBackIsHeldAtItsPreviousValue) {
    EXPECT_EQ(single("100 0 100 100 50 0 0 0 0 0"), (Ticks{100, 100, 150, 0}));
    // iowait fell by 40 while idle rose by 10: idle as a whole fell and is held.
    EXPECT_EQ(single("90 0 120 110 10 0 0 0 0 0"), (Ticks{100, 120, 150, 0}));
    EXPECT_EQ(single("130 0 120 200 10 0 0 0 0 0"), (Ticks{130, 120, 210, 0}));
}

TEST_F(LinuxKernelStat, OfflineProcessorsKeepTheirPlaceAndTheirLastCounters) {
    writeText(dir / "sys/devices/system/cpu/present", "0-3\n");
    writeStat("cpu  0 0 0 0\ncpu0 1 0 0 10\ncpu1 2 0 0 20\ncpu2 3 0 0 30\n");
    EXPECT_THAT(*perProcessor(kernel), ElementsAre(Ticks{1, 0, 10, 0}, Ticks{2, 0, 20, 0},
                                                   Ticks{3, 0, 30, 0}, Ticks{0, 0, 0, 0}));
    writeStat("cpu  0 0 0 0\ncpu0 5 0 0 15\ncpu3 4 0 0 40\n");
    EXPECT_THAT(*perProcessor(kernel), ElementsAre(Ticks{5, 0, 15, 0}, Ticks{2, 0, 20, 0},
                                                   Ticks{3, 0, 30, 0}, Ticks{4, 0, 40, 0}));
}

TEST_F(LinuxKernelStat, CountersKeepTheirLow32BitsAndSumsSaturate) {
    EXPECT_EQ(single("4294967396 0 18446744073709551615 0 0 0 1 0 0 0"),
              (Ticks{100, 0xFFFF'FFFFu, 0, 0}));
}

struct MalformedCase : quillfen::testing::Row {
    const char* stat;
    bool hostReadable;
    bool perProcessorReadable;
};

class MalformedStat : public LinuxKernelStat,
                      public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedStat, IsRefusedRatherThanMisread) {
    writeStat(GetParam().stat);
    EXPECT_EQ(host(kernel).has_value(), GetParam().hostReadable);
    EXPECT_EQ(perProcessor(kernel).has_value(), GetParam().perProcessorReadable);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedStat,
    ::testing::Values(
        MalformedCase{"TooFewFields", "cpu  1 2 3\ncpu0 1 2 3\n", false, false},
        MalformedCase{"Overflow", "cpu  1 2 3 18446744073709551616\ncpu0 1 2 3 4\n", false, true},
        MalformedCase{"NotANumber", "cpu  1 2 3 4x\ncpu0 1 2 3 4\ncpu1 1 2 3 4e\n", false, false},
        MalformedCase{"HugeProcessorNumber", "cpu  1 2 3 4\ncpu4294967295 1 2 3 4\n", true, false},
        MalformedCase{"AggregateNotFirst", "cpu0 1 2 3 4\ncpu  1 2 3 4\n", false, true}),
    ::testing::PrintToStringParamName());

// --- Memory ---------------------------------------------------------------------------------

TEST_F(LinuxKernelMemory, MissingMeminfoFailsAndMissingOrMalformedLinesCountAsZero) {
    EXPECT_FALSE(vmStatistics(kernel));
    writeText(dir / "proc/meminfo", "MemTotal: 8192 kB\nInactive(file): x kB\n");
    EXPECT_FALSE(vmStatistics(kernel)) << "no MemFree: not meminfo";
    writeText(dir / "proc/meminfo", "MemTotal: 8192 kB\nMemFree: 4096 kB\nMemAvailable: 6144 kB\n"
                                    "Active(anon): x kB\nInactive(anon): 40 kB\n");
    writeText(dir / "sys/block/zram0/mm_stat", "1 2 garbage\n");
    writeText(dir / "sys/block/zram1/mm_stat", "9 9 8192 0\n");
    writeText(dir / "sys/block/loop0/mm_stat", "9 9 8192 0\n");
    EXPECT_EQ(pages(kernel), (Pages{1024, 512, 0, 10, 2})) << "compressed: zram1 only";
    EXPECT_EQ(kernel.physicalMemory(), 8192u * 1024);
}

// How meminfo's counters become the memory reading. `meminfo` is in kB, with 4 KiB pages; the
// expected figures are in kB too.
struct MeminfoCase : quillfen::testing::Row {
    const char* meminfo;
    std::uint64_t app, wired, compressed, available;
};

class MeminfoMapping : public ::testing::TestWithParam<MeminfoCase> {};

TEST_P(MeminfoMapping, AvailableIsTheKernelsEstimateAndNoPageIsUsedTwice) {
    const auto& c = GetParam();
    TempDir dir;
    writeText(dir / "proc/meminfo", c.meminfo);
    fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<LinuxKernel>(dir / "proc", dir / "sys", 4096);
    const auto r = MemorySampler().sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(std::tuple(r->app / 1024, r->wired / 1024, r->compressed / 1024, r->available / 1024),
              std::tuple(c.app, c.wired, c.compressed, c.available));
    EXPECT_LE(r->used() + r->available, r->total);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, MeminfoMapping, ::testing::Values(
    // A 1 GiB file read three times: most of the cache is on the active list, all of it
    // can be dropped, and the kernel counts it as available.
    MeminfoCase{"PageCacheIsAvailable",
                "MemTotal: 4026324 kB\nMemFree: 312448 kB\nMemAvailable: 2151220 kB\n"
                "Active(anon): 610228 kB\nInactive(anon): 402116 kB\n"
                "Active(file): 1110112 kB\nInactive(file): 1083396 kB\n"
                "AnonPages: 976208 kB\nShmem: 36136 kB\nSReclaimable: 142216 kB\n",
                1012344, 0, 0, 2151220},
    // 200 MB of a process's memory locked: on the unevictable list, which is wired, and
    // still in AnonPages, but no longer on the anonymous lists.
    MeminfoCase{"MlockedAnonymousPagesCountOnce",
                "MemTotal: 8388608 kB\nMemFree: 2097152 kB\nMemAvailable: 4194304 kB\n"
                "Active(anon): 2000000 kB\nInactive(anon): 800000 kB\n"
                "Unevictable: 204800 kB\nMlocked: 204800 kB\n"
                "AnonPages: 2804800 kB\nShmem: 200000 kB\n"
                "SUnreclaim: 100000 kB\nKernelStack: 20000 kB\nPageTables: 30000 kB\n"
                "Zswap: 50000 kB\n",
                2800000, 354800, 50000, 4194304},
    // High watermarks on a small machine: the kernel keeps back more than the cache adds,
    // and available is less than free.
    MeminfoCase{"AvailableBelowFreeIsStillTheEstimate",
                "MemTotal: 1048576 kB\nMemFree: 300000 kB\nMemAvailable: 280000 kB\n"
                "Active(anon): 500000 kB\nInactive(file): 1000 kB\n",
                500000, 0, 0, 280000},
    // A kernel before 3.14 gives no estimate; free memory, file cache and reclaimable slab.
    MeminfoCase{"AnOldKernelsAvailableIsEstimated",
                "MemTotal: 1048576 kB\nMemFree: 100000 kB\nActive(file): 200000 kB\n"
                "Inactive(file): 300000 kB\nSReclaimable: 50000 kB\nActive(anon): 200000 kB\n",
                200000, 0, 0, 650000},
    // Counters read a moment apart (or made up) that add up to more than the machine has:
    // the anonymous lists get what wired and compressed memory leave.
    MeminfoCase{"CountersThatOvershootAreCutToTheUnavailableMemory",
                "MemTotal: 1048576 kB\nMemFree: 100000 kB\nMemAvailable: 400000 kB\n"
                "Active(anon): 900000 kB\nUnevictable: 500000 kB\nZswap: 100000 kB\n",
                48576, 500000, 100000, 400000},
    MeminfoCase{"AnEstimateAboveTheTotalIsTheTotal",
                "MemTotal: 1048576 kB\nMemFree: 2000000 kB\nMemAvailable: 18446744073709551615 kB\n"
                "Active(anon): 900000 kB\nUnevictable: 500000 kB\n",
                0, 0, 0, 1048576},
    // Values are not always whole pages (or in kB): each is counted in whole pages.
    MeminfoCase{"PartPagesAreLeftOut",
                "MemTotal: 1048578 kB\nMemFree: 4097 kB\nMemAvailable: 8195 kB\n"
                "Active(anon): 4000000\n",
                3904, 0, 0, 8192}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST_F(LinuxKernelMemory, ZramDevicesAreFoundAgainWhenOneGoesAndEveryThirtyTwoReads) {
    writeText(dir / "proc/meminfo", "MemTotal: 65536 kB\nMemFree: 0 kB\nMemAvailable: 0 kB\n");
    writeText(dir / "sys/block/zram0/mm_stat", "0 0 4096 0\n");
    const auto compressed = [&] { return vmStatistics(kernel)->compressorPageCount; };
    EXPECT_EQ(compressed(), 1u);
    writeText(dir / "sys/block/zram1/mm_stat", "0 0 8192 0\n");
    for (int read = 2; read <= 32; ++read)
        ASSERT_EQ(compressed(), 1u) << read;
    EXPECT_EQ(compressed(), 3u);
    fs::remove_all(dir / "sys/block/zram0");
    writeText(dir / "sys/block/zram2/mm_stat", "0 0 4096 0\n");
    EXPECT_EQ(compressed(), 2u) << "zram1 alone: zram0 has gone";
    EXPECT_EQ(compressed(), 3u) << "looked up again";
}

// --- sysctl ---------------------------------------------------------------------------------

TEST(LinuxKernelSysctl, SizeQueriesAndShortBuffersBehaveAsTheKernelDoes) {
    MachineCopy machine("vm-2core");
    LinuxKernel kernel(machine.proc(), machine.sys(), 4096);
    std::size_t size = 0;
    ASSERT_EQ(kernel.sysctlByName("machdep.cpu.brand_string", nullptr, &size), 0);
    EXPECT_EQ(size, sizeof "Intel Xeon Processor (Icelake)");
    char small[5] = {};
    size = sizeof small;
    EXPECT_EQ(kernel.sysctlByName("machdep.cpu.brand_string", small, &size), ENOMEM);
    EXPECT_EQ(std::string(small, size), "Intel");

    std::uint64_t value = ~0ull;
    size = sizeof value;
    ASSERT_EQ(kernel.sysctlByName("hw.ncpu", &value, &size), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value & 0xFFFF'FFFFu, 2u);
    EXPECT_EQ(kernel.sysctlByName("hw.nperflevels", &value, &size), ENOENT);
    EXPECT_EQ(kernel.sysctlByName("kern.nonexistent", nullptr, &size), ENOENT);
}

// --- This machine ---------------------------------------------------------------------------

TEST(LinuxKernelSmoke, RealProcGivesOneFractionPerOnlineProcessor) {
    fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<LinuxKernel>("/proc", "/sys");
    CPUSampler sampler;
    ASSERT_FALSE(sampler.sample());
    const auto r = sampler.sample();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->perCore.size(), static_cast<std::size_t>(::sysconf(_SC_NPROCESSORS_ONLN)));
    for (const double v : r->perCore) {
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
    EXPECT_LE(r->overall, 1.0);

    MemorySampler memory;
    const auto m = memory.sample();
    ASSERT_TRUE(m);
    EXPECT_GT(m->total, 0u);
    EXPECT_GT(m->available, 0u);
    EXPECT_GT(m->usedRatio(), 0.0);
    EXPECT_LT(m->usedRatio(), 1.0);
}

// The named control-block list as the kernel answers it: size first, then the list.
std::vector<std::uint8_t> pcbList(LinuxKernel& kernel, const char* name) {
    std::size_t size = 0;
    EXPECT_EQ(kernel.sysctlByName(name, nullptr, &size), 0);
    std::vector<std::uint8_t> buffer(size);
    EXPECT_EQ(kernel.sysctlByName(name, buffer.data(), &size), 0);
    buffer.resize(size);
    return buffer;
}

TEST(LinuxKernelPCBLists, TheTCPListCarriesThePhysicalInterfacesAndUDPOnlyHeaders) {
    LinuxKernel kernel(kMachines / "desktop-24thread/proc", kMachines / "desktop-24thread/sys");
    const auto tcp = pcbList(kernel, "net.inet.tcp.pcblist_n");
    EXPECT_EQ(tcp.size(), 24 + 2 * 136 + 24u); // enp5s0 and wlp4s0
    EXPECT_EQ(walkPCBList(tcp.data(), tcp.size()),
              (PCBTraffic{58231764512ULL + 1200000, 4123456789ULL + 340000}));
    const auto udp = pcbList(kernel, "net.inet.udp.pcblist_n");
    EXPECT_EQ(udp.size(), 48u);
    EXPECT_EQ(walkPCBList(udp.data(), udp.size()), (PCBTraffic{0, 0}));

    // A buffer too small gets what fits and an error, as the kernel answers.
    std::vector<std::uint8_t> small(100);
    std::size_t length = small.size();
    EXPECT_EQ(kernel.sysctlByName("net.inet.tcp.pcblist_n", small.data(), &length), ENOMEM);
}

TEST(LinuxKernelPCBLists, TheSizeAnsweredFitsHoweverManyInterfacesThereAre) {
    // Twelve adapters at once (virtual functions of one card): the size query must not guess.
    TempDir dir;
    std::string netdev = "Inter-| Receive | Transmit\n face |bytes packets|bytes packets\n";
    for (int i = 0; i < 12; ++i) {
        const std::string name = "ens" + std::to_string(i);
        netdev += name + ": 1000 1 0 0 0 0 0 0 2000 1 0 0 0 0 0 0\n";
        writeText(dir / "sys/class/net" / name / "device/vendor", "0x15b3\n");
    }
    writeText(dir / "proc/net/dev", netdev);
    LinuxKernel kernel(dir / "proc", dir / "sys");
    const auto tcp = pcbList(kernel, "net.inet.tcp.pcblist_n");
    EXPECT_EQ(walkPCBList(tcp.data(), tcp.size()), (PCBTraffic{12000, 24000}));
}

} // namespace
} // namespace quillfen::platform::linux
