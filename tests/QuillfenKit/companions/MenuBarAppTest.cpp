#include "companions/MenuBarApp.h"

#include "platform/fake/FakePlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

class MenuBarAppTest : public ::testing::Test {
protected:
    MenuBarAppTest() { fake.mainBundle->path = "/opt/Quillfen.app"; }

    platform::RunningApplication menu(int pid) {
        return {std::string(MenuBarApp::bundleID), "Quillfen Menu",
                "/opt/Quillfen.app/Contents/MacOS/Quillfen Menu.app", pid};
    }

    platform::fake::FakePlatform fake;
};

TEST_F(MenuBarAppTest, AlreadyRunningAnswersTrueAtOnceWithoutLaunching) {
    fake.workspace->running.push_back(menu(41));
    std::optional<bool> answer;
    MenuBarApp::launch([&](bool ok) { answer = ok; });
    EXPECT_EQ(answer, true);
    EXPECT_TRUE(fake.workspace->launches.empty());
}

// The path in the log line is the bundle inside the running app's own bundle.
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
    EXPECT_THAT(fake.workspace->launches,
                ::testing::ElementsAre(platform::fake::FakeWorkspace::Launch{
                    "/opt/Quillfen.app/Contents/MacOS/Quillfen Menu.app", false}));
}

TEST_F(MenuBarAppTest, LaunchesWithoutACallbackAndLogsNothingOnSuccess) {
    MenuBarApp::launch();
    fake.queue->runUntilIdle();
    EXPECT_EQ(fake.workspace->launches.size(), 1u);
    EXPECT_TRUE(fake.log->lines().empty());
}

TEST_F(MenuBarAppTest, QuitAsksEveryInstanceToTerminate) {
    fake.workspace->running = {menu(41), menu(42)};
    MenuBarApp::quit();
    EXPECT_EQ(fake.workspace->terminated, (std::vector<int>{41, 42}));
}

} // namespace
} // namespace quillfen
