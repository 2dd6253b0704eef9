#include "platform/linux/LinuxAlertPresenter.h"

#include "TempDir.h"
#include "platform/fake/FakeMainBundle.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace quillfen::platform::linux {
namespace {

using quillfen::testing::ScopedEnv;
using quillfen::testing::TempDir;

const Alert kAlert{
    AlertStyle::warning, "Move me", "It's — here.\n\nReally.", {"Quit", "Run Anyway"}};

// A stand-in for the alert program: records its arguments, one per line, and answers with
// the exit status the test chose.
class LinuxAlertPresenterTest : public ::testing::Test {
protected:
    std::filesystem::path standIn(const std::string& body) {
        const auto path = dir / "alert";
        quillfen::testing::writeText(path, "#!/bin/sh\n"
                                           "for a in \"$@\"; do printf '%s|' \"$a\" >> \"" +
                                               (dir / "args").string() + "\"; done\n" + body +
                                               "\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }

    TempDir dir;
};

TEST_F(LinuxAlertPresenterTest, TheTextsGoAsArgumentsAndTheExitStatusIsTheAnswer) {
    LinuxAlertPresenter presenter(nullptr, standIn("exit 101"));
    EXPECT_EQ(presenter.runModal(kAlert), 1001);
    EXPECT_EQ(quillfen::testing::readText(dir / "args"),
              "--style|warning|--message|Move me|--informative|"
              "It's — here.\n\nReally.|--button|Quit|--button|Run Anyway|");
    LinuxAlertPresenter first(nullptr, standIn("exit 100"));
    EXPECT_EQ(first.runModal(kAlert), 1000);
}

TEST_F(LinuxAlertPresenterTest, AnythingButAButtonMeansNotShown) {
    for (const char* body : {"exit 3", "exit 4", "exit 102", "exit 0", "kill -9 $$"}) {
        LinuxAlertPresenter presenter(nullptr, standIn(body));
        EXPECT_EQ(presenter.runModal(kAlert), std::nullopt) << body;
    }
    EXPECT_EQ(LinuxAlertPresenter(nullptr, dir / "missing").runModal(kAlert), std::nullopt);
    // Outside a bundle there is no alert program.
    EXPECT_EQ(LinuxAlertPresenter(std::make_shared<fake::FakeMainBundle>()).runModal(kAlert),
              std::nullopt);
}

// The real alert program shows nothing when nobody could see it.
TEST(AlertProgram, WithoutADisplayItAnswersNotShown) {
    const std::filesystem::path bundle = QUILLFEN_HELPER_BUNDLE;
    auto main = std::make_shared<fake::FakeMainBundle>();
    main->path = bundle;
    ScopedEnv display("DISPLAY", nullptr);
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    for (const char* platform : {static_cast<const char*>(nullptr), "offscreen"}) {
        ScopedEnv qpa("QT_QPA_PLATFORM", platform);
        EXPECT_EQ(LinuxAlertPresenter(main).runModal(kAlert), std::nullopt);
    }
    QProcess misuse;
    misuse.start(
        QString::fromStdString((bundle / "Contents" / "MacOS" / "quillfen-alert").string()),
        {"--message"});
    ASSERT_TRUE(misuse.waitForFinished());
    EXPECT_EQ(misuse.exitCode(), 2);
}

} // namespace
} // namespace quillfen::platform::linux
