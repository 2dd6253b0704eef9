#include "sensors/SensorBridge.h"

#include "Table.h"
#include "TempDir.h"
#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

class SensorBridgeTest : public ::testing::Test {
protected:
    SensorBridgeTest() { fake.files->groupContainersRoot = dir.path(); }

    std::filesystem::path container() const { return dir / "group.com.brenvoll.pellgrove"; }
    std::filesystem::path sensorsFile() const { return container() / "sensors.json"; }
    std::filesystem::path controlFile() const { return container() / "control.json"; }

    void writePayload(double sampledAt, std::optional<std::string> version) {
        SensorBridge::write(SensorsPayload{std::nullopt, std::nullopt, sampledAt, version});
    }

    TempDir dir;
    platform::fake::FakePlatform fake;
};

TEST_F(SensorBridgeTest, ContainerIsTheGroupContainerElseTheHomeFallback) {
    EXPECT_EQ(SensorBridge::containerURL(), container());
    fake.files->groupContainersRoot.reset();
    fake.files->home = "/home/u";
    EXPECT_EQ(
        SensorBridge::containerURL(),
        std::filesystem::path("/home/u/Library/Group Containers/group.com.brenvoll.pellgrove"));
}

TEST_F(SensorBridgeTest, WriteCreatesTheContainerAndReadReturnsThePayload) {
    const SensorsPayload p{ThermalReading{55.25, 48, 52, 30.5, 35},
                           FanReading{2000, 3, std::vector<double>{2000, 0, 1500.5}, 1200, 6000},
                           1000, "1.0"};
    SensorBridge::write(p);
    EXPECT_EQ(readText(sensorsFile()),
              R"({"thermal":{"cpuTemperatureC":55.25,"gpuTemperatureC":48.0,)"
              R"("memoryTemperatureC":52.0,"batteryTemperatureC":30.5,"storageTemperatureC":35.0},)"
              R"("fan":{"rpm":2000.0,"fanCount":3,"rpms":[2000.0,0.0,1500.5],"minRPM":1200.0,)"
              R"("maxRPM":6000.0},"sampledAt":1000.0,"helperVersion":"1.0"})");
    EXPECT_EQ(SensorBridge::read(1000), p);
    EXPECT_EQ(SensorBridge::readAccepted(1000), p);
}

TEST_F(SensorBridgeTest, AnUnencodablePayloadLeavesThePreviousFile) {
    writePayload(1000, "1.0");
    const auto before = readText(sensorsFile());
    SensorBridge::write(
        SensorsPayload{ThermalReading{std::numeric_limits<double>::quiet_NaN()}, {}, 1001, "1.0"});
    EXPECT_EQ(readText(sensorsFile()), before);
}

struct FreshnessCase : testing::Row {
    double sampledAt;
    double now;
    bool fresh;
};

class Freshness : public SensorBridgeTest, public ::testing::WithParamInterface<FreshnessCase> {};

TEST_P(Freshness, AcceptsAtMostSixSecondsAndTheFuture) {
    const auto& c = GetParam();
    writePayload(c.sampledAt, "1.0");
    EXPECT_EQ(SensorBridge::read(c.now).has_value(), c.fresh);
    EXPECT_EQ(SensorBridge::readAccepted(c.now).has_value(), c.fresh);
    EXPECT_THAT(fake.log->lines(), ::testing::IsEmpty()); // staleness is never logged
}

INSTANTIATE_TEST_SUITE_P(
    Table, Freshness,
    ::testing::Values(
        FreshnessCase{"Now", 1000, 1000, true}, FreshnessCase{"ExactlySix", 1000, 1006, true},
        FreshnessCase{"JustOverSix", 1000, 1006.001, false},
        FreshnessCase{"Future", 1000, 900, true},
        FreshnessCase{"NaNNow", 1000, std::numeric_limits<double>::quiet_NaN(), false},
        FreshnessCase{"InfiniteNow", 1000, std::numeric_limits<double>::infinity(), false}),
    ::testing::PrintToStringParamName());

struct VersionCase : testing::Row {
    std::optional<std::string> version;
    bool accepted;
};

class VersionGate : public SensorBridgeTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionGate, AcceptsOneDotZeroAndLaterAndLogsEachRefusal) {
    const auto& c = GetParam();
    writePayload(1000, c.version);
    EXPECT_TRUE(SensorBridge::read(1000)) << "read applies no version rule";
    EXPECT_EQ(SensorBridge::readAccepted(1000).has_value(), c.accepted);
    if (c.accepted) {
        EXPECT_THAT(fake.log->lines(), ::testing::IsEmpty());
    } else {
        std::string shown = c.version.value_or("unversioned");
        std::replace(shown.begin(), shown.end(), '\n', '?');
        EXPECT_THAT(fake.log->lines(),
                    ::testing::ElementsAre("Quillfen: refusing readings from helper " + shown +
                                           " (need 1.0)"));
        SensorBridge::readAccepted(1000);
        EXPECT_EQ(fake.log->lines().size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, VersionGate,
    ::testing::Values(VersionCase{"OneDotZero", "1.0", true},
                      VersionCase{"OneDotTen", "1.10", true}, VersionCase{"Patch", "1.0.1", true},
                      VersionCase{"Two", "2", true}, VersionCase{"ZeroNineNine", "0.99", false},
                      VersionCase{"BareOne", "1", false},
                      VersionCase{"FormatLike", "%@%s%n", false},
                      VersionCase{"ControlCharacters", "0.9\nforged line", false},
                      VersionCase{"Unversioned", std::nullopt, false}),
    ::testing::PrintToStringParamName());

TEST_F(SensorBridgeTest, MissingGarbageOrOversizedFilesReadAsAbsentWithoutLogging) {
    EXPECT_FALSE(SensorBridge::read(1000));
    EXPECT_FALSE(SensorBridge::readControl());
    // The last is well formed but larger than any payload: refused unread.
    for (const std::string& garbage :
         {std::string(), std::string("{"), std::string("null"), std::string(R"({"sampledAt":"x"})"),
          std::string("\xff\xfe"),
          R"({"sampledAt":1000,"helperVersion":"1.0","autostart":true,"pad":")" +
              std::string(2 << 20, 'x') + "\"}"}) {
        writeText(sensorsFile(), garbage);
        writeText(controlFile(), garbage);
        EXPECT_FALSE(SensorBridge::readAccepted(1000)) << garbage.substr(0, 40);
        EXPECT_FALSE(SensorBridge::readControl()) << garbage.substr(0, 40);
    }
    writeText(controlFile(), "{}");
    EXPECT_FALSE(SensorBridge::readControl());
    EXPECT_THAT(fake.log->lines(), ::testing::IsEmpty());
}

class SensorBridgeRuntimeFolder : public SensorBridgeTest {
protected:
    SensorBridgeRuntimeFolder() {
        std::filesystem::create_directory(runtime.path() / "run");
        fake.files->runtimeRoot = runtime / "run";
    }

    TempDir runtime;
    const std::filesystem::path runtimeFolder = runtime / "run" / "group.com.brenvoll.pellgrove";
};

TEST_F(SensorBridgeRuntimeFolder, SensorsLiveThereInAPrivateFolderAndControlStaysInTheContainer) {
    EXPECT_EQ(SensorBridge::sensorsFolderURL(), runtimeFolder);
    writePayload(1000, "1.0");
    SensorBridge::writeControl(SensorControl{true});
    EXPECT_TRUE(std::filesystem::exists(runtimeFolder / "sensors.json"));
    EXPECT_FALSE(std::filesystem::exists(sensorsFile()));
    EXPECT_TRUE(std::filesystem::exists(controlFile()));
    EXPECT_EQ(std::filesystem::status(runtimeFolder).permissions(),
              std::filesystem::perms::owner_all);
    EXPECT_EQ(SensorBridge::read(1000)->sampledAt, 1000);
    EXPECT_EQ(SensorBridge::readControl(), SensorControl{true});

    // A payload left in the container is not what the helper publishes now.
    writeText(sensorsFile(), R"({"sampledAt":2000,"helperVersion":"1.0"})");
    EXPECT_EQ(SensorBridge::read(2000), std::nullopt);

    // Without a runtime folder, writer and reader meet in the container.
    fake.files->runtimeRoot.reset();
    EXPECT_EQ(SensorBridge::sensorsFolderURL(), container());
    EXPECT_EQ(SensorBridge::read(2000)->sampledAt, 2000);
}

TEST_F(SensorBridgeRuntimeFolder, LeftoversAreRemovedWhereEachFileLives) {
    // Process ids beyond any the kernel hands out: writers long gone.
    const auto deadSensors = runtimeFolder / ".sensors.json.999999999-1";
    const auto deadControl = container() / ".control.json.999999999-2";
    const auto deadOldSensors = container() / ".sensors.json.999999999-3";
    for (const auto& file : {deadSensors, deadControl, deadOldSensors, sensorsFile()})
        writeText(file, "{}");
    SensorBridge::writeControl(SensorControl{false});
    SensorBridge::removeLeftovers();
    for (const auto& file : {deadSensors, deadControl, deadOldSensors, sensorsFile()})
        EXPECT_FALSE(std::filesystem::exists(file)) << file;
    EXPECT_TRUE(std::filesystem::exists(controlFile()));

    // Where the container is the file's home, the file stays.
    fake.files->runtimeRoot.reset();
    writePayload(1000, "1.0");
    SensorBridge::removeLeftovers();
    EXPECT_TRUE(std::filesystem::exists(sensorsFile()));
}

TEST_F(SensorBridgeTest, AContainerThatCannotBeCreatedLosesTheWriteQuietly) {
    // A file where the container folder should be: nothing can be written beneath it.
    writeText(container(), "in the way");
    writePayload(1000, "1.0");
    SensorBridge::writeControl(SensorControl{true});
    EXPECT_EQ(readText(container()), "in the way");
    EXPECT_FALSE(SensorBridge::read(1000));
}

} // namespace
} // namespace quillfen
