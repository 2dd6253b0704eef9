#include "sampling/SystemInfo.h"

#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::RegistryBytes;
using platform::RegistryValue;

class SystemInfoTest : public ::testing::Test {
protected:
    void product(RegistryValue name) {
        fake.registry->addEntry("IODeviceTree:/product",
                                platform::RegistryDictionary{{"product-name", std::move(name)}});
    }
    static RegistryBytes bytes(std::string_view text) {
        return RegistryBytes(text.begin(), text.end());
    }

    platform::fake::FakePlatform fake;
};

TEST_F(SystemInfoTest, TheMarketingNameIsTheProductNameWithoutItsPadding) {
    EXPECT_EQ(SystemInfo::marketingName(), std::nullopt) << "no product entry";
    product(bytes(std::string_view("MacBook Pro (14-inch, 2021)\0\0\0", 30)));
    EXPECT_EQ(SystemInfo::marketingName(), "MacBook Pro (14-inch, 2021)");
    product(std::string(" \n Mac mini\t"));
    EXPECT_EQ(SystemInfo::marketingName(), "Mac mini");
    product(bytes("Mac\xff Pro"));
    EXPECT_EQ(SystemInfo::marketingName(), "Mac\xEF\xBF\xBD Pro") << "invalid UTF-8 replaced";
    for (const RegistryValue& nothing :
         {RegistryValue(bytes(std::string_view("\0 \0", 3))), RegistryValue(std::int64_t{7})}) {
        product(nothing);
        EXPECT_EQ(SystemInfo::marketingName(), std::nullopt);
    }
}

TEST_F(SystemInfoTest, TheMachineNameKeepsTheModelAndTheScreenSize) {
    const std::pair<const char*, const char*> cases[] = {
        {"MacBook Pro (14-inch, 2021)", "MacBook Pro 14\""},
        {"Mac mini (M2, 2023)", "Mac mini"},
        {"MacBook Air", "MacBook Air"},
        {"Studio Display 27-inch", "Studio Display 27-inch 27\""},
        {"Odd (x-inch, 13-inch)", "Odd 13\""}};
    for (const auto& [marketing, machine] : cases) {
        product(std::string(marketing));
        EXPECT_EQ(SystemInfo::machineName(), machine) << marketing;
    }
}

TEST_F(SystemInfoTest, WithoutAProductTheModelIdentifierNamesTheMachine) {
    EXPECT_EQ(SystemInfo::machineName(), "Mac");
    fake.kernel->setSysctlString("hw.model", "Mac14,2");
    EXPECT_EQ(SystemInfo::machineName(), "Mac14,2");
}

TEST_F(SystemInfoTest, UptimeIsShownInItsTwoLargestUnits) {
    EXPECT_EQ(SystemInfo::uptimeSeconds(), 0) << "no boot time";
    const auto bootedAgo = [&](double seconds) {
        fake.kernel->bootTime = {static_cast<std::int64_t>(fake.clock->now() - seconds), 999999};
        return SystemInfo::uptimeString();
    };
    EXPECT_EQ(bootedAgo(59), "0m");
    EXPECT_EQ(bootedAgo(3600), "1h 0m");
    EXPECT_EQ(bootedAgo(5 * 3600 + 7 * 60), "5h 7m");
    EXPECT_EQ(bootedAgo(86400), "1d 0h");
    EXPECT_EQ(bootedAgo(-100), "0m") << "a boot time ahead of the clock";
    EXPECT_EQ(SystemInfo::uptimeSeconds(), 0);
    fake.kernel->bootTime = {INT64_MIN, 0};
    EXPECT_EQ(SystemInfo::uptimeString().back(), 'h');
}

TEST_F(SystemInfoTest, VersionsDropAZeroPatchAndKeepAWrittenMinor) {
    const std::pair<platform::OperatingSystemVersion, const char*> cases[] = {
        {{14, 0, 0}, "14.0"}, {{14, 2, 1}, "14.2.1"}, {{22, 4, 0, 2}, "22.04"}};
    for (const auto& [version, text] : cases) {
        fake.kernel->osVersion = version;
        EXPECT_EQ(SystemInfo::osVersionString(), text);
    }
}

TEST_F(SystemInfoTest, LoadAndSwapFallBackToZero) {
    EXPECT_EQ(SystemInfo::loadAverage(), SystemInfo::LoadAverage{});
    EXPECT_EQ(SystemInfo::swapUsage(), SystemInfo::SwapUsage{});
    fake.kernel->sysctls["vm.swapusage"] = std::string(40, '\1');
    EXPECT_EQ(SystemInfo::swapUsage(), SystemInfo::SwapUsage{}) << "not the record it should be";
}

} // namespace
} // namespace quillfen
