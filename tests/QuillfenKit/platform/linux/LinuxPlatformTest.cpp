#include "platform/linux/LinuxFileManager.h"
#include "platform/linux/LinuxMainBundle.h"
#include "platform/linux/LinuxMainQueue.h"

#include "ProcessWait.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::ScopedEnv;
using quillfen::testing::spinUntil;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;

TEST(LinuxMainQueue, AsyncFromAnotherThreadRunsOnTheMainThread) {
    LinuxMainQueue queue;
    std::thread::id ranOn;
    bool ran = false;
    std::thread worker([&] {
        queue.async([&] {
            ranOn = std::this_thread::get_id();
            ran = true;
        });
    });
    worker.join();
    ASSERT_TRUE(spinUntil([&] { return ran; }, 5000));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(LinuxMainQueue, CancelledWorkDoesNotRunAndTimersRepeat) {
    LinuxMainQueue queue;
    bool cancelledRan = false;
    auto cancelled = queue.asyncAfter(0.001, [&] { cancelledRan = true; });
    cancelled.cancel();
    int ticks = 0;
    Cancellable timer;
    timer = queue.repeating(0.001, [&] {
        if (++ticks == 3) timer.cancel();
    });
    bool later = false;
    queue.asyncAfter(0.02, [&] { later = true; });
    ASSERT_TRUE(spinUntil([&] { return later; }, 5000));
    EXPECT_FALSE(cancelledRan);
    EXPECT_EQ(ticks, 3);
}

TEST(LinuxMainQueue, CancellingWorkThatRanLeavesLaterTimersAlone) {
    LinuxMainQueue queue;
    bool first = false;
    auto done = queue.asyncAfter(0.001, [&] { first = true; });
    ASSERT_TRUE(spinUntil([&] { return first; }, 5000));
    // Timer numbers are handed out again; the next timer may well get the one just freed.
    bool second = false;
    queue.asyncAfter(0.005, [&] { second = true; });
    done.cancel();
    EXPECT_TRUE(spinUntil([&] { return second; }, 5000));
}

class LinuxMainBundleTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path bundle = dir / "Quillfen Helper.app";
    std::filesystem::path exe = bundle / "Contents" / "MacOS" / "quillfen-helper";
};

TEST_F(LinuxMainBundleTest, ReadsTheInfoDictionaryOfTheEnclosingBundleIfItIsAnObject) {
    writeText(bundle / "Contents" / "Info.json", R"({"CFBundleShortVersionString":"1.2"})");
    LinuxMainBundle main(exe);
    EXPECT_EQ(main.bundlePath(), bundle);
    EXPECT_EQ(main.infoDictionary(), json::parse(R"({"CFBundleShortVersionString":"1.2"})"));

    EXPECT_FALSE(LinuxMainBundle(dir / "bin" / "quillfen-helper").bundlePath());
    EXPECT_FALSE(LinuxMainBundle(dir / "x.app" / "Contents" / "bin" / "h").bundlePath());
    for (const char* notAnObject : {R"(["not", "an", "object"])", "{garbage"}) {
        writeText(bundle / "Contents" / "Info.json", notAnObject);
        EXPECT_FALSE(LinuxMainBundle(exe).infoDictionary()) << notAnObject;
    }
}

TEST(LinuxFileManager, GroupContainerFollowsTheXdgDataFolder) {
    LinuxFileManager files;
    {
        ScopedEnv data("XDG_DATA_HOME", "/data/home");
        EXPECT_EQ(files.containerForSecurityApplicationGroup("group.x"),
                  std::filesystem::path("/data/home/group.x"));
    }
    {
        ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(files.containerForSecurityApplicationGroup("group.x"),
                  std::filesystem::path("/home/someone/.local/share/group.x"));
        EXPECT_EQ(files.homeDirectoryForCurrentUser(), std::filesystem::path("/home/someone"));
    }
    EXPECT_FALSE(files.containerForSecurityApplicationGroup("../escape"));
    EXPECT_FALSE(files.containerForSecurityApplicationGroup(""));
}

TEST(LinuxFileManager, RuntimeFolderOnlyWhenPrivateToTheUser) {
    TempDir dir;
    const auto make = [&](const char* name, std::filesystem::perms perms) {
        std::filesystem::create_directory(dir / name);
        std::filesystem::permissions(dir / name, perms);
        return (dir / name).string();
    };
    using std::filesystem::perms;
    const auto good = make("good", perms::owner_all);
    const auto open = make("open", perms::owner_all | perms::group_read | perms::group_exec |
                                       perms::others_read | perms::others_exec);
    const auto sticky = make("sticky", perms::all | perms::sticky_bit); // like /dev/shm
    writeText(dir / "file", "");
    LinuxFileManager files;
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", good.c_str());
        EXPECT_EQ(files.runtimeDirectory(), std::filesystem::path(good));
    }
    for (const std::string& unusable :
         {open, sticky, (dir / "file").string(), (dir / "missing").string(),
          std::string("relative/run"), std::string()}) {
        ScopedEnv runtime("XDG_RUNTIME_DIR", unusable.c_str());
        EXPECT_FALSE(files.runtimeDirectory()) << unusable;
    }
    ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_FALSE(files.runtimeDirectory());
}

} // namespace
} // namespace quillfen::platform::linux
