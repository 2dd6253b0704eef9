#include "platform/linux/MachineIdentity.h"

#include "Table.h"
#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxKernel.h"
#include "platform/linux/LinuxRegistry.h"
#include "sampling/SystemInfo.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

namespace quillfen::platform::linux {
namespace {

namespace fs = std::filesystem;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

struct FirmwareCase : quillfen::testing::Row {
    std::vector<std::pair<const char*, const char*>> dmi; // file, contents
    std::optional<std::string> marketingName;
    std::optional<std::string> modelIdentifier; // nothing: the processor architecture
};

class Firmware : public ::testing::TestWithParam<FirmwareCase> {
protected:
    Firmware() {
        for (const auto& [file, text] : GetParam().dmi)
            writeText(dir / "sys/class/dmi/id" / file, std::string(text) + "\n");
        fake.platform.kernel = std::make_shared<LinuxKernel>(dir / "proc", dir / "sys", 4096);
        fake.platform.registry = std::make_shared<LinuxRegistry>(dir / "sys");
    }
    TempDir dir;
    fake::FakePlatform fake;
};

TEST_P(Firmware, NamesTheMachineWithoutPlaceholders) {
    EXPECT_EQ(SystemInfo::marketingName(), GetParam().marketingName);
    utsname names{};
    ::uname(&names);
    EXPECT_EQ(SystemInfo::modelIdentifier(), GetParam().modelIdentifier.value_or(names.machine));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Firmware, ::testing::Values(
    FirmwareCase{"LenovoNamesItInTheVersion", {{"sys_vendor", "LENOVO"}, {"product_name", "20XW0055GE"},
                 {"product_version", "ThinkPad X1 Carbon Gen 9"}},
                 "Lenovo ThinkPad X1 Carbon Gen 9", "20XW0055GE"},
    FirmwareCase{"OthersNameItInTheProduct", {{"sys_vendor", "Dell Inc."}, {"product_name", "XPS 13 9310"},
                 {"product_version", "Not Specified"}}, "Dell XPS 13 9310", "XPS 13 9310"},
    FirmwareCase{"TheVendorIsNotRepeated", {{"sys_vendor", "HP"}, {"product_name", "HP EliteBook 840 G8"}},
                 "HP EliteBook 840 G8", "HP EliteBook 840 G8"},
    FirmwareCase{"ASelfBuiltMachineIsItsBoard", {{"sys_vendor", "System manufacturer"},
                 {"product_name", "System Product Name"}, {"product_version", "System Version"},
                 {"board_vendor", "ASUSTeK COMPUTER INC."}, {"board_name", "ROG STRIX B550-F GAMING"}},
                 "ASUS ROG STRIX B550-F GAMING", "ROG STRIX B550-F GAMING"},
    FirmwareCase{"NothingFilledIn", {{"sys_vendor", "To Be Filled By O.E.M."},
                 {"product_name", "To be filled by O.E.M."}, {"board_name", "Default string"}},
                 std::nullopt, std::nullopt}),
    ::testing::PrintToStringParamName());
// clang-format on

TEST(DeviceTree, ItsModelIsHandedOverAsPaddedBytes) {
    fake::FakePlatform fake;
    const fs::path sys = fs::path(QUILLFEN_FIXTURES) / "machines/laptop-8core/sys";
    fake.platform.kernel = std::make_shared<LinuxKernel>("/nonexistent", sys, 16384);
    fake.platform.registry = std::make_shared<LinuxRegistry>(sys);
    const auto product = fake.platform.registry->entryFromPath("IODeviceTree:/product");
    const auto name = product ? product->property("product-name") : std::nullopt;
    const auto* bytes = name ? std::get_if<RegistryBytes>(&name->variant()) : nullptr;
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->back(), 0);
    EXPECT_EQ(SystemInfo::marketingName(), "Apple MacBook Air (M1, 2020)");
    EXPECT_EQ(SystemInfo::machineName(), "Apple MacBook Air");
    EXPECT_EQ(SystemInfo::modelIdentifier(), "Apple MacBook Air (M1, 2020)");
    EXPECT_FALSE(fake.platform.registry->entryFromPath("IODeviceTree:/chosen"));
}

TEST(OperatingSystem, TheVersionComesFromOSReleaseElseTheKernel) {
    TempDir dir;
    writeText(dir / "proc/sys/kernel/osrelease", "6.1.0-18-amd64\n");
    const auto versionWith = [&](const std::string& osRelease) {
        writeText(dir / "os-release", osRelease);
        fake::FakePlatform fake;
        fake.platform.kernel = std::make_shared<LinuxKernel>(
            dir / "proc", dir / "sys", 4096,
            std::vector<fs::path>{dir / "missing", dir / "os-release", dir / "later"});
        return SystemInfo::osVersionString();
    };
    writeText(dir / "later", "VERSION_ID=99\n");
    EXPECT_EQ(versionWith("NAME=\"Ubuntu\"\nVERSION_ID=\"22.04\"\n"), "22.04");
    EXPECT_EQ(versionWith("VERSION_ID=12\n"), "12.0");
    EXPECT_EQ(versionWith("NAME=Arch Linux\nBUILD_ID=rolling\n"), "6.1") << "the kernel's";
    EXPECT_EQ(versionWith("VERSION_ID=\"rolling\"\n"), "6.1");
    EXPECT_EQ(versionWith("VERSION_ID=99999999999999999999\n"), "6.1");
}

TEST(SystemFigures, BootTimeSwapAndLoadComeFromProc) {
    TempDir dir;
    writeText(dir / "proc/stat", "cpu  1 2 3 4\nintr 5\nbtime 1700000000\nprocesses 9\n");
    writeText(dir / "proc/meminfo",
              "MemTotal: 8192 kB\nMemFree: 1024 kB\nSwapTotal: 2048 kB\nSwapFree: 512 kB\n");
    writeText(dir / "proc/loadavg", "0.52 1.50 2.25 3/1234 5678\n");
    fake::FakePlatform fake;
    fake.platform.kernel = std::make_shared<LinuxKernel>(dir / "proc", dir / "sys", 4096);
    fake.clock->setNow(1700000000 + 3 * 3600 + 125.5);
    EXPECT_DOUBLE_EQ(SystemInfo::uptimeSeconds(), 3 * 3600 + 125.5);
    EXPECT_EQ(SystemInfo::swapUsage(), (SystemInfo::SwapUsage{1536 * 1024, 2048 * 1024}));
    EXPECT_EQ(SystemInfo::loadAverage(), (SystemInfo::LoadAverage{0.52, 1.5, 2.25}));

    for (const char* malformed : {"0.52 1.50\n", "0.5 nan 1\n", "0.5 -1 2\n", "1e999 1 1\n"}) {
        writeText(dir / "proc/loadavg", malformed);
        EXPECT_EQ(SystemInfo::loadAverage(), SystemInfo::LoadAverage{}) << malformed;
    }
    writeText(dir / "proc/stat", "cpu  1 2 3 4\nbtime -5\n");
    EXPECT_EQ(SystemInfo::uptimeSeconds(), 0);
    writeText(dir / "proc/meminfo", "MemFree: 1024 kB\nSwapTotal: 1 kB\nSwapFree: 4 kB\n");
    EXPECT_EQ(SystemInfo::swapUsage(), (SystemInfo::SwapUsage{0, 1024}))
        << "more free than there is: none used";
}

} // namespace
} // namespace quillfen::platform::linux
