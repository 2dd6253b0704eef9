#include "companions/MenuBarApp.h"
#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxWorkspace.h"

#include "ProcessWait.h"
#include "TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

// The main app, run from the build tree, finds the menu-bar app inside its bundle, starts it,
// sees it running and quits it.
TEST(MenuBundle, TheMainAppStartsTheMenuBarAppInsideItsBundleAndQuitsIt) {
    quillfen::testing::TempDir dir;
    quillfen::testing::ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    quillfen::testing::ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    platform::fake::FakePlatform fake;
    fake.platform.workspace = std::make_shared<platform::linux::LinuxWorkspace>();
    fake.mainBundle->path = std::filesystem::path(QUILLFEN_BUNDLES_DIR) / "Quillfen.app";

    ASSERT_EQ(MenuBarApp::bundleURL(), std::filesystem::path(QUILLFEN_MENU_BUNDLE));
    ASSERT_FALSE(MenuBarApp::isRunning()) << "a menu-bar app of this build is running already";
    std::vector<bool> results;
    MenuBarApp::launch([&](bool ok) { results.push_back(ok); });
    fake.queue->runUntilIdle();
    EXPECT_THAT(results, ::testing::ElementsAre(true));

    const auto running =
        fake.platform.workspace->runningApplicationsWithBundleIdentifier(MenuBarApp::bundleID);
    ASSERT_EQ(running.size(), 1u);
    const int pid = running.front().processIdentifier;
    const testing::KillAtScopeEnd cleanup{pid};
    EXPECT_EQ(running.front().localizedName, "Quillfen Menu");
    EXPECT_TRUE(MenuBarApp::isRunning());

    MenuBarApp::quit();
    EXPECT_TRUE(quillfen::testing::waitForExit(pid, 5000));
    EXPECT_FALSE(MenuBarApp::isRunning());
}

} // namespace
} // namespace quillfen
