#include "SensorsAgent.h"

#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

namespace quillfen {
namespace {

using platform::fake::FakeLoginItems;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::readText;
using testing::TempDir;

// A sampler answering what its script says, in order, then nothing. The script is owned by
// the test so that it outlives the agent and its samplers.
template <typename Reading> struct Script {
    std::deque<std::optional<Reading>> answers;
    int calls = 0;
};

template <typename Base, typename Reading> class Scripted final : public Base {
public:
    explicit Scripted(Script<Reading>& s)
        : script(s) {}
    std::optional<Reading> sample() override {
        ++script.calls;
        if (script.answers.empty()) return std::nullopt;
        auto r = script.answers.front();
        script.answers.pop_front();
        return r;
    }
    Script<Reading>& script;
};

class SensorsAgentTest : public ::testing::Test {
protected:
    SensorsAgentTest() {
        fake.files->groupContainersRoot = dir.path();
        fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "1.0"}};
        agent = std::make_shared<SensorsAgent>(
            std::make_unique<Scripted<ThermalSampler, ThermalReading>>(thermal),
            std::make_unique<Scripted<FanSampler, FanReading>>(fan));
        fake.application->setDelegate(agent.get());
    }

    SensorsPayload payload() const {
        const auto p = json::decode<SensorsPayload>(std::string_view(readText(sensorsFile)));
        EXPECT_TRUE(p);
        return p.value_or(SensorsPayload{});
    }
    void launch() { fake.application->run(); }
    std::vector<FakeLoginItems::Call> loginCalls() const { return fake.loginItems->calls; }
    void putOnDiskImage() {
        fake.mainBundle->path = "/media/u/Quillfen/Quillfen Helper.app";
        fake.volumeFlags->volumes["/media/u/Quillfen"] =
            platform::VolumeResourceValues{true, false};
    }

    TempDir dir;
    const std::filesystem::path sensorsFile = dir / "group.com.brenvoll.pellgrove" / "sensors.json";
    platform::fake::FakePlatform fake;
    Script<ThermalReading> thermal;
    Script<FanReading> fan;
    std::shared_ptr<SensorsAgent> agent;
};

TEST_F(SensorsAgentTest, ALaunchRemovesWhatAKilledHelperLeftBetweenWritingAndRenaming) {
    // A process id beyond any the kernel hands out: a helper long gone.
    const auto leftover = sensorsFile.parent_path() / ".sensors.json.999999999-4";
    testing::writeText(leftover, "{}");
    launch();
    EXPECT_FALSE(std::filesystem::exists(leftover));
    EXPECT_TRUE(std::filesystem::exists(sensorsFile));
}

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
    // Without readings the payload holds only its time and version.
    EXPECT_EQ(readText(sensorsFile), R"({"sampledAt":)" + json::Json(fake.clock->now()).dump() +
                                         R"(,"helperVersion":"1.0"})");
    // Off a disk image there is no alert; without a control file the wish is off, applied once.
    EXPECT_THAT(fake.alerts->shown, IsEmpty());
    EXPECT_EQ(fake.application->activations(), 0);
    EXPECT_THAT(loginCalls(), ElementsAre(FakeLoginItems::Call::unregistered));
}

TEST_F(SensorsAgentTest, TheLastTemperatureIsReusedAndNeverClearedButTheFanIsThisTicksOnly) {
    const ThermalReading a{50}, b{60};
    const FanReading spinning{1200, 1};
    thermal.answers = {a, std::nullopt, b, std::nullopt, std::nullopt};
    fan.answers = {spinning, std::nullopt};
    launch();
    std::vector<std::optional<ThermalReading>> seen{payload().thermal};
    EXPECT_EQ(payload().fan, spinning);
    for (int i = 0; i < 4; ++i) {
        fake.queue->advance(1.0);
        seen.push_back(payload().thermal);
        EXPECT_FALSE(payload().fan);
    }
    EXPECT_EQ(seen, (std::vector<std::optional<ThermalReading>>{a, a, b, b, b}));
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
    EXPECT_FALSE(std::filesystem::exists(sensorsFile));
    EXPECT_EQ(fake.queue->pendingCount(), 0u);
}

constexpr auto registered = FakeLoginItems::Call::registered;
constexpr auto unregistered = FakeLoginItems::Call::unregistered;

TEST_F(SensorsAgentTest, TheLoginItemFollowsTheAutostartWishWithinOneTick) {
    SensorBridge::writeControl(SensorControl{true});
    launch();
    fake.queue->advance(3.0);
    EXPECT_THAT(loginCalls(), ElementsAre(registered));

    SensorBridge::writeControl(SensorControl{false});
    fake.queue->advance(1.0);
    EXPECT_THAT(loginCalls(), ElementsAre(registered, unregistered));

    SensorBridge::writeControl(SensorControl{true});
    fake.queue->advance(1.0);
    // Without a control file the wish is off.
    std::filesystem::remove(dir / "group.com.brenvoll.pellgrove" / "control.json");
    fake.queue->advance(3.0);
    EXPECT_THAT(loginCalls(), ElementsAre(registered, unregistered, registered, unregistered));
    EXPECT_THAT(fake.log->lines(), IsEmpty());
}

TEST_F(SensorsAgentTest, AFailedLoginItemUpdateIsLoggedOnceAndNotRetried) {
    SensorBridge::writeControl(SensorControl{true});
    fake.loginItems->error = "/home/u/.config/autostart: Permission denied";
    launch();
    fake.queue->advance(3.0);
    EXPECT_THAT(loginCalls(), ElementsAre(registered));
    EXPECT_THAT(fake.log->lines(), ElementsAre("Quillfen Helper: login-item update failed: "
                                               "/home/u/.config/autostart: Permission denied"));
    EXPECT_EQ(payload().sampledAt, fake.clock->now()); // the ticks go on
}

TEST_F(SensorsAgentTest, OnADiskImageTheAlertComesFirstInFront) {
    putOnDiskImage();
    bool shownBeforeAnythingElse = false;
    fake.alerts->onShow = [&] {
        shownBeforeAnythingElse = fake.application->activations() == 1 &&
                                  !std::filesystem::exists(sensorsFile) && loginCalls().empty();
    };
    launch();
    EXPECT_TRUE(shownBeforeAnythingElse);
    ASSERT_EQ(fake.alerts->shown.size(), 1u);
    const auto& alert = fake.alerts->shown.front();
    EXPECT_EQ(alert.style, platform::AlertStyle::warning);
    EXPECT_EQ(alert.messageText, "Please move Quillfen Helper to Applications");
    EXPECT_EQ(
        alert.informativeText,
        "It's running from the disk image, so it will stop the moment you eject it \xE2\x80\x94 "
        "and starting it at login won't work.\n\nDrag it onto the Applications folder in the "
        "disk image window, then open it from there.");
    EXPECT_THAT(alert.buttons, ElementsAre("Quit", "Run Anyway"));
}

TEST_F(SensorsAgentTest, QuitAtTheDiskImageAlertEndsTheHelperBeforeItsFirstPayload) {
    putOnDiskImage();
    fake.alerts->response = platform::alertFirstButtonReturn;
    launch();
    fake.queue->advance(3.0);
    EXPECT_EQ(fake.application->terminateCalls(), 1);
    EXPECT_FALSE(std::filesystem::exists(sensorsFile));
    EXPECT_THAT(loginCalls(), IsEmpty());
}

TEST_F(SensorsAgentTest, RunAnywayOrAnAlertThatCannotBeShownRunsOnTheImage) {
    putOnDiskImage();
    for (const std::optional<int> response : {std::optional(1001), std::optional<int>()}) {
        fake.alerts->response = response;
        launch();
        fake.queue->advance(1.0);
        EXPECT_EQ(payload().sampledAt, fake.clock->now());
    }
    EXPECT_EQ(fake.application->terminateCalls(), 0);
}

TEST_F(SensorsAgentTest, TheTimerHoldsTheAgentWeakly) {
    launch();
    const std::weak_ptr<SensorsAgent> weak = agent;
    agent.reset();
    EXPECT_TRUE(weak.expired());
    fake.queue->advance(5.0);
    EXPECT_EQ(fan.calls, 1);
}

} // namespace
} // namespace quillfen
