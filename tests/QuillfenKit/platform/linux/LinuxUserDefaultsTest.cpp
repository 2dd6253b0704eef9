#include "platform/linux/LinuxUserDefaults.h"

#include "TempDir.h"
#include "platform/fake/FakeFileManager.h"
#include "support/Json.h"

#include <gtest/gtest.h>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::readText;
using quillfen::testing::TempDir;
using quillfen::testing::writeText;
using Strings = std::vector<std::string>;

class LinuxUserDefaultsTest : public ::testing::Test {
protected:
    json::Json stored() const { return json::parse(readText(file)).value_or(json::Json()); }
    std::string setAside() const { return readText(file.string() + ".unreadable"); }

    TempDir dir;
    const std::filesystem::path file = dir / "Preferences" / "group.com.brenvoll.pellgrove.json";
};

TEST_F(LinuxUserDefaultsTest, BooleansTextsAndArraysOfTextsKeepTheirKinds) {
    {
        LinuxUserDefaults store(file);
        store.setBool(true, "flag");
        store.setObject(std::string("true"), "text");
        store.setObject(Strings{"cpu"}, "list");
        store.setObject(Strings{}, "empty");
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

TEST_F(LinuxUserDefaultsTest, ValuesOfOtherKindsSurviveARewriteUnread) {
    writeText(file, R"({"count":5,"nested":{"a":[1,null]},"mixed":["a",1],"flag":false})");
    LinuxUserDefaults store(file);
    EXPECT_EQ(store.objectForKey("count"), std::nullopt);
    EXPECT_EQ(store.stringArrayForKey("mixed"), std::nullopt);
    store.setBool(true, "flag");
    EXPECT_EQ(stored(),
              json::parse(R"({"count":5,"flag":true,"mixed":["a",1],"nested":{"a":[1,null]}})"));
}

TEST_F(LinuxUserDefaultsTest, AnUnreadableFileIsMovedAsideRatherThanOverwritten) {
    for (const std::string& content : {std::string("{not json"), std::string("[1,2]"),
                                       std::string(json::kMaxDocumentBytes + 1, ' ')}) {
        writeText(file, content);
        LinuxUserDefaults store(file);
        EXPECT_EQ(store.objectForKey("flag"), std::nullopt);
        store.setBool(true, "flag");
        EXPECT_EQ(stored(), json::parse(R"({"flag":true})"));
        EXPECT_EQ(setAside(), content);
    }
}

TEST_F(LinuxUserDefaultsTest, AFileThatStopsParsingWhileOpenIsMovedAsideNotWipedByTheNextWrite) {
    LinuxUserDefaults store(file);
    store.setBool(true, "a");
    store.setObject(std::string("x"), "b");
    // Another process, or a hand edit, leaves the file broken.
    writeText(file, R"({"a":true,"b":"x","c":)");
    store.setBool(false, "d");
    EXPECT_EQ(setAside(), R"({"a":true,"b":"x","c":)");
    EXPECT_EQ(stored(), json::parse(R"({"d":false})"));
}

TEST(LinuxUserDefaultsSuites, WhereEachStoreLives) {
    TempDir dir;
    auto files = std::make_shared<fake::FakeFileManager>();
    files->groupContainersRoot = dir / "data";
    LinuxUserDefaultsSuites suites(files, dir / "config" / "quillfen");

    const auto group = suites.suiteNamed("group.com.brenvoll.pellgrove");
    ASSERT_TRUE(group);
    EXPECT_EQ(group, suites.suiteNamed("group.com.brenvoll.pellgrove"));
    group->setBool(true, "k");
    EXPECT_TRUE(std::filesystem::exists(dir / "data" / "group.com.brenvoll.pellgrove" / "Library" /
                                        "Preferences" / "group.com.brenvoll.pellgrove.json"));
    suites.standardUserDefaults()->setBool(true, "k");
    EXPECT_TRUE(std::filesystem::exists(dir / "config" / "quillfen" / "defaults.json"));
    suites.suiteNamed("com.brenvoll.pellgrove.menu")->setBool(true, "k");
    EXPECT_TRUE(
        std::filesystem::exists(dir / "config" / "quillfen" / "com.brenvoll.pellgrove.menu.json"));

    for (const char* bad : {"", "..", ".hidden", "a/b"})
        EXPECT_EQ(suites.suiteNamed(bad), nullptr) << bad;
    files->groupContainersRoot.reset();
    EXPECT_EQ(suites.suiteNamed("group.other"), nullptr);
}

} // namespace
} // namespace quillfen::platform::linux
