#include "SensorsAgent.h"

#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"

#include <gtest/gtest.h>

#include <deque>

namespace quillfen {
namespace {

using platform::fake::FakePlatform;
using testing::readText;
using testing::TempDir;

// What the scripted samplers answer, in order, then nothing. Owned by the test so that it
// outlives the agent and its samplers.
template <typename Reading> struct Script {
    std::deque<std::optional<Reading>> answers;
    int calls = 0;
    std::optional<Reading> next() {
        ++calls;
        if (answers.empty()) return std::nullopt;
        auto r = answers.front();
        answers.pop_front();
        return r;
    }
};

class ScriptedThermal final : public ThermalSampler {
public:
    explicit ScriptedThermal(Script<ThermalReading>& s)
        : script(s) {}
    std::optional<ThermalReading> sample() override { return script.next(); }
    Script<ThermalReading>& script;
};

class ScriptedFan final : public FanSampler {
public:
    explicit ScriptedFan(Script<FanReading>& s)
        : script(s) {}
    std::optional<FanReading> sample() override { return script.next(); }
    Script<FanReading>& script;
};

class SensorsAgentTest : public ::testing::Test {
protected:
    SensorsAgentTest() {
        fake.files->groupContainersRoot = dir.path();
        fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
        agent = std::make_shared<SensorsAgent>(std::make_unique<ScriptedThermal>(thermal),
                                               std::make_unique<ScriptedFan>(fan));
        fake.application->setDelegate(agent.get());
    }

    std::filesystem::path sensorsFile() const {
        return dir / "group.com.brenvoll.pellgrove" / "sensors.json";
    }
    SensorsPayload payload() const {
        const auto p = json::decode<SensorsPayload>(std::string_view(readText(sensorsFile())));
        EXPECT_TRUE(p);
        return p.value_or(SensorsPayload{});
    }
    void launch() { fake.application->run(); }

    TempDir dir;
    FakePlatform fake;
    Script<ThermalReading> thermal;
    Script<FanReading> fan;
    std::shared_ptr<SensorsAgent> agent;
};

TEST_F(SensorsAgentTest, PublishesAtLaunchAndThenEverySecond) {
    const double launchedAt = fake.clock->now();
    launch();
    EXPECT_EQ(payload().sampledAt, launchedAt);
    for (int second = 1; second <= 3; ++second) {
        fake.queue->advance(1.0);
        EXPECT_EQ(payload().sampledAt, launchedAt + second);
    }
    EXPECT_EQ(fan.calls, 4);
    EXPECT_EQ(thermal.calls, 4);
}

TEST_F(SensorsAgentTest, WithoutReadingsThePayloadHoldsOnlyTimeAndVersion) {
    launch();
    fake.queue->advance(1.0);
    const auto text = readText(sensorsFile());
    EXPECT_EQ(text, R"({"sampledAt":)" + json::Json(fake.clock->now()).dump() +
                        R"(,"helperVersion":"1.0"})");
}

TEST_F(SensorsAgentTest, TheLastTemperatureReadingIsReusedAndNeverCleared) {
    const ThermalReading a{50}, b{60};
    thermal.answers = {a, std::nullopt, b, std::nullopt, std::nullopt};
    launch();
    std::vector<std::optional<ThermalReading>> seen{payload().thermal};
    for (int i = 0; i < 4; ++i) {
        fake.queue->advance(1.0);
        seen.push_back(payload().thermal);
    }
    EXPECT_EQ(seen, (std::vector<std::optional<ThermalReading>>{a, a, b, b, b}));
}

TEST_F(SensorsAgentTest, TheFanReadingIsThisTicksOnly) {
    const FanReading spinning{1200, 1};
    fan.answers = {spinning, std::nullopt};
    launch();
    EXPECT_EQ(payload().fan, spinning);
    fake.queue->advance(1.0);
    EXPECT_FALSE(payload().fan);
}

TEST_F(SensorsAgentTest, AStopRequestAfterLaunchEndsTheProcessBeforeTheNextPayload) {
    const double launchedAt = fake.clock->now();
    launch();
    fake.queue->advance(0.5);
    SensorBridge::writeControl(SensorControl{false, fake.clock->now()});
    fake.queue->advance(0.5);
    EXPECT_EQ(fake.application->terminateCalls(), 1);
    EXPECT_EQ(payload().sampledAt, launchedAt); // the tick wrote nothing
    EXPECT_EQ(fan.calls, 1);
}

TEST_F(SensorsAgentTest, StopRequestsFromBeforeOrAtLaunchAreIgnored) {
    const double launchedAt = fake.clock->now();
    for (const double requestedAt : {launchedAt - 100, launchedAt}) {
        SensorBridge::writeControl(SensorControl{false, requestedAt});
        launch();
        fake.queue->advance(1.0);
    }
    EXPECT_EQ(fake.application->terminateCalls(), 0);
    EXPECT_EQ(payload().sampledAt, fake.clock->now());
}

TEST_F(SensorsAgentTest, AStopRequestPresentAtLaunchWritesNoPayloadAtAll) {
    SensorBridge::writeControl(SensorControl{false, fake.clock->now() + 10});
    launch();
    EXPECT_EQ(fake.application->terminateCalls(), 1);
    EXPECT_FALSE(std::filesystem::exists(sensorsFile()));
    EXPECT_EQ(fake.queue->pendingCount(), 0u);
}

TEST_F(SensorsAgentTest, TheTimerHoldsTheAgentWeakly) {
    launch();
    const std::weak_ptr<SensorsAgent> weak = agent;
    agent.reset();
    EXPECT_TRUE(weak.expired());
    fake.queue->advance(5.0);
    EXPECT_EQ(fan.calls, 1);
}

TEST(SensorsAgentVersion, ComesFromTheBundlesShortVersionString) {
    FakePlatform fake;
    fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
    EXPECT_EQ(SensorsAgent::version(), "1.0");
}

} // namespace
} // namespace quillfen
