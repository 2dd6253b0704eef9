#include "platform/linux/LinuxUserDefaults.h"

#include "TempDir.h"
#include "platform/fake/FakeFileManager.h"
#include "support/Json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::readText;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;
using Strings = std::vector<std::string>;
using ::testing::HasSubstr;
using ::testing::Optional;

class LinuxUserDefaultsTest : public ::testing::Test {
protected:
    json::Json stored() const { return json::parse(readText(file)).value_or(json::Json()); }
    // The contents of every copy set aside, sorted.
    std::vector<std::string> setAside() const {
        std::vector<std::string> contents;
        for (const auto& e : std::filesystem::directory_iterator(file.parent_path()))
            if (e.path().filename().string().starts_with(file.filename().string() + ".unreadable"))
                contents.push_back(readText(e.path()));
        std::sort(contents.begin(), contents.end());
        return contents;
    }

    TempDir dir;
    const std::filesystem::path file = dir / "Preferences" / "group.com.brenvoll.pellgrove.json";
};

TEST_F(LinuxUserDefaultsTest, BooleansTextsAndArraysOfTextsKeepTheirKinds) {
    {
        LinuxUserDefaults store(file);
        EXPECT_TRUE(store.setBool(true, "flag"));
        store.setObject(std::string("true"), "text");
        store.setObject(Strings{"cpu"}, "list");
        store.setObject(Strings{}, "empty");
        EXPECT_EQ(store.problem(), std::nullopt);
    }
    EXPECT_EQ(stored(), json::parse(R"({"empty":[],"flag":true,"list":["cpu"],"text":"true"})"));

    LinuxUserDefaults reopened(file);
    EXPECT_TRUE(reopened.boolForKey("flag"));
    EXPECT_FALSE(reopened.boolForKey("text"));
    EXPECT_EQ(reopened.stringForKey("text"), "true");
    EXPECT_EQ(reopened.stringForKey("list"), std::nullopt);
    EXPECT_EQ(reopened.stringArrayForKey("list"), Strings{"cpu"});
    EXPECT_EQ(reopened.stringArrayForKey("empty"), Strings{});
    EXPECT_EQ(reopened.stringArrayForKey("text"), std::nullopt);
    EXPECT_EQ(reopened.objectForKey("missing"), std::nullopt);
}

TEST_F(LinuxUserDefaultsTest, TwoProcessesSharingTheStoreSeeEachOthersWrites) {
    LinuxUserDefaults a(file), b(file);
    a.setObject(std::string("1.0->1.1"), "helperStaleVersionSwap");
    EXPECT_EQ(b.stringForKey("helperStaleVersionSwap"), "1.0->1.1");
    b.setObject(std::string("1.1->1.2"), "helperStaleVersionSwap");
    EXPECT_EQ(a.stringForKey("helperStaleVersionSwap"), "1.1->1.2");
    a.removeObjectForKey("helperStaleVersionSwap");
    EXPECT_EQ(b.objectForKey("helperStaleVersionSwap"), std::nullopt);
}

TEST_F(LinuxUserDefaultsTest, WritersOfDifferentKeysInManyProcessesLoseNothing) {
    constexpr int kWriters = 4, kRounds = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            LinuxUserDefaults store(file);
            bool ok = true;
            for (int r = 0; r <= kRounds; ++r)
                ok = store.setObject(std::to_string(r), "key" + std::to_string(w)) && ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    LinuxUserDefaults store(file);
    for (int w = 0; w < kWriters; ++w)
        EXPECT_EQ(store.stringForKey("key" + std::to_string(w)), std::to_string(kRounds)) << w;
}

TEST_F(LinuxUserDefaultsTest, ValuesOfOtherKindsSurviveARewriteUnread) {
    writeText(file, R"({"count":5,"nested":{"a":[1,null]},"mixed":["a",1],"flag":false})");
    LinuxUserDefaults store(file);
    EXPECT_EQ(store.objectForKey("count"), std::nullopt);
    EXPECT_EQ(store.stringArrayForKey("mixed"), std::nullopt);
    store.setBool(true, "flag");
    EXPECT_EQ(stored(),
              json::parse(R"({"count":5,"flag":true,"mixed":["a",1],"nested":{"a":[1,null]}})"));
}

TEST_F(LinuxUserDefaultsTest, AFileThatDoesNotParseIsReadAsEmptyAndSetAsideOnlyByAWrite) {
    const std::pair<std::string, std::string> broken[] = {
        {"{not json", "does not parse"},
        {"[1,2]", "does not parse"},
        {std::string(json::kMaxDocumentBytes + 1, ' '), "is larger than 1 MiB"}};
    std::vector<std::string> expected;
    for (const auto& [content, said] : broken) {
        writeText(file, content);
        LinuxUserDefaults store(file);
        EXPECT_EQ(store.objectForKey("flag"), std::nullopt);
        EXPECT_THAT(store.problem(), Optional(HasSubstr(said)));
        EXPECT_EQ(readText(file), content) << "a read moves nothing";

        EXPECT_TRUE(store.setBool(true, "flag"));
        EXPECT_EQ(stored(), json::parse(R"({"flag":true})"));
        EXPECT_THAT(store.problem(), Optional(HasSubstr(".unreadable-")))
            << "the write says where the old file went";
        EXPECT_TRUE(store.boolForKey("flag"));
        EXPECT_EQ(store.problem(), std::nullopt);
        expected.push_back(content);
    }
    // Each broken file keeps a copy of its own; none replaces an earlier one.
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(setAside(), expected);
}

TEST_F(LinuxUserDefaultsTest, AStoreThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be cannot be read, even by root.
    std::filesystem::create_directories(file / "inside");
    LinuxUserDefaults store(file);
    EXPECT_EQ(store.objectForKey("flag"), std::nullopt);
    EXPECT_THAT(store.problem(), Optional(HasSubstr("cannot read")));
    EXPECT_FALSE(store.setBool(true, "flag"));
    EXPECT_THAT(store.problem(), Optional(HasSubstr("nothing was saved")));
    EXPECT_TRUE(std::filesystem::is_directory(file / "inside"));
}

TEST_F(LinuxUserDefaultsTest, AWriteThatCannotReachTheFileFailsAndSaysWhy) {
    // A file where the folder should be: no folder can be made there, even by root.
    writeText(dir / "Preferences", "");
    LinuxUserDefaults store(file);
    EXPECT_FALSE(store.setBool(true, "flag"));
    EXPECT_THAT(store.problem(), Optional(HasSubstr("cannot save")));
    EXPECT_FALSE(LinuxUserDefaults({}).setBool(true, "flag")) << "no home, nowhere to write";
}

TEST(LinuxUserDefaultsSuites, WhereEachStoreLives) {
    using std::filesystem::exists;
    TempDir dir;
    auto files = std::make_shared<fake::FakeFileManager>();
    files->groupContainersRoot = dir / "data";
    LinuxUserDefaultsSuites suites(files, dir / "config" / "quillfen");

    const auto group = suites.suiteNamed("group.com.brenvoll.pellgrove");
    ASSERT_TRUE(group);
    EXPECT_EQ(group, suites.suiteNamed("group.com.brenvoll.pellgrove"));
    group->setBool(true, "k");
    EXPECT_TRUE(exists(dir / "data/group.com.brenvoll.pellgrove/Library/Preferences/"
                             "group.com.brenvoll.pellgrove.json"));
    suites.standardUserDefaults()->setBool(true, "k");
    EXPECT_TRUE(exists(dir / "config/quillfen/defaults.json"));
    suites.suiteNamed("com.brenvoll.pellgrove.menu")->setBool(true, "k");
    EXPECT_TRUE(exists(dir / "config/quillfen/com.brenvoll.pellgrove.menu.json"));

    for (const char* bad : {"", "..", ".hidden", "a/b"})
        EXPECT_EQ(suites.suiteNamed(bad), nullptr) << bad;
    files->groupContainersRoot.reset();
    EXPECT_EQ(suites.suiteNamed("group.other"), nullptr);
}

} // namespace
} // namespace quillfen::platform::linux
