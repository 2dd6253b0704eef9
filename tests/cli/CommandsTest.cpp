// Help, version and the settings listing, as the command line gives them.

#include "Commands.h"
#include "Frame.h"
#include "SettingsKeys.h"

#include "platform/fake/FakePlatform.h"
#include "support/ProductVersion.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace quillfen::cli {
namespace {

using ::testing::HasSubstr;

struct Output {
    int status;
    std::string out, err;
};

Output quillfen(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Help, DescribesEveryCommandInLinesThatFitATerminal) {
    const auto overview = quillfen({"--help"});
    EXPECT_EQ(overview.status, kSuccess);
    EXPECT_EQ(quillfen({"help"}).out, overview.out);
    for (const char* command : {"watch", "snapshot", "settings", "helper", "help", "--version"})
        EXPECT_THAT(overview.out, HasSubstr("\n  " + std::string(command))) << command;
    std::vector<std::string> texts{overview.out};
    for (const std::string command : {"watch", "snapshot", "settings", "helper", "help"}) {
        SCOPED_TRACE(command);
        const auto help = quillfen({"help", command});
        EXPECT_EQ(help.status, kSuccess);
        EXPECT_THAT(help.out, ::testing::StartsWith("usage: quillfen " + command));
        EXPECT_EQ(quillfen({command, "--help"}).out, help.out);
        texts.push_back(help.out);
    }
    EXPECT_THAT(quillfen({"help", "snapshot"}).out, HasSubstr("--seconds N"));
    EXPECT_THAT(quillfen({"help", "watch"}).out, HasSubstr("--json"));
    for (const auto& text : texts)
        for (const auto& line : linesOf(text))
            EXPECT_LE(columns(line), 80u) << line;

    const auto unknown = quillfen({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, kMisuse);
    EXPECT_THAT(unknown.err, HasSubstr("the commands are watch, snapshot, settings, helper"));
}

TEST(Version, IsTheProductVersion) {
    const auto version = quillfen({"--version"});
    EXPECT_EQ(version.status, kSuccess);
    EXPECT_EQ(version.out, "quillfen " + std::string(productVersion()) + "\n");
}

// Standard output on a full disk: every write is refused.
struct FullDisk final : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(Output, ThatCannotBeWrittenFailsTheCommandAndSaysSo) {
    FullDisk disk;
    std::ostream out(&disk);
    std::ostringstream err;
    EXPECT_EQ(run({"help"}, out, err), kFailure);
    EXPECT_EQ(err.str(), "quillfen: could not write to standard output\n");
}

class SettingsCommand : public ::testing::Test {
protected:
    platform::fake::FakePlatform fake;
    std::shared_ptr<platform::fake::FakeUserDefaults> store =
        std::make_shared<platform::fake::FakeUserDefaults>();
    AppSettings settings{store};
};

TEST_F(SettingsCommand, TheListingHasEveryKeyWithItsValueAndWhatItTakes) {
    AppSettingsValues values;
    values.menuBarMetrics = {MenuBarMetric::cpu, MenuBarMetric::netDown};
    values.temperatureUnit = TemperatureUnit::fahrenheit;
    const auto listing = settingsListing(values);
    const auto lines = linesOf(listing);
    for (const auto& [key, value] : settingValues(values)) {
        const auto at = std::ranges::find(lines, key + " = " + value);
        ASSERT_NE(at, lines.end()) << key << " in\n" << listing;
        ASSERT_NE(at + 1, lines.end());
        EXPECT_THAT(at[1], ::testing::StartsWith("    ")) << "what it does";
    }
    EXPECT_EQ(settingValues(values).size(), settingKeys().size());
    // What each setting takes, however the lines are broken.
    std::string unbroken = listing;
    for (std::size_t at; (at = unbroken.find("\n    ")) != std::string::npos;)
        unbroken.replace(at, 5, " ");
    for (const char* part :
         {"menuBarMetrics = cpu,netDown what the menu bar shows; takes a comma-separated list of "
          "cpu, gpu, memory, temperature, battery, netDown and netUp\n",
          "temperatureUnit = fahrenheit the unit of temperatures; takes celsius or fahrenheit\n",
          "theme = multi the colours of the windows; takes multi, dual, mono, monoGray, monoBlue "
          "or light\n"})
        EXPECT_THAT(unbroken, HasSubstr(part));
    for (const auto& line : lines)
        EXPECT_LE(columns(line), 80u) << line;
}

TEST_F(SettingsCommand, AnUnknownKeyOrValueSaysWhatIsValid) {
    EXPECT_EQ(assignSetting(settings, "colour", "red"),
              "unknown setting 'colour'; the settings are menuBarMetrics, launchAtLogin, "
              "pauseSamplingWhenClosed, temperatureUnit, twoLineMenuBarLabels, "
              "compactMenuBarSpacing, theme, menuBarTheme");
    EXPECT_EQ(assignSetting(settings, "theme", "plaid"),
              "theme takes multi, dual, mono, monoGray, monoBlue or light, not 'plaid'");
    EXPECT_EQ(assignSetting(settings, "menuBarMetrics", "cpu,fans"),
              "menuBarMetrics takes a comma-separated list of cpu, gpu, memory, temperature, "
              "battery, netDown and netUp, not 'fans'");
    EXPECT_EQ(assignSetting(settings, "launchAtLogin", "\x1b[2J"),
              "launchAtLogin takes true or false, not '?[2J'");
    EXPECT_EQ(settings.values(), AppSettingsValues{}) << "nothing changed";

    EXPECT_EQ(assignSetting(settings, "menuBarMetrics", "gpu,netUp"), std::nullopt);
    EXPECT_EQ(assignSetting(settings, "launchAtLogin", "on"), std::nullopt);
    EXPECT_EQ(settings.menuBarMetrics(),
              (std::vector<MenuBarMetric>{MenuBarMetric::gpu, MenuBarMetric::netUp}));
    EXPECT_TRUE(settings.launchAtLogin());
}

TEST_F(SettingsCommand, LaunchAtLoginRegistersTheMenuBarAppOfTheInstalledApp) {
    using Call = platform::fake::FakeLoginItems::Call;
    EXPECT_EQ(updateMenuBarLoginItem(true),
              "Quillfen's app is not installed (scripts/install installs it)");
    fake.workspace->installed["com.brenvoll.pellgrove"] = "/opt/q/Quillfen.app";
    EXPECT_EQ(updateMenuBarLoginItem(true), std::nullopt);
    EXPECT_EQ(updateMenuBarLoginItem(false), std::nullopt);
    EXPECT_THAT(
        fake.loginItems->apps,
        ::testing::ElementsAre(
            std::pair(Call::registered, "/opt/q/Quillfen.app/Contents/MacOS/Quillfen Menu.app"),
            std::pair(Call::unregistered, "com.brenvoll.pellgrove.menu")));
    fake.loginItems->error = "Permission denied";
    EXPECT_EQ(updateMenuBarLoginItem(true), "Permission denied");
}

} // namespace
} // namespace quillfen::cli
