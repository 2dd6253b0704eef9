#include "platform/linux/LinuxLoginItems.h"

#include "TempDir.h"
#include "platform/fake/FakeMainBundle.h"
#include "platform/linux/DesktopEntry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::TempDir;
using ::testing::HasSubstr;

class LinuxLoginItemsTest : public ::testing::Test {
protected:
    LinuxLoginItemsTest() {
        bundle->path = dir / "Quillfen Helper.app";
        bundle->info = json::Json{{"CFBundleIdentifier", "com.brenvoll.pellgrove.helper"},
                                  {"CFBundleName", "Quillfen Helper"}};
    }

    TempDir dir;
    const std::shared_ptr<fake::FakeMainBundle> bundle = std::make_shared<fake::FakeMainBundle>();
    const std::filesystem::path autostart = dir / "config" / "autostart";
    const std::filesystem::path entry = autostart / "com.brenvoll.pellgrove.helper.desktop";
    const std::filesystem::path exe =
        dir / "Quillfen Helper.app" / "Contents" / "MacOS" / "quillfen-helper";
    LinuxLoginItems items{bundle, autostart, exe};
};

TEST_F(LinuxLoginItemsTest, RegisteringWritesAnAutostartEntryForThisExecutable) {
    EXPECT_EQ(items.registerMainApp(), std::nullopt);
    const auto keys = desktop::parse(quillfen::testing::readText(entry));
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->at("Type"), "Application");
    EXPECT_EQ(keys->at("Name"), "Quillfen Helper");
    EXPECT_EQ(desktop::execProgram(keys->at("Exec")), exe.string());

    EXPECT_EQ(items.unregisterMainApp(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(entry));
    // Nothing left to remove is not a failure.
    EXPECT_EQ(items.unregisterMainApp(), std::nullopt);
}

TEST_F(LinuxLoginItemsTest, FailuresSayWhy) {
    bundle->info = json::Json{{"CFBundleIdentifier", "../escape"}};
    EXPECT_THAT(items.registerMainApp().value_or(""), HasSubstr("no bundle identifier"));
    bundle->info.reset();
    EXPECT_THAT(items.unregisterMainApp().value_or(""), HasSubstr("no bundle identifier"));

    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    bundle->info = json::Json{{"CFBundleIdentifier", "com.brenvoll.pellgrove.helper"}};
    std::filesystem::create_directories(autostart);
    std::filesystem::permissions(autostart, std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_exec);
    EXPECT_EQ(items.registerMainApp(), entry.string() + ": Permission denied");
}

TEST_F(LinuxLoginItemsTest, AnotherBundlesApplicationIsRegisteredByItsOwnInfo) {
    const auto menu = dir / "Quillfen.app" / "Contents" / "MacOS" / "Quillfen Menu.app";
    const auto menuExe = menu / "Contents" / "MacOS" / "quillfen-menu";
    const auto menuEntry = autostart / "com.brenvoll.pellgrove.menu.desktop";
    EXPECT_THAT(items.registerApp(menu).value_or(""), HasSubstr("no application bundle there"))
        << "the bundle is not there yet";
    EXPECT_FALSE(std::filesystem::exists(menuEntry));

    quillfen::testing::writeText(
        menu / "Contents" / "Info.json",
        R"({"CFBundleIdentifier":"com.brenvoll.pellgrove.menu",)"
        R"("CFBundleName":"Quillfen Menu","CFBundleExecutable":"quillfen-menu"})");
    EXPECT_THAT(items.registerApp(menu).value_or(""), HasSubstr("No such file"))
        << "its executable is missing";
    quillfen::testing::writeProgram(menuExe);
    EXPECT_EQ(items.registerApp(menu), std::nullopt);
    const auto keys = desktop::parse(quillfen::testing::readText(menuEntry));
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->at("Name"), "Quillfen Menu");
    EXPECT_EQ(desktop::execProgram(keys->at("Exec")), menuExe.string());
    EXPECT_FALSE(std::filesystem::exists(entry)) << "the running app's own item is untouched";

    EXPECT_EQ(items.unregisterApp("com.brenvoll.pellgrove.menu"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(menuEntry));
    EXPECT_EQ(items.unregisterApp("com.brenvoll.pellgrove.menu"), std::nullopt);
    EXPECT_THAT(items.unregisterApp("../escape").value_or(""), HasSubstr("no bundle identifier"));

    quillfen::testing::writeText(menu / "Contents" / "Info.json",
                                 R"({"CFBundleIdentifier":"com.brenvoll.pellgrove.menu",)"
                                 R"("CFBundleExecutable":"../../elsewhere"})");
    EXPECT_THAT(items.registerApp(menu).value_or(""), HasSubstr("names no executable"));
}

} // namespace
} // namespace quillfen::platform::linux
