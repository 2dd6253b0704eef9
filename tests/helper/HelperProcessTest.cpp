// The built helper as a user runs it: a real process, real files, real time.

#include "ProcessWait.h"
#include "TempDir.h"
#include "platform/linux/FileIO.h"
#include "sensors/SensorsPayload.h"

#include <QFileSystemWatcher>
#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>

namespace quillfen {
namespace {

using testing::TempDir;

const std::filesystem::path kBundle = QUILLFEN_HELPER_BUNDLE;
const std::filesystem::path kExecutable = kBundle / "Contents" / "MacOS" / "quillfen-helper";

class HelperProcess : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(container);
        std::filesystem::create_directories(sensorsFolder);
        std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    void start(const std::filesystem::path& exe) {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", QString::fromStdString(dir.path().string()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString((dir / "run").string()));
        // The helper keeps its login item in the config folder: the user's must stay untouched.
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
        process.setProcessEnvironment(env);
        process.setProgram(QString::fromStdString(exe.string()));
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        ASSERT_TRUE(process.waitForStarted());
    }

    // Waits, without polling, for the helper to replace its file with a payload newer than
    // `after`; gives up when the helper ends or after a generous deadline.
    std::optional<SensorsPayload> nextPayload(double after) {
        QFileSystemWatcher watcher({QString::fromStdString(sensorsFolder.string())});
        std::optional<SensorsPayload> p;
        const auto fresh = [&] {
            const auto text = readFile(sensorsFile, 1 << 16);
            p = text ? json::decode<SensorsPayload>(std::string_view(*text)) : std::nullopt;
            return p && p->sampledAt > after;
        };
        testing::spinUntil([&] { return fresh() || process.state() == QProcess::NotRunning; },
                           8000);
        return fresh() ? p : std::nullopt;
    }

    TempDir dir;
    const std::filesystem::path container = dir / "group.com.brenvoll.pellgrove";
    // In the runtime folder the test gives the helper.
    const std::filesystem::path sensorsFolder = dir / "run" / "group.com.brenvoll.pellgrove";
    const std::filesystem::path sensorsFile = sensorsFolder / "sensors.json";
    QProcess process;
};

TEST_F(HelperProcess, FromItsBundleRewritesSensorsEverySecondWithItsVersion) {
    start(kExecutable);
    const auto first = nextPayload(0);
    ASSERT_TRUE(first);
    const auto second = nextPayload(first->sampledAt);
    ASSERT_TRUE(second);
    const auto third = nextPayload(second->sampledAt);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->helperVersion, "1.0");
    EXPECT_NEAR(third->sampledAt - second->sampledAt, 1.0, 0.5);

    // Stopped politely, it leaves through its event loop with status 0 and nothing behind.
    process.terminate();
    ASSERT_TRUE(process.waitForFinished());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sensorsFolder), {}), 1);
    // Nothing of it went to the disk.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(container), {}), 0);
}

TEST_F(HelperProcess, OutsideABundleWritesNoVersion) {
    const auto loose = dir / "bin" / "quillfen-helper";
    std::filesystem::create_directories(loose.parent_path());
    std::filesystem::copy_file(kExecutable, loose);
    start(loose);
    const auto first = nextPayload(0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->helperVersion);
    EXPECT_EQ(readFile(sensorsFile, 1 << 16)->find("helperVersion"), std::string::npos);
}

TEST_F(HelperProcess, AStopRequestNewerThanTheLaunchEndsItBeforeAnyPayload) {
    const double later =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() +
        3600;
    testing::writeText(container / "control.json",
                       R"({"autostart":false,"stopRequestedAt":)" + std::to_string(later) + "}");
    start(kExecutable);
    ASSERT_TRUE(process.waitForFinished(8000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(sensorsFile));
}

// `--print` shows one payload from a captured machine and exits.
testing::Ran print(const QStringList& args, const std::filesystem::path& sysfs = {}) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLFEN_SYSFS_ROOT", QString::fromStdString(sysfs.string()));
    return testing::runToEnd(QString::fromStdString(kExecutable.string()), args, env);
}

TEST(HelperPrint, ShowsFansAndTemperaturesOfACapturedMachine) {
    const auto ran =
        print({"--print"}, std::filesystem::path(QUILLFEN_FIXTURES) / "sysfs/amd-desktop");
    EXPECT_EQ(ran.status, 0);
    EXPECT_TRUE(ran.out.ends_with("}\n"));
    const auto amd = json::decode<SensorsPayload>(std::string_view(ran.out));
    ASSERT_TRUE(amd);
    EXPECT_EQ(amd->fan, (FanReading{1045, 3, std::vector<double>{1045, 0, 870}, 200, 2000}));
    EXPECT_EQ(amd->thermal, (ThermalReading{68.5, 50, 42.5, std::nullopt, 44.85}));
    EXPECT_EQ(amd->helperVersion, "1.0");
}

TEST(HelperPrint, RefusesUnknownArguments) {
    const auto ran = print({"--frobnicate"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_TRUE(ran.err.starts_with("usage: "));
}

} // namespace
} // namespace quillfen
