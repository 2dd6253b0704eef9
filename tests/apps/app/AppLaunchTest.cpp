#include "AppLaunch.h"

#include "companions/MenuBarApp.h"
#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen::app {
namespace {

using ::testing::ElementsAre;
using Call = platform::fake::FakeLoginItems::Call;

TEST(AppLaunch, CommandLines) {
    struct Case {
        QStringList arguments;
        std::optional<LaunchOptions> expected; // nothing: refused
    };
    using Tab = SettingsView::Tab;
    for (const Case& c : {
             Case{{}, LaunchOptions{}},
             Case{{"--settings"}, LaunchOptions{.settingsOnly = true}},
             Case{{"--settings", "--tab", "about"},
                  LaunchOptions{.settingsOnly = true, .tab = Tab::about}},
             Case{{"--tab", "menubar", "--settings"},
                  LaunchOptions{.settingsOnly = true, .tab = Tab::menubar}},
             Case{{"--help"}, LaunchOptions{.help = true}},
             Case{{"--tab", "about"}, std::nullopt},
             Case{{"--settings", "--tab"}, std::nullopt},
             Case{{"--settings", "--tab", "colours"}, std::nullopt},
             Case{{"--verbose"}, std::nullopt},
         }) {
        const auto parsed = parseArguments(QStringList{"quillfen-app"} + c.arguments);
        const auto* options = std::get_if<LaunchOptions>(&parsed);
        const std::string line = c.arguments.join(' ').toStdString();
        ASSERT_EQ(options != nullptr, c.expected.has_value()) << line;
        if (!options) continue;
        EXPECT_EQ(std::tuple(options->settingsOnly, options->tab, options->help),
                  std::tuple(c.expected->settingsOnly, c.expected->tab, c.expected->help))
            << line;
    }
}

TEST(AppLaunch, LaunchAtLoginRegistersTheMenuBarAppInsideTheBundle) {
    platform::fake::FakePlatform fake;
    fake.mainBundle->path = "/opt/Quillfen.app";
    installLoginItemHandler();
    AppSettings::shared().setLaunchAtLogin(true);
    AppSettings::shared().setLaunchAtLogin(false);
    EXPECT_THAT(
        fake.loginItems->apps,
        ElementsAre(std::pair(Call::registered,
                              std::string("/opt/Quillfen.app/Contents/MacOS/Quillfen Menu.app")),
                    std::pair(Call::unregistered, std::string(MenuBarApp::bundleID))));
    EXPECT_TRUE(fake.log->lines().empty());

    fake.loginItems->error = "no application bundle there";
    AppSettings::shared().setLaunchAtLogin(true);
    EXPECT_THAT(fake.log->lines(),
                ElementsAre("Quillfen: login-item update failed: no application bundle there"));
}

} // namespace
} // namespace quillfen::app
