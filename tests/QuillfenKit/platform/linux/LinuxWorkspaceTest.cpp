#include "platform/linux/LinuxWorkspace.h"

#include "ProcessWait.h"
#include "TempDir.h"
#include "platform/linux/DesktopEntry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::ScopedEnv;
using quillfen::testing::TempDir;
using quillfen::testing::writeProgram;
using quillfen::testing::writeText;
using ::testing::ElementsAre;

const std::string kID = "com.brenvoll.pellgrove.helper";

class LinuxWorkspaceTest : public ::testing::Test {
protected:
    std::filesystem::path makeBundle(const std::filesystem::path& at, const std::string& id,
                                     json::Json extra = json::Json::object()) {
        json::Json info{{"CFBundleIdentifier", id}, {"CFBundleExecutable", "quillfen-helper"}};
        info.update(extra);
        writeText(at / "Contents" / "Info.json", info.dump());
        return at / "Contents" / "MacOS" / "quillfen-helper";
    }
    void writeEntry(const std::filesystem::path& folder, const std::string& text) {
        writeText(folder / (kID + ".desktop"), text);
    }
    static std::string entryRunning(const std::filesystem::path& program) {
        return desktop::format({{"Type", "Application"}, {"Exec", desktop::execValue(program)}});
    }
    // A process of this user running `exe`; none for a kernel thread or another user's process.
    void process(const char* pid, const std::optional<std::string>& exe) {
        std::filesystem::create_directories(proc / pid);
        if (exe) std::filesystem::create_symlink(*exe, proc / pid / "exe");
    }

    TempDir dir;
    const std::filesystem::path userApps = dir / "home" / "applications";
    const std::filesystem::path systemApps = dir / "usr" / "share" / "applications";
    const std::filesystem::path proc = dir / "proc";
    LinuxWorkspace workspace{{userApps, systemApps}, proc};
};

TEST_F(LinuxWorkspaceTest, TheInstalledBundleIsFoundThroughItsDesktopEntry) {
    const auto systemBundle = dir / "opt" / "Quillfen Helper.app";
    writeEntry(systemApps, entryRunning(makeBundle(systemBundle, kID)) + "Name=Quillfen Helper\n");
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier(kID), systemBundle);

    // The user's own entry hides the system's.
    const auto userBundle = dir / "home" / "lib" / "Quillfen Helper.app";
    writeEntry(userApps, entryRunning(makeBundle(userBundle, kID)));
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier(kID), userBundle);
    EXPECT_EQ(workspace.infoDictionaryOfBundle(userBundle)->at("CFBundleIdentifier"), kID);
}

TEST_F(LinuxWorkspaceTest, EntriesThatDoNotLeadToTheBundleInstallNothing) {
    const auto bundle = dir / "opt" / "Quillfen Helper.app";
    const auto exe = makeBundle(bundle, kID);
    const auto otherExe = makeBundle(dir / "opt" / "Other.app", "com.example.other");
    writeEntry(systemApps, entryRunning(exe)); // would be found, were it not hidden
    const std::pair<const char*, std::string> cases[] = {
        {"hidden", entryRunning(exe) + "Hidden=true\n"},
        {"outside a bundle", entryRunning("/usr/bin/quillfen-helper")},
        {"another application's bundle", entryRunning(otherExe)},
        {"a bundle that is gone", entryRunning(dir / "gone" / "Quillfen Helper.app" / "Contents" /
                                               "MacOS" / "quillfen-helper")},
        {"a program found on the path", "[Desktop Entry]\nExec=quillfen-helper\n"},
        {"no Exec", "[Desktop Entry]\nType=Application\n"},
        {"malformed", "[Desktop Entry\nExec=" + exe.string() + "\n"},
    };
    for (const auto& [what, text] : cases) {
        SCOPED_TRACE(what);
        writeEntry(userApps, text);
        EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier(kID), std::nullopt);
    }
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier("../applications/" + kID),
              std::nullopt);
}

TEST_F(LinuxWorkspaceTest, RunningApplicationsAreTheUsersProcessesInsideTheBundle) {
    const auto bundle = dir / "lib" / "Quillfen Helper.app";
    const auto exe = makeBundle(bundle, kID, {{"CFBundleName", "Quillfen Helper"}});
    const auto otherExe = makeBundle(dir / "lib" / "Other.app", "com.example.other");
    process("300", otherExe.string());
    process("100", exe.string());
    // Replaced by an update while it runs: still that bundle's process.
    process("200", exe.string() + " (deleted)");
    process("400", std::nullopt); // a kernel thread or another user's process
    process("self", exe.string());
    process("500", "/usr/bin/quillfen-helper");

    EXPECT_THAT(workspace.runningApplicationsWithBundleIdentifier(kID),
                ElementsAre(RunningApplication{kID, "Quillfen Helper", bundle, 100},
                            RunningApplication{kID, "Quillfen Helper", bundle, 200}));
    EXPECT_EQ(
        workspace.runningApplicationsWithBundleIdentifier("com.example.other").at(0).localizedName,
        "Other");
}

TEST_F(LinuxWorkspaceTest, AnApplicationRunsOnlyWhereItKeepsItsData) {
    using namespace std::string_literals;
    const auto exe = makeBundle(dir / "lib" / "Quillfen Helper.app", kID);
    const std::string home = (dir / "home").string();
    const std::string ours = home + "/.local/share";
    ScopedEnv data("XDG_DATA_HOME", ours.c_str());
    const std::pair<const char*, std::optional<std::string>> processes[] = {
        {"100", "PATH=/bin\0XDG_DATA_HOME="s + ours + "\0"},
        {"101", "HOME="s + home + "\0"},                           // the default under it
        {"102", "XDG_DATA_HOME=/elsewhere\0HOME="s + home + "\0"}, // a test's, a sandbox's
        {"103", "HOME=/home/someone-else\0"s},                     // another home
        {"104", "XDG_DATA_HOME=relative\0HOME="s + home + "\0"},   // relative: ignored
        {"105", std::nullopt},                                     // cannot be read: counts
        {"106", "XDG_DATA_HOME="s + ours + "/\0"},
        {"107", "XDG_DATA_HOME="s + home + "/.local/../.local/share\0"},
    };
    for (const auto& [pid, environment] : processes) {
        process(pid, exe.string());
        if (environment) writeText(proc / pid / "environ", *environment);
    }
    std::vector<int> running;
    for (const auto& app : workspace.runningApplicationsWithBundleIdentifier(kID))
        running.push_back(app.processIdentifier);
    EXPECT_THAT(running, ElementsAre(100, 101, 104, 105, 106, 107));
}

TEST_F(LinuxWorkspaceTest, ProcessesStartedByAnInstalledDesktopEntryAreRunningApplications) {
    const auto program = [&](const char* name) { return writeProgram(dir / "bin" / name); };
    const auto entry = [&](const std::filesystem::path& folder, const std::string& file,
                           std::vector<std::pair<std::string, std::string>> keys) {
        keys.insert(keys.begin(), {"Type", "Application"});
        writeText(folder / file, desktop::format(keys));
        return folder / file;
    };
    const auto firefox = program("firefox-esr");
    const auto python = program("python3");
    const auto tool = program("tool");
    const auto retired = program("retired");
    const auto firefoxEntry = entry(systemApps, "firefox-esr.desktop",
                                    {{"Name", "Firefox"},
                                     {"Name[de]", "Feuerfuchs"},
                                     {"Exec", desktop::execValue(firefox) + " %u"}});
    entry(systemApps, "idle.desktop",
          {{"Name", "IDLE"}, {"Exec", python.string() + " -m idlelib"}});
    entry(systemApps, "tool-settings.desktop",
          {{"Name", "Tool Settings"}, {"Exec", tool.string() + " --settings"}});
    entry(systemApps, "tool-helper.desktop",
          {{"Name", "Tool Helper"}, {"Exec", "tool"}, {"NoDisplay", "true"}});
    const auto toolEntry = entry(systemApps / "vendor", "tool.desktop",
                                 {{"Name", "Tool"}, {"Exec", tool.string() + " %F"}});
    entry(systemApps, "retired.desktop", {{"Name", "Retired"}, {"Exec", retired.string()}});
    entry(userApps, "retired.desktop", {{"Name", "Retired"}, {"Hidden", "true"}});
    const auto bundle = dir / "lib" / "Quillfen Helper.app";
    const auto helper = makeBundle(bundle, kID, {{"CFBundleName", "Quillfen Helper"}});
    process("100", firefox);
    process("101", python);
    process("102", tool);
    process("103", helper);
    process("104", retired);
    process("105", "/usr/bin/unrelated");

    ScopedEnv lang("LANG", "C.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "de_AT.UTF-8");
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv path("PATH", (dir / "bin").c_str());
    EXPECT_THAT(workspace.runningApplications(),
                ElementsAre(RunningApplication{"firefox-esr", "Feuerfuchs", firefoxEntry, 100},
                            RunningApplication{"vendor-tool", "Tool", toolEntry, 102},
                            RunningApplication{kID, "Quillfen Helper", bundle, 103}));
    EXPECT_THAT(workspace.runningApplicationsWithProcessIdentifiers({105, 103, 999, 100, 0}),
                ElementsAre(RunningApplication{"firefox-esr", "Feuerfuchs", firefoxEntry, 100},
                            RunningApplication{kID, "Quillfen Helper", bundle, 103}));
    EXPECT_THAT(workspace.runningApplicationsWithProcessIdentifiers({}), ::testing::IsEmpty());
}

TEST_F(LinuxWorkspaceTest, LaunchingNeedsABundleThatNamesAnExecutableThatRuns) {
    const auto expectError = [&](const std::filesystem::path& bundle, const std::string& part) {
        std::optional<std::optional<std::string>> result;
        workspace.openApplication(bundle, {}, [&](std::optional<std::string> e) { result = e; });
        ASSERT_TRUE(result && *result);
        EXPECT_THAT(**result, ::testing::HasSubstr(part));
    };
    expectError(dir / "Nothing.app", "is not an application bundle");
    const auto bundle = dir / "Quillfen Helper.app";
    makeBundle(bundle, kID, {{"CFBundleExecutable", "../../../bin/sh"}});
    expectError(bundle, "names no executable");
    makeBundle(bundle, kID);
    expectError(bundle, "No such file or directory");
}

TEST_F(LinuxWorkspaceTest, OnlyAbsoluteURLsGoToTheBrowser) {
    for (const char* url : {"", "-h", "not a url", "/etc/passwd"})
        EXPECT_FALSE(workspace.openURL(url)) << url;
    ScopedEnv path("PATH", dir.path().c_str());
    EXPECT_FALSE(workspace.openURL("https://brenvoll.com/")) << "no opener on the PATH";
}

TEST_F(LinuxWorkspaceTest, TerminationIsRefusedForAProcessOutsideTheBundle) {
    LinuxWorkspace real;
    // This test's own process is not in the bundle; it must not be signalled.
    EXPECT_FALSE(real.terminate({kID, "Quillfen Helper", dir / "Quillfen Helper.app", ::getpid()}));
}

// A real helper process, in a bundle of its own with an identifier of its own.
TEST_F(LinuxWorkspaceTest, ALaunchedApplicationIsFoundRunningOnceAndTerminated) {
    ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    ScopedEnv config("XDG_CONFIG_HOME", (dir / "config").c_str());
    const std::string id = "com.brenvoll.pellgrove.test." + std::to_string(::getpid());
    const auto bundle = dir / "Test Helper.app";
    const auto exe = makeBundle(bundle, id, {{"CFBundleName", "Test Helper"}});
    std::filesystem::create_directories(exe.parent_path());
    std::filesystem::copy_file(std::filesystem::path(QUILLFEN_HELPER_BUNDLE) / "Contents" /
                                   "MacOS" / "quillfen-helper",
                               exe);
    LinuxWorkspace real;

    std::vector<std::optional<std::string>> results;
    const auto record = [&](std::optional<std::string> e) { results.push_back(e); };
    real.openApplication(bundle, OpenConfiguration{.activates = false}, record);
    auto running = real.runningApplicationsWithBundleIdentifier(id);
    ASSERT_EQ(running.size(), 1u);
    const int pid = running.front().processIdentifier;
    const testing::KillAtScopeEnd cleanup{pid};
    EXPECT_EQ(running.front().bundleURL, bundle);
    EXPECT_EQ(running.front().localizedName, "Test Helper");
    // Detached: it holds none of this process's output.
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/fd/1"), "/dev/null");

    real.openApplication(bundle, {}, record);
    EXPECT_EQ(real.runningApplicationsWithBundleIdentifier(id).size(), 1u);
    EXPECT_THAT(results, ElementsAre(std::nullopt, std::nullopt));

    EXPECT_TRUE(real.terminate(running.front()));
    EXPECT_TRUE(quillfen::testing::waitForExit(pid, 5000));
    EXPECT_TRUE(real.runningApplicationsWithBundleIdentifier(id).empty());
}

} // namespace
} // namespace quillfen::platform::linux
