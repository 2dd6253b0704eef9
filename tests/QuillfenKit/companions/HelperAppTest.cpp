#include "companions/HelperApp.h"
#include "support/ProductVersion.h"

#include "TempDir.h"
#include "platform/fake/FakePlatform.h"
#include "sensors/SensorBridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::VolumeResourceValues;
using platform::fake::FakeWorkspace;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempDir;

const std::string kID(HelperApp::bundleID);
const std::filesystem::path kBundle = "/home/u/Applications/Quillfen Helper.app";
const std::string kPage = "https://brenvoll.com/quillfen/download";

class HelperAppTest : public ::testing::Test {
protected:
    HelperAppTest() {
        fake.files->groupContainersRoot = dir.path();
        fake.mainBundle->info = json::Json{{"CFBundleShortVersionString", "2.3"}};
    }

    void install(std::optional<std::string> version,
                 const std::filesystem::path& bundle = kBundle) {
        fake.workspace->installed[kID] = bundle;
        json::Json info{{"CFBundleIdentifier", kID}};
        if (version) info["CFBundleShortVersionString"] = *version;
        fake.workspace->bundles[bundle] = info;
    }
    void uninstall() { fake.workspace->installed.clear(); }
    // A running helper that published `version` `age` seconds ago.
    void run(std::optional<std::string> version, double age = 0) {
        fake.workspace->running = {{kID, "Quillfen Helper", kBundle, 4242}};
        publish(std::move(version), age);
    }
    void publish(std::optional<std::string> version, double age = 0) {
        SensorBridge::write(SensorsPayload{{}, {}, fake.clock->now() - age, std::move(version)});
    }
    void quit() { fake.workspace->running.clear(); }

    std::optional<SensorControl> control() const { return SensorBridge::readControl(); }
    std::vector<FakeWorkspace::Launch> launches() const { return fake.workspace->launches; }
    platform::UserDefaults& store() { return *fake.defaults->suiteNamed(SensorBridge::groupID); }
    std::vector<std::string> logs() const { return fake.log->lines(); }

    TempDir dir;
    platform::fake::FakePlatform fake;
    const FakeWorkspace::Launch launchOfInstalled{kBundle, false};
};

TEST_F(HelperAppTest, OnlyABundleOnAPersistentVolumeIsInstalled) {
    struct Case {
        const char* volume;
        std::optional<VolumeResourceValues> values;
        bool installed;
    };
    const Case cases[] = {{"unknown to the system", std::nullopt, true},
                          {"local disk", VolumeResourceValues{false, false}, true},
                          {"flags not reported", VolumeResourceValues{}, true},
                          {"mounted read-only image", VolumeResourceValues{true, false}, false},
                          {"removable drive", VolumeResourceValues{false, true}, false}};
    install("1.1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        fake.volumeFlags->volumes.clear();
        if (c.values) fake.volumeFlags->volumes["/home/u"] = *c.values;
        EXPECT_EQ(HelperApp::isInstalled(), c.installed);
        EXPECT_EQ(HelperApp::installedURL(), c.installed ? std::optional(kBundle) : std::nullopt);
    }
}

TEST_F(HelperAppTest, InstalledVersionIsTheBundlesElseAFreshPayloads) {
    install("1.1");
    run("1.2");
    EXPECT_EQ(HelperApp::installedVersion(), "1.1");
    install(std::nullopt);
    EXPECT_EQ(HelperApp::installedVersion(), "1.2");
    fake.workspace->bundles[kBundle]["CFBundleShortVersionString"] = 1.1; // not text
    EXPECT_EQ(HelperApp::installedVersion(), "1.2");
    // Only on a mounted image: not installed, so the running helper's version.
    fake.volumeFlags->volumes["/home/u"] = VolumeResourceValues{true, false};
    fake.workspace->bundles[kBundle]["CFBundleShortVersionString"] = "1.1";
    EXPECT_EQ(HelperApp::installedVersion(), "1.2");
    publish("1.2", 6.5);
    EXPECT_EQ(HelperApp::installedVersion(), std::nullopt);
}

TEST_F(HelperAppTest, RunningVersionNeedsARunningHelperAndAFreshPayload) {
    install("1.1");
    publish("1.0");
    EXPECT_EQ(HelperApp::runningVersion(), std::nullopt);
    EXPECT_EQ(HelperApp::effectiveVersion(), "1.1");
    run("1.0", 6.0);
    EXPECT_EQ(HelperApp::effectiveVersion(), "1.0");

    // Seven seconds old: unknown, so counted unsupported, but not stopped on a guess.
    run("0.9", 7);
    EXPECT_EQ(HelperApp::runningVersion(), std::nullopt);
    EXPECT_TRUE(HelperApp::unsupportedHelperIsRunning());
    HelperApp::stopUnsupportedHelperIfNeeded();
    EXPECT_EQ(control(), std::nullopt);
    EXPECT_THAT(logs(), IsEmpty());
}

TEST_F(HelperAppTest, VersionGates) {
    struct Case {
        const char* situation;
        std::optional<std::string> installed; // "none" installs a bundle without a version
        std::optional<std::string> running;
        bool needsUpdate, isMidUpdate, unsupportedIsRunning;
    };
    const Case cases[] = {
        {"nothing installed", std::nullopt, std::nullopt, false, false, false},
        {"current, stopped", "1.0", std::nullopt, false, false, false},
        {"outdated, stopped", "0.9", std::nullopt, true, true, false},
        {"unversioned, stopped", "none", std::nullopt, false, true, false},
        {"updated while the old one runs", "1.1", "0.9", false, false, true},
        {"current, running", "1.10", "1.10", false, false, false},
        {"a bare 1 is below 1.0", "1", "1", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        uninstall();
        quit();
        std::filesystem::remove_all(dir / "group.com.brenvoll.pellgrove");
        if (c.installed) install(c.installed == "none" ? std::nullopt : c.installed);
        if (c.running) run(c.running);
        EXPECT_EQ(HelperApp::needsUpdate(), c.needsUpdate);
        EXPECT_EQ(HelperApp::isMidUpdate(), c.isMidUpdate);
        EXPECT_EQ(HelperApp::unsupportedHelperIsRunning(), c.unsupportedIsRunning);
    }
    EXPECT_FALSE(HelperApp::isSupported(std::nullopt)) << "a version that cannot be read";
}

TEST_F(HelperAppTest, StartClearsAStopRequestKeepsAutostartAndReportsOnTheMainQueue) {
    std::vector<std::optional<std::string>> reported;
    const auto record = [&](std::optional<std::string> error) { reported.push_back(error); };
    SensorBridge::writeControl(SensorControl{true, 1000});
    HelperApp::start(record); // not installed: nothing happens
    EXPECT_EQ(control(), (SensorControl{true, 1000}));

    install("1.0");
    HelperApp::start(record);
    EXPECT_EQ(control(), (SensorControl{true, std::nullopt}));
    EXPECT_THAT(launches(), ElementsAre(launchOfInstalled));
    fake.workspace->launchError = "execv: Permission denied";
    HelperApp::start(record);
    EXPECT_THAT(reported, IsEmpty());
    fake.queue->runUntilIdle();
    EXPECT_THAT(reported, ElementsAre("Quillfen Helper is not installed", std::nullopt,
                                      "execv: Permission denied"));
    EXPECT_THAT(logs(),
                ElementsAre("Quillfen: failed to start Quillfen Helper: execv: Permission denied"));
}

TEST_F(HelperAppTest, LaunchAtLogin) {
    install("1.0");
    EXPECT_FALSE(HelperApp::launchAtLogin());

    // Switching it off leaves a pending stop request in place.
    SensorBridge::writeControl(SensorControl{true, 1000});
    HelperApp::setLaunchAtLogin(false);
    EXPECT_EQ(control(), (SensorControl{false, 1000}));
    EXPECT_FALSE(HelperApp::launchAtLogin());
    EXPECT_THAT(launches(), IsEmpty());
    // Stopped, the helper cannot withdraw its login item, so it is withdrawn for it.
    using Call = platform::fake::FakeLoginItems::Call;
    EXPECT_THAT(fake.loginItems->apps, ElementsAre(std::pair(Call::unregistered, kID)));

    // Switching it on withdraws the request and starts the installed, stopped helper.
    HelperApp::setLaunchAtLogin(true);
    EXPECT_EQ(control(), (SensorControl{true, std::nullopt}));
    EXPECT_TRUE(HelperApp::launchAtLogin());
    EXPECT_THAT(launches(), ElementsAre(launchOfInstalled));

    // A running helper is not started again, nor one that is not installed; a running one
    // withdraws its own login item.
    run("1.0");
    HelperApp::setLaunchAtLogin(true);
    HelperApp::setLaunchAtLogin(false);
    EXPECT_EQ(fake.loginItems->apps.size(), 1u);
    quit();
    uninstall();
    HelperApp::setLaunchAtLogin(true);
    EXPECT_EQ(launches().size(), 1u);
    fake.loginItems->error = "Permission denied";
    HelperApp::setLaunchAtLogin(false);
    EXPECT_THAT(logs(), ElementsAre("Quillfen: login-item update failed: Permission denied"));
}

TEST_F(HelperAppTest, NothingStartsForAWishThatCannotBeRecorded) {
    install("1.0");
    // A file where the container belongs: nothing can be written into it, not even by root.
    testing::writeText(dir.path() / SensorBridge::groupID, "");
    HelperApp::setLaunchAtLogin(true);
    EXPECT_FALSE(HelperApp::launchAtLogin());
    EXPECT_THAT(launches(), IsEmpty()) << "a helper started now could not be asked to stop";
}

TEST_F(HelperAppTest, BeginUpdateStopsARunningHelperAndOpensThePageForTheNeededVersion) {
    SensorBridge::writeControl(SensorControl{true, std::nullopt});
    run("0.9");
    EXPECT_TRUE(HelperApp::beginUpdate());
    EXPECT_EQ(control(), (SensorControl{true, fake.clock->now()}));
    run("0.9", 30); // running, but its version is unknown
    HelperApp::beginUpdate();
    EXPECT_THAT(logs(), ElementsAre("Quillfen: stopping helper 0.9 so the update installs cleanly",
                                    "Quillfen: stopping helper ? so the update installs cleanly"));

    quit();
    std::filesystem::remove(dir / "group.com.brenvoll.pellgrove" / "control.json");
    fake.workspace->openURLSucceeds = false;
    EXPECT_FALSE(HelperApp::beginUpdate());
    EXPECT_EQ(logs().size(), 2u);
    EXPECT_EQ(control(), std::nullopt);
    EXPECT_EQ(fake.workspace->openedURLs,
              std::vector<std::string>(3, kPage + "?app=2.3&helper=1.0"));
}

TEST_F(HelperAppTest, DownloadPageCarriesTheAppVersionAndTheNeededHelperVersion) {
    EXPECT_EQ(HelperApp::downloadURL(), kPage);
    EXPECT_EQ(HelperApp::downloadURL(std::nullopt), kPage + "?app=2.3");
    EXPECT_TRUE(HelperApp::openDownloadPage());

    // Outside a bundle, as the command-line client runs: the version it was built as.
    fake.mainBundle->info.reset();
    EXPECT_EQ(HelperApp::downloadURL(std::nullopt),
              kPage + "?app=" + std::string(productVersion()));
    EXPECT_THAT(std::string(productVersion()), ::testing::MatchesRegex("[0-9]+(\\.[0-9]+)*"));
}

TEST_F(HelperAppTest, AutoStartsOnceAfterEachInstallation) {
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_EQ(store().objectForKey("helperAutoStartedAfterInstall"),
              std::optional<platform::DefaultsValue>(false));

    install("0.9"); // too old to start
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_FALSE(store().boolForKey("helperAutoStartedAfterInstall"));

    install("1.0");
    HelperApp::autoStartAfterInstallIfNeeded();
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_TRUE(store().boolForKey("helperAutoStartedAfterInstall"));
    EXPECT_THAT(launches(), ElementsAre(launchOfInstalled));
    EXPECT_THAT(logs(), ElementsAre("Quillfen: helper newly installed — starting it once"));

    // Removed and installed again: started once more.
    uninstall();
    HelperApp::autoStartAfterInstallIfNeeded();
    install("1.0");
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_EQ(launches().size(), 2u);

    // Installed while it already runs: the guard is set, nothing is started or logged.
    uninstall();
    HelperApp::autoStartAfterInstallIfNeeded();
    install("1.1");
    run("1.1");
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_TRUE(store().boolForKey("helperAutoStartedAfterInstall"));
    EXPECT_EQ(launches().size(), 2u);
    EXPECT_EQ(logs().size(), 2u);
}

TEST_F(HelperAppTest, RestartsEachStaleVersionPairOnceTwoAndAHalfSecondsAfterStoppingIt) {
    SensorBridge::writeControl(SensorControl{true, std::nullopt});
    install("1.1");
    run("1.0");
    HelperApp::restartIfStaleVersionRunning();
    EXPECT_EQ(store().stringForKey("helperStaleVersionSwap"), "1.0->1.1");
    EXPECT_THAT(
        logs(),
        ElementsAre("Quillfen: helper 1.0 is running but 1.1 is installed — restarting it"));
    EXPECT_EQ(control(), (SensorControl{true, fake.clock->now()}));

    quit(); // the old helper obeys the request
    fake.queue->advance(2.49);
    EXPECT_THAT(launches(), IsEmpty());
    fake.queue->advance(0.01);
    EXPECT_THAT(launches(), ElementsAre(launchOfInstalled));
    EXPECT_EQ(control(), (SensorControl{true, std::nullopt}));

    run("1.0"); // the same pair again
    HelperApp::restartIfStaleVersionRunning();
    fake.queue->advance(5);
    EXPECT_EQ(launches().size(), 1u);
    EXPECT_EQ(logs().size(), 1u);

    install("1.2");
    run("1.1");
    HelperApp::restartIfStaleVersionRunning();
    EXPECT_EQ(store().stringForKey("helperStaleVersionSwap"), "1.1->1.2");
    fake.queue->advance(2.5);
    EXPECT_EQ(launches().size(), 2u);

    install("1.2");
    run("1.2");
    HelperApp::restartIfStaleVersionRunning();
    EXPECT_EQ(fake.queue->pendingCount(), 0u);
    EXPECT_EQ(logs().size(), 2u);
}

TEST_F(HelperAppTest, StopsEachOutdatedRunningVersionOnce) {
    install("1.0");
    run("1.0");
    HelperApp::stopUnsupportedHelperIfNeeded();
    EXPECT_EQ(control(), std::nullopt);

    run("0.9");
    HelperApp::stopUnsupportedHelperIfNeeded();
    EXPECT_EQ(control(), (SensorControl{false, fake.clock->now()}));
    EXPECT_EQ(store().stringForKey("helperStoppedUnsupported"), "0.9");
    EXPECT_THAT(logs(),
                ElementsAre("Quillfen: helper 0.9 is below the required 1.0 — stopping it"));

    // The user starts 0.9 again on purpose: it is left alone.
    fake.clock->advance(10);
    HelperApp::start();
    run("0.9");
    HelperApp::stopUnsupportedHelperIfNeeded();
    EXPECT_EQ(control(), (SensorControl{false, std::nullopt}));
    EXPECT_EQ(logs().size(), 1u);
}

TEST_F(HelperAppTest, TheGuardsFallBackToTheStandardDefaultsWithoutTheSharedSuite) {
    fake.defaults->refuseSuites = true;
    install("1.0");
    HelperApp::autoStartAfterInstallIfNeeded();
    EXPECT_TRUE(fake.defaults->standard->boolForKey("helperAutoStartedAfterInstall"));
}

TEST_F(HelperAppTest, RunningFromADiskImageMeansOwnBundleOnAReadOnlyOrRemovableVolume) {
    EXPECT_FALSE(HelperApp::isRunningFromDiskImage()); // not in a bundle
    fake.mainBundle->path = "/media/u/Quillfen/Quillfen Helper.app";
    EXPECT_FALSE(HelperApp::isRunningFromDiskImage());
    fake.volumeFlags->volumes["/media/u/Quillfen"] = VolumeResourceValues{true, false};
    EXPECT_TRUE(HelperApp::isRunningFromDiskImage());
    fake.volumeFlags->volumes["/media/u/Quillfen"] = VolumeResourceValues{false, true};
    EXPECT_TRUE(HelperApp::isRunningFromDiskImage());
}

} // namespace
} // namespace quillfen
