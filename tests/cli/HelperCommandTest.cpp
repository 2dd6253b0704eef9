// `quillfen helper …` as a user runs it: installed with scripts/install into a temporary
// prefix and home, driving a real helper process.

#include "ProcessWait.h"
#include "TempDir.h"
#include "platform/linux/LinuxWorkspace.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>

namespace quillfen {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kBuild = QUILLFEN_BUILD_DIR;
const std::filesystem::path kSource = QUILLFEN_SOURCE_DIR;
const std::string kID = "com.brenvoll.pellgrove.helper";

// Waits for `path` to exist, woken by changes to its folder; false after `timeoutMs`.
bool waitForFile(const std::filesystem::path& path, int timeoutMs) {
    QFileSystemWatcher watcher({QString::fromStdString(path.parent_path().string())});
    return testing::spinUntil([&] { return std::filesystem::exists(path); }, timeoutMs);
}

class HelperCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(home);
        // The helper makes its folder itself; made here so it can be watched from the start.
        std::filesystem::create_directories(sensorsFolder);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        env = QProcessEnvironment::systemEnvironment();
        using Path = std::pair<const char*, std::filesystem::path>;
        for (const auto& [name, value] :
             {Path{"HOME", home}, Path{"XDG_DATA_HOME", home / ".local" / "share"},
              Path{"XDG_CONFIG_HOME", home / ".config"}, Path{"XDG_RUNTIME_DIR", runtime},
              Path{"XDG_DATA_DIRS", prefix / "share"}, Path{"QUILLFEN_BUILD_DIR", kBuild}})
            env.insert(name, QString::fromStdString(value.string()));
    }
    void TearDown() override {
        for (const auto& app : ownHelpers())
            ::kill(app.processIdentifier, SIGKILL);
    }

    testing::Ran run(const std::filesystem::path& program, const QStringList& args) {
        return testing::runToEnd(QString::fromStdString(program.string()), args, env);
    }
    testing::Ran quillfen(const QStringList& args) {
        return run(prefix / "bin" / "quillfen", args);
    }
    testing::Ran built(const QStringList& args) { return run(kBuild / "bin" / "quillfen", args); }

    // Helpers running from this test's installation, for this test's home. Other helpers of
    // this user (a test next door, the user's own) keep their data elsewhere and do not
    // count.
    std::vector<platform::RunningApplication> ownHelpers() const {
        testing::ScopedEnv data("XDG_DATA_HOME", (home / ".local" / "share").c_str());
        auto apps = platform::linux::LinuxWorkspace().runningApplicationsWithBundleIdentifier(kID);
        std::erase_if(apps, [&](const auto& a) { return a.bundleURL != bundle; });
        return apps;
    }

    testing::TempDir dir;
    const std::filesystem::path home = dir / "home";
    const std::filesystem::path prefix = dir / "pre fix $x";
    const std::filesystem::path bundle = prefix / "lib" / "quillfen" / "Quillfen Helper.app";
    const std::filesystem::path runtime = dir / "run";
    const std::filesystem::path sensorsFolder = runtime / "group.com.brenvoll.pellgrove";
    const std::filesystem::path autostartEntry =
        home / ".config" / "autostart" / (kID + ".desktop");
    QProcessEnvironment env;
};

TEST_F(HelperCommand, InstallStartAutostartAndStop) {
    const auto install =
        run(kSource / "scripts" / "install", {QString::fromStdString(prefix.string())});
    ASSERT_EQ(install.status, 0) << install.err;

    auto status = quillfen({"helper", "status"});
    EXPECT_EQ(status.status, 0);
    EXPECT_EQ(status.out, "installed: yes\npath: " + bundle.string() +
                              "\ninstalled version: 1.0\nrunning: no\nrunning version: —\n"
                              "autostart: off\nsupported: yes\ntemperatures: — (the helper is "
                              "not running; start it with quillfen helper start)\nfans: —\n");

    const auto start = quillfen({"helper", "start"});
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(start.out, "Quillfen Helper started\n");
    ASSERT_TRUE(waitForFile(sensorsFolder / "sensors.json", 8000));
    status = quillfen({"helper", "status"});
    EXPECT_THAT(status.out, HasSubstr("running: yes\nrunning version: 1.0\n"));
    ASSERT_EQ(ownHelpers().size(), 1u);
    const int pid = ownHelpers().front().processIdentifier;

    // A folder where control.json belongs: it cannot be replaced, not even by root.
    const auto control = home / ".local/share/group.com.brenvoll.pellgrove/control.json";
    std::filesystem::remove(control);
    std::filesystem::create_directory(control);
    for (const auto& [args, said] :
         {std::pair{QStringList{"helper", "stop"}, "could not ask Quillfen Helper to stop: "},
          std::pair{QStringList{"helper", "autostart", "on"}, "autostart is still off: "}}) {
        const auto refused = quillfen(args);
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err,
                  "quillfen: " + std::string(said) + control.string() + " cannot be written\n");
    }
    EXPECT_THAT(quillfen({"helper", "status"}).out,
                HasSubstr("autostart: off (" + control.string() + " cannot be read)\n"));
    std::filesystem::remove(control);

    std::filesystem::create_directories(autostartEntry.parent_path());
    EXPECT_EQ(quillfen({"helper", "autostart", "on"}).out, "autostart on\n");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitForFile(autostartEntry, 5000));
    EXPECT_LT(clock.elapsed(), 2000); // the helper looks once a second
    EXPECT_THAT(testing::readText(autostartEntry),
                HasSubstr("/pre fix \\\\$x/lib/quillfen/Quillfen Helper.app/Contents/MacOS/"
                          "quillfen-helper\"\n"));

    clock.restart();
    const auto stop = quillfen({"helper", "stop"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(stop.out, "Quillfen Helper stopped\n");
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(testing::waitForExit(pid, 0));
    status = quillfen({"helper", "status"});
    EXPECT_THAT(status.out, HasSubstr("running: no\nrunning version: —\nautostart: on\n"));
    // Its last readings, still fresh, are not what a running helper sees.
    EXPECT_THAT(status.out, HasSubstr("temperatures: — (the helper is not running;"));
    EXPECT_EQ(quillfen({"helper", "autostart", "off"}).out, "autostart off\n");
    EXPECT_FALSE(std::filesystem::exists(autostartEntry)) << "withdrawn for the stopped helper";

    const auto uninstall =
        run(kSource / "scripts" / "uninstall", {QString::fromStdString(prefix.string())});
    EXPECT_EQ(uninstall.status, 0) << uninstall.err;
    EXPECT_THAT(built({"helper", "status"}).out, ::testing::StartsWith("installed: no\npath: —\n"));
    EXPECT_FALSE(std::filesystem::exists(prefix / "bin" / "quillfen"));
    EXPECT_FALSE(std::filesystem::exists(autostartEntry));
}

TEST_F(HelperCommand, MisuseIsOneLineOnStandardErrorAndStatusTwo) {
    for (const char* line : {"", "frobnicate", "helper", "helper restart", "helper status now",
                             "helper autostart", "helper autostart maybe", "helper stop --force"}) {
        SCOPED_TRACE(line);
        const auto r = built(QString(line).split(' ', Qt::SkipEmptyParts));
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    const auto notInstalled = built({"helper", "start"});
    EXPECT_EQ(notInstalled.status, 1);
    EXPECT_EQ(notInstalled.err, "quillfen: Quillfen Helper is not installed\n");
}

} // namespace
} // namespace quillfen
