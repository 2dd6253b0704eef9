#include "xpc/XPCClient.h"

#include "model/ClientSnapshotStore.h"
#include "platform/fake/FakePlatform.h"
#include "settings/AppSettings.h"
#include "xpc/QuillfenXPC.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using platform::fake::FakeConnection;
using ::testing::ElementsAre;

// A client started on a fake platform.
class XPCClientTest : public ::testing::Test {
protected:
    XPCClientTest() { client->start(); }

    FakeConnection& connection(std::size_t i = 0) { return *fake.messaging->connections.at(i); }
    std::vector<std::string> logLines() const { return fake.log->lines(); }

    platform::fake::FakePlatform fake;
    AppSettings& settings = AppSettings::shared();
    std::shared_ptr<XPCClient> client = std::make_shared<XPCClient>();
};

TEST_F(XPCClientTest, StartConnectsOnceRegistersTheListenerAndPushesTheSettings) {
    AppSettings::onLocalChange = [] { FAIL() << "start() ran twice"; };
    client->start();
    AppSettings::onLocalChange = nullptr;
    ASSERT_EQ(fake.messaging->connections.size(), 1u);
    auto& c = connection();
    EXPECT_EQ(c.serviceName, "com.brenvoll.pellgrove.service");
    EXPECT_EQ(c.remoteInterface, QuillfenXPC::serviceInterface());
    EXPECT_EQ(c.exportedInterface, QuillfenXPC::clientInterface());
    EXPECT_TRUE(c.resumed);
    ASSERT_EQ(c.service->registrations.size(), 1u);
    EXPECT_EQ(c.service->registrations[0].endpoint, ":fake.1");
    EXPECT_EQ(c.service->settings, std::vector<std::string>{*json::encode(settings.values())});
}

TEST_F(XPCClientTest, LocalChangesArePushedWholeOnlyWhileConnectedAndNotWhileApplyingRemote) {
    auto& sent = connection().service->settings;
    sent.clear();
    settings.setTheme(QFThemeChoice::light);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(json::decode<AppSettingsValues>(std::string_view(sent[0]))->theme,
              QFThemeChoice::light);

    client->isApplyingRemoteChange = true;
    settings.setTheme(QFThemeChoice::dual);
    client->isApplyingRemoteChange = false;
    EXPECT_EQ(sent.size(), 1u);

    connection().loseService();
    fake.queue->runUntilIdle(); // the loss is handled; the reconnect waits a second
    settings.setTheme(QFThemeChoice::mono);
    EXPECT_EQ(sent.size(), 1u) << "nothing is sent or queued while disconnected";
}

TEST_F(XPCClientTest, ConnectionLossesBackOffUpToThirtySecondsAndAcceptanceResetsTheCount) {
    std::vector<double> delays;
    for (int loss = 1; loss <= 7; ++loss) {
        fake.messaging->connections.back()->loseService();
        fake.queue->runUntilIdle();
        const auto due = fake.queue->nextDueIn();
        ASSERT_TRUE(due);
        delays.push_back(*due);
        fake.queue->advance(*due);
        ASSERT_EQ(fake.messaging->connections.size(), static_cast<std::size_t>(loss + 1));
    }
    EXPECT_EQ(delays, (std::vector<double>{1, 2, 4, 8, 16, 30, 30}));
    const auto lines = logLines();
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 4),
                ElementsAre("[XPCClient] connection invalidated — reconnecting",
                            "[XPCClient] reconnect attempt 1 in 1s",
                            "[XPCClient] connection invalidated — reconnecting",
                            "[XPCClient] reconnect attempt 2 in 2s"));
    EXPECT_EQ(lines.back(), "[XPCClient] reconnect attempt 7 in 30s");
    EXPECT_TRUE(fake.messaging->listeners.front()->invalidated);
    EXPECT_TRUE(connection(0).invalidated);

    connection(7).service->registrations.back().reply(true);
    fake.queue->runUntilIdle();
    EXPECT_EQ(client->reconnectAttempts, 0);
    EXPECT_EQ(fake.log->lines().back(), "[XPCClient] registerClient reply: ok");
    connection(7).service->registrations.back().reply(false);
    EXPECT_EQ(fake.log->lines().back(), "[XPCClient] registerClient reply: failed");
}

TEST_F(XPCClientTest, AnInterruptionRegistersAgainOnTheSameConnection) {
    client->reconnectAttempts = 3;
    connection().interrupt();
    fake.queue->runUntilIdle();
    EXPECT_EQ(fake.messaging->connections.size(), 1u);
    EXPECT_EQ(connection().service->registrations.size(), 2u);
    EXPECT_EQ(connection().service->settings.size(), 2u);
    EXPECT_EQ(client->reconnectAttempts, 3);
    EXPECT_THAT(logLines(),
                ElementsAre("[XPCClient] connection interrupted — re-registering client"));
}

TEST_F(XPCClientTest, ThePopoverStateIsToldAgainToAServiceMetAnew) {
    EXPECT_TRUE(connection().service->popover.empty()) << "nothing to tell before it is known";
    client->setPopoverOpen(true);
    connection().loseService();
    fake.queue->runUntilIdle();
    fake.queue->advance(1);
    EXPECT_EQ(connection(1).service->popover, std::vector<bool>{true});
    connection(1).interrupt();
    fake.queue->runUntilIdle();
    EXPECT_EQ(connection(1).service->popover, (std::vector<bool>{true, true}));
}

TEST_F(XPCClientTest, AReconnectFindingAConnectionDoesNothingAndOnlyOneIsPending) {
    connection().loseService();
    fake.queue->runUntilIdle();
    client->start(); // connects at once
    fake.queue->advance(60);
    EXPECT_EQ(fake.messaging->connections.size(), 2u);
    EXPECT_EQ(fake.queue->pendingCount(), 0u);
}

TEST_F(XPCClientTest, ProxyErrorsAreLoggedAndANonConformingProxySendsNothing) {
    connection().service->errorHandler("Connection refused");
    EXPECT_THAT(logLines(), ElementsAre("[XPCClient] proxy error: Connection refused"));
    connection().conforms = false;
    client->setPopoverOpen(true);
    settings.setTheme(QFThemeChoice::light);
    EXPECT_TRUE(connection().service->popover.empty());
    connection().conforms = true;
    client->setPopoverOpen(true);
    EXPECT_EQ(connection().service->popover, std::vector<bool>{true});
}

TEST_F(XPCClientTest, TheListenerConfiguresIncomingConnectionsWithTheEndpoint) {
    FakeConnection incoming("peer");
    EXPECT_TRUE(client->listenerShouldAcceptNewConnection(*fake.messaging->listeners[0], incoming));
    EXPECT_EQ(incoming.exportedInterface, QuillfenXPC::clientInterface());
    EXPECT_EQ(incoming.exportedObject, connection().exportedObject);
    EXPECT_TRUE(incoming.resumed);
}

class ClientEndpointTest : public XPCClientTest {
protected:
    ClientEndpoint endpoint{client};
};

TEST_F(ClientEndpointTest, SettingsFromTheServiceApplyWithoutBeingPushedBack) {
    connection().service->settings.clear();
    auto values = settings.values();
    values.temperatureUnit = TemperatureUnit::fahrenheit;
    endpoint.settingsDidUpdate(*json::encode(values));
    EXPECT_EQ(settings.temperatureUnit(), TemperatureUnit::celsius) << "applied on the main queue";
    fake.queue->runUntilIdle();
    EXPECT_EQ(settings.temperatureUnit(), TemperatureUnit::fahrenheit);
    EXPECT_TRUE(connection().service->settings.empty());
    EXPECT_FALSE(client->isApplyingRemoteChange);
}

TEST_F(ClientEndpointTest, BrokenSettingsChangeNothing) {
    const auto before = settings.values();
    endpoint.settingsDidUpdate(R"({"theme":"light"})");
    endpoint.settingsDidUpdate("");
    fake.queue->runUntilIdle();
    EXPECT_EQ(settings.values(), before);
    EXPECT_FALSE(client->isApplyingRemoteChange);
}

TEST_F(ClientEndpointTest, SnapshotsLandInTheStoreOnTheMainQueue) {
    SnapshotValues s;
    s.network = NetworkReading{1, 2};
    endpoint.snapshotDidUpdate(*json::encode(s));
    fake.queue->runUntilIdle();
    EXPECT_EQ(ClientSnapshotStore::shared().snapshot().network(), (NetworkReading{1, 2}));
}

TEST(QuillfenXPCInterfaces, EachListsExactlyItsMethods) {
    const auto members = [](const auto& iface) {
        std::vector<std::string> out;
        for (const auto& m : iface.methods)
            out.push_back(m.selector + " " + m.member + "(" + m.signature + ")");
        return out;
    };
    EXPECT_THAT(members(QuillfenXPC::serviceInterface()),
                ElementsAre("registerClientWithEndpoint:reply: RegisterClientWithEndpoint(s)",
                            "currentSnapshotWithReply: CurrentSnapshot()",
                            "setPopoverOpen: SetPopoverOpen(b)",
                            "applySettings: ApplySettings(ay)"));
    EXPECT_THAT(members(QuillfenXPC::clientInterface()),
                ElementsAre("snapshotDidUpdate: SnapshotDidUpdate(ay)",
                            "settingsDidUpdate: SettingsDidUpdate(ay)"));
}

} // namespace
} // namespace quillfen
