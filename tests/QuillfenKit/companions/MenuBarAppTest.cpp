#include "companions/MenuBarApp.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::RunningApplication;
using platform::fake::FakePlatform;

class MenuBarAppTest : public ::testing::Test {
protected:
    MenuBarAppTest() { fake.mainBundle->path = "/opt/Quillfen.app"; }

    RunningApplication menu(int pid) {
        return {std::string(MenuBarApp::bundleID), "Quillfen Menu",
                "/opt/Quillfen.app/Contents/MacOS/Quillfen Menu.app", pid};
    }

    FakePlatform fake;
};

TEST_F(MenuBarAppTest, LivesInsideTheRunningAppsBundle) {
    EXPECT_EQ(MenuBarApp::bundleURL(),
              std::filesystem::path("/opt/Quillfen.app/Contents/MacOS/Quillfen Menu.app"));
}

TEST_F(MenuBarAppTest, AlreadyRunningAnswersTrueAtOnceWithoutLaunching) {
    fake.workspace->running.push_back(menu(41));
    std::optional<bool> answer;
    MenuBarApp::launch([&](bool ok) { answer = ok; });
    EXPECT_EQ(answer, true);
    EXPECT_TRUE(fake.workspace->launches.empty());
}

TEST_F(MenuBarAppTest, AFailedLaunchLogsThePathAndAnswersFalseOnTheMainQueue) {
    fake.workspace->launchError = "No such file or directory";
    std::optional<bool> answer;
    MenuBarApp::launch([&](bool ok) { answer = ok; });
    EXPECT_FALSE(answer) << "delivered on the main queue, not inside launch()";
    fake.queue->runUntilIdle();
    EXPECT_EQ(answer, false);
    EXPECT_THAT(
        fake.log->lines(),
        ::testing::ElementsAre("[MenuBarApp] failed to launch at /opt/Quillfen.app/"
                               "Contents/MacOS/Quillfen Menu.app: No such file or directory"));
    ASSERT_EQ(fake.workspace->launches.size(), 1u);
    EXPECT_FALSE(fake.workspace->launches[0].activates);
}

TEST_F(MenuBarAppTest, LaunchesWithoutACallbackAndAnswersTrueOnSuccess) {
    MenuBarApp::launch();
    fake.queue->runUntilIdle();
    EXPECT_EQ(fake.workspace->launches.size(), 1u);
    std::optional<bool> answer;
    MenuBarApp::launch([&](bool ok) { answer = ok; });
    fake.queue->runUntilIdle();
    EXPECT_EQ(answer, true);
    EXPECT_TRUE(fake.log->lines().empty());
}

TEST_F(MenuBarAppTest, QuitAsksEveryInstanceToTerminate) {
    fake.workspace->running = {menu(41), menu(42)};
    MenuBarApp::quit();
    EXPECT_EQ(fake.workspace->terminated, (std::vector<int>{41, 42}));
}

} // namespace
} // namespace quillfen
