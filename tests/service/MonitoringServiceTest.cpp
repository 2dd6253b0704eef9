// The service's behaviour on the messaging port, without a bus: who gets what, and when.

#include "MonitoringService.h"

#include "TempDir.h"
#include "model/AppState.h"
#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

class MonitoringServiceTest : public ::testing::Test {
protected:
    MonitoringServiceTest() {
        fake.files->groupContainersRoot = dir.path();
        service->start([this](const std::string& e) { failures.push_back(e); });
        fake.queue->runUntilIdle(); // the first sample is in, and with it the name
    }

    platform::fake::FakeListener& listener() { return *fake.messaging->serviceListeners.at(0); }
    // A caller of the service, with a client endpoint of its own registered.
    struct Caller {
        std::shared_ptr<platform::fake::FakeConnection> peer;
        std::string endpoint;
        QuillfenServiceProtocol& calls() { return *peer->exportedService; }
    };
    Caller caller(const std::string& endpoint) {
        Caller c{listener().connectPeer(), endpoint};
        fake.messaging->endpointsOnBus.insert(endpoint);
        std::optional<bool> accepted;
        c.calls().registerClientWithEndpoint(endpoint, [&](bool ok) { accepted = ok; });
        EXPECT_EQ(accepted, true);
        return c;
    }
    platform::fake::FakeClientProxy& client(const std::string& endpoint) {
        return *fake.messaging->endpoints.at(endpoint)->client;
    }
    static std::string settingsWith(QFThemeChoice theme) {
        AppSettingsValues v;
        v.theme = v.menuBarTheme = theme;
        return *json::encode(v);
    }

    testing::TempDir dir;
    platform::fake::FakePlatform fake;
    const std::shared_ptr<MonitoringService> service = std::make_shared<MonitoringService>();
    std::vector<std::string> failures;
};

TEST_F(MonitoringServiceTest, TakesItsNameAfterTheFirstSampleAndSendsEachSnapshotToEveryClient) {
    EXPECT_TRUE(listener().resumed);
    EXPECT_EQ(listener().endpoint(), "com.brenvoll.pellgrove.service");
    auto a = caller(":1.7"), b = caller(":1.8");
    fake.queue->advance(1.0);
    fake.queue->advance(1.0);
    EXPECT_EQ(client(":1.7").snapshots.size(), 2u);
    EXPECT_EQ(client(":1.8").snapshots, client(":1.7").snapshots);
    EXPECT_TRUE(json::decode<SnapshotValues>(std::string_view(client(":1.7").snapshots.back())));
    EXPECT_TRUE(failures.empty());
}

TEST_F(MonitoringServiceTest, AnEndpointThatIsNotThereIsRefusedAndOneThatLeavesIsForgotten) {
    auto peer = listener().connectPeer();
    std::optional<bool> accepted;
    peer->exportedService->registerClientWithEndpoint(":1.99", [&](bool ok) { accepted = ok; });
    EXPECT_EQ(accepted, false);
    EXPECT_EQ(service->clientCount(), 0u);

    auto a = caller(":1.7");
    EXPECT_EQ(service->clientCount(), 1u);
    fake.messaging->endpoints.at(":1.7")->loseService();
    fake.queue->runUntilIdle();
    EXPECT_EQ(service->clientCount(), 0u);
}

TEST_F(MonitoringServiceTest, ThePopoverIsOpenWhileAnyCallerSaysSoAndCloseWhenItLeaves) {
    auto a = caller(":1.7"), b = caller(":1.8");
    a.calls().setPopoverOpen(true);
    b.calls().setPopoverOpen(true);
    a.calls().setPopoverOpen(false);
    EXPECT_TRUE(AppState::shared().popoverIsOpen());
    b.peer->loseService(); // left the bus with its popover open
    EXPECT_FALSE(AppState::shared().popoverIsOpen());
}

TEST_F(MonitoringServiceTest, AQuestionAfterAnOpeningIsAnsweredWithTheFullSampleItStarted) {
    auto a = caller(":1.7");
    fake.queue->advance(1.0);
    a.calls().setPopoverOpen(true);
    std::optional<std::string> answer;
    a.calls().currentSnapshotWithReply([&](std::string d) { answer = std::move(d); });
    EXPECT_FALSE(answer) << "waits for the sample the opening started";
    fake.queue->runUntilIdle();
    EXPECT_EQ(answer, client(":1.7").snapshots.back());
    // Without an opening, the latest document at once.
    std::optional<std::string> later;
    a.calls().currentSnapshotWithReply([&](std::string d) { later = std::move(d); });
    EXPECT_EQ(later, answer);
}

TEST_F(MonitoringServiceTest, SettingsGoToTheOtherCallersClientsAndBackOnlyWhenTheSenderWasBehind) {
    auto a = caller(":1.7"), b = caller(":1.8");
    // a stored its change, then sent what it knows.
    AppSettings::shared(); // loaded before the change, as in a running service
    fake.defaults->suiteNamed("group.com.brenvoll.pellgrove")
        ->setObject(std::string("light"), "theme");
    a.calls().applySettings(settingsWith(QFThemeChoice::light));
    EXPECT_EQ(AppSettings::shared().theme(), QFThemeChoice::light);
    EXPECT_TRUE(client(":1.7").settings.empty());
    ASSERT_EQ(client(":1.8").settings.size(), 1u);
    EXPECT_EQ(client(":1.8").settings[0], settingsWith(QFThemeChoice::light));

    // b sends an old document: the store wins, and b hears what is in force.
    b.calls().applySettings(settingsWith(QFThemeChoice::dual));
    EXPECT_EQ(AppSettings::shared().theme(), QFThemeChoice::light);
    EXPECT_EQ(client(":1.8").settings.size(), 2u);
    EXPECT_EQ(client(":1.8").settings[1], settingsWith(QFThemeChoice::light));
}

TEST_F(MonitoringServiceTest, BrokenOrOversizedSettingsAreDroppedUnread) {
    auto a = caller(":1.7"), b = caller(":1.8");
    for (const std::string& garbage :
         {std::string("garbage"), std::string(R"({"theme":"light"})"),
          std::string(MonitoringService::maximumDocumentBytes + 1, ' ')})
        a.calls().applySettings(garbage);
    EXPECT_TRUE(client(":1.8").settings.empty());
    EXPECT_TRUE(fake.defaults->suiteNamed("group.com.brenvoll.pellgrove")->objectForKey("theme") ==
                std::nullopt);
}

TEST_F(MonitoringServiceTest, ANameThatCannotBeTakenStopsTheService) {
    listener().fail("another process owns com.brenvoll.pellgrove.service");
    EXPECT_EQ(failures,
              std::vector<std::string>{"another process owns com.brenvoll.pellgrove.service"});
    const auto pending = fake.queue->pendingCount();
    fake.queue->advance(5.0);
    EXPECT_LE(fake.queue->pendingCount(), pending) << "no more sampling";
}

} // namespace
} // namespace quillfen
