#include "platform/linux/LinuxRegistry.h"

#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "sampling/GPUSampler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

const fs::path kFixtures = QUILLFEN_FIXTURES;

RegistryDictionary busy(std::int64_t percent) {
    return RegistryDictionary{{"Device Utilization %", percent},
                              {"Renderer Utilization %", percent}};
}

// The desktop's sysfs with its two GPUs, copied so that a test may change it.
class DesktopGPUs : public ::testing::Test {
protected:
    DesktopGPUs() {
        fs::copy(kFixtures / "machines/desktop-24thread/sys", dir / "sys",
                 fs::copy_options::recursive);
    }
    std::vector<std::unique_ptr<RegistryService>> accelerators(fs::path dataRoot) {
        LinuxRegistry registry(dir / "sys", std::move(dataRoot), [this] {
            ++nvmlLoads;
            return nullptr;
        });
        auto services = registry.servicesMatching("IOAccelerator");
        EXPECT_TRUE(services);
        if (!services) return {};
        return std::move(*services);
    }
    fs::path radeon() const { return dir / "sys/class/drm/card1/device"; }

    TempDir dir;
    int nvmlLoads = 0;
};

TEST_F(DesktopGPUs, OnlyTheCardWithABusySourceIsAnAccelerator) {
    const auto services = accelerators(kFixtures / "share");
    ASSERT_EQ(services.size(), 1u);
    EXPECT_EQ(services[0]->properties(),
              (RegistryDictionary{{"PerformanceStatistics", busy(37)},
                                  {"gpu-core-count", 72},
                                  {"model", std::string("AMD Radeon RX 6800 XT")}}));
    EXPECT_FALSE(services[0]->property("IOName"));
    EXPECT_EQ(nvmlLoads, 0) << "NVML is loaded only for an NVIDIA card";
    EXPECT_EQ(LinuxRegistry(dir / "sys").servicesMatching("IOPCIDevice")->size(), 0u);
}

TEST_F(DesktopGPUs, ASuspendedCardReportsIdleWithoutItsBusyFileBeingReadAndGarbageIsNoFigure) {
    writeText(radeon() / "power/runtime_status", "suspended\n");
    writeText(radeon() / "gpu_busy_percent", "unreadable while asleep\n");
    const auto services = accelerators(kFixtures / "share");
    ASSERT_EQ(services.size(), 1u);
    EXPECT_EQ(services[0]->property("PerformanceStatistics"), RegistryValue(busy(0)));
    writeText(radeon() / "power/runtime_status", "active\n");
    EXPECT_FALSE(services[0]->property("PerformanceStatistics"));
    for (const char* text : {"", "-1\n", "37%\n", "99999999999999999999\n"}) {
        writeText(radeon() / "gpu_busy_percent", text);
        EXPECT_FALSE(services[0]->property("PerformanceStatistics")) << text;
    }
    EXPECT_EQ(services[0]->properties()->at("PerformanceStatistics"),
              RegistryValue(RegistryDictionary{}))
        << "still an accelerator while its figure cannot be read";
}

TEST_F(DesktopGPUs, TheModelFallsBackFromTheBoardToTheNameTablesToTheIDs) {
    writeText(radeon() / "product_name", "Radeon PRO W6800X Duo\n");
    EXPECT_EQ(accelerators(kFixtures / "share")[0]->property("model"),
              RegistryValue(std::string("Radeon PRO W6800X Duo")));
    fs::remove(radeon() / "product_name");
    writeText(radeon() / "revision", "0xc7\n"); // a revision libdrm does not know
    EXPECT_EQ(accelerators(kFixtures / "share")[0]->property("model"),
              RegistryValue(std::string("AMD Navi 21 [Radeon RX 6800/6800 XT / 6900 XT]")));
    EXPECT_EQ(accelerators(dir / "no-tables")[0]->property("model"),
              RegistryValue(std::string("AMD device 73bf")));
    fs::remove(radeon() / "device");
    EXPECT_FALSE(accelerators(dir / "no-tables")[0]->property("model"));
}

TEST_F(DesktopGPUs, TheGPUSamplerReadsTheRadeon) {
    fake::FakePlatform fake;
    fake.platform.registry = std::make_shared<LinuxRegistry>(dir / "sys", kFixtures / "share");
    GPUSampler sampler;
    EXPECT_EQ(sampler.sample(), (GPUReading{0.37, 0.37, 0, 72, "AMD Radeon RX 6800 XT"}));
}

// --- NVIDIA ---------------------------------------------------------------------------------

class FakeNvml final : public Nvml {
public:
    std::optional<Device> deviceByPCIBusID(const std::string& busID) override {
        const auto it = devices.find(busID);
        if (it == devices.end()) return std::nullopt;
        return &it->second;
    }
    std::optional<std::string> name(Device) override { return "NVIDIA GeForce RTX 3080"; }
    std::optional<unsigned> utilizationPercent(Device d) override {
        ++utilizationCalls;
        return static_cast<Gpu*>(d)->busy;
    }
    std::optional<unsigned> coreCount(Device d) override { return static_cast<Gpu*>(d)->cores; }

    struct Gpu {
        std::optional<unsigned> busy;
        std::optional<unsigned> cores;
    };
    std::map<std::string, Gpu> devices;
    int utilizationCalls = 0;
};

class NvidiaGPU : public ::testing::Test {
protected:
    NvidiaGPU() {
        writeText(card / "device/uevent", "DRIVER=nvidia\nPCI_SLOT_NAME=0000:01:00.0\n");
        writeText(card / "device/vendor", "0x10de\n");
        writeText(card / "device/device", "0x2206\n");
        writeText(card / "device/power/runtime_status", "active\n");
        devices["0000:01:00.0"] = {81, 8704};
    }
    // Each load hands out a fresh library holding the devices of the moment.
    LinuxRegistry registry() {
        return LinuxRegistry(dir / "sys", kFixtures / "share", [this]() -> std::shared_ptr<Nvml> {
            ++loads;
            if (!installed) return nullptr;
            auto library = std::make_shared<FakeNvml>();
            library->devices = devices;
            loaded = library;
            return library;
        });
    }

    TempDir dir;
    fs::path card = dir / "sys/class/drm/card0";
    std::map<std::string, FakeNvml::Gpu> devices;
    bool installed = true;
    std::weak_ptr<FakeNvml> loaded;
    int loads = 0;
};

TEST_F(NvidiaGPU, ASuspendedCardIsNotWokenByAQuestion) {
    auto services = *registry().servicesMatching("IOAccelerator");
    writeText(card / "device/power/runtime_status", "suspended\n");
    const int before = loaded.lock()->utilizationCalls;
    EXPECT_EQ(services[0]->property("PerformanceStatistics"), RegistryValue(busy(0)));
    EXPECT_EQ(loaded.lock()->utilizationCalls, before);
}

TEST_F(NvidiaGPU, WithoutTheLibraryOrTheDeviceThereIsNoService) {
    devices.clear();
    EXPECT_EQ(registry().servicesMatching("IOAccelerator")->size(), 0u);
    installed = false;
    EXPECT_EQ(registry().servicesMatching("IOAccelerator")->size(), 0u);
    EXPECT_EQ(loadNvml("libquillfen-no-such-library.so.1"), nullptr);
}

TEST_F(NvidiaGPU, IsAskedThroughOneLibrarySharedByItsServicesAndLetGoWithTheLast) {
    writeText(dir / "sys/class/drm/card1/device/uevent",
              "DRIVER=nvidia\nPCI_SLOT_NAME=0000:02:00.0\n");
    devices["0000:02:00.0"] = {std::nullopt, std::nullopt};
    auto reg = registry();
    {
        auto services = *reg.servicesMatching("IOAccelerator");
        ASSERT_EQ(services.size(), 2u);
        EXPECT_EQ(services[0]->properties(),
                  (RegistryDictionary{{"PerformanceStatistics", busy(81)},
                                      {"gpu-core-count", 8704},
                                      {"model", std::string("NVIDIA GeForce RTX 3080")}}));
        auto again = *reg.servicesMatching("IOAccelerator");
        EXPECT_EQ(loads, 1) << "a library still held is not loaded twice";
        EXPECT_FALSE(services[1]->property("PerformanceStatistics"));
        EXPECT_FALSE(services[1]->property("gpu-core-count"));
        EXPECT_EQ(services[1]->property("model"),
                  RegistryValue(std::string("NVIDIA GeForce RTX 3080")));
        EXPECT_FALSE(loaded.expired());
    }
    EXPECT_TRUE(loaded.expired());
}

TEST(LinuxRegistryBlockStorage, OneServicePerWholePhysicalDiskWithItsByteCounters) {
    LinuxRegistry registry(kFixtures / "machines/desktop-24thread/sys",
                           kFixtures / "machines/desktop-24thread", [] { return nullptr; });
    auto services = registry.servicesMatching("IOBlockStorageDriver");
    ASSERT_TRUE(services);
    std::vector<std::pair<std::int64_t, std::int64_t>> counters;
    for (const auto& s : *services) {
        const auto props = s->properties();
        if (!props) continue; // sdb's stat is garbage
        const auto& stats = *props->at("Statistics").dictionary();
        counters.emplace_back(*stats.at("Bytes (Read)").integerValue(),
                              *stats.at("Bytes (Write)").integerValue());
    }
    // nvme0n1 and sda; not loop0, dm-0, md127, ram0, zram0 or the partitions.
    EXPECT_EQ(services->size(), 3u);
    EXPECT_THAT(counters,
                ::testing::ElementsAre(::testing::Pair(29893762LL * 512, 91422208LL * 512),
                                       ::testing::Pair(1000 * 512, 2000 * 512)));
}

} // namespace
} // namespace quillfen::platform::linux
