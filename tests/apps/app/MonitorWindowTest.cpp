#include "MonitorWindow.h"
#include "MonitorCards.h"
#include "MonitorHeader.h"

#include "QuillfenKit/model/SnapshotSample.h"
#include "QuillfenKit/ui/UiTestSupport.h"

#include "SettingsScene/SettingsView.h"
#include "xpc/XPCClient.h"

#include <QAbstractButton>
#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quillfen::app {
namespace {

using quillfen::testing::populatedSnapshot;
using quillfen::testing::settle;

class MonitorWindowTest : public quillfen::testing::UiTest {
protected:
    MonitorWindowTest() { XPCClient::shared().start(); }

    std::vector<bool>& popover() { return fake.messaging->connections.at(0)->service->popover; }

    SystemSnapshot snapshot;
    MonitorWindow window{snapshot};
};

TEST_F(MonitorWindowTest, TellsTheServiceSomeoneLooksOnlyWhileItIsOnScreen) {
    EXPECT_TRUE(popover().empty()) << "nothing is said before the window shows";
    window.show();
    window.hide();
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    window.setWindowState(Qt::WindowNoState);
    window.close();
    EXPECT_THAT(popover(), ::testing::ElementsAre(true, false, true, false, true, false));
    window.hide();
    EXPECT_EQ(popover().size(), 6u) << "a repeated state is not told again";
}

TEST_F(MonitorWindowTest, SaysItIsConnectingUntilSnapshotsArriveAndWhenTheyStop) {
    EXPECT_FALSE(window.isConnected());
    EXPECT_EQ(window.header()->liveText(), "Connecting…");

    snapshot.apply(populatedSnapshot());
    EXPECT_TRUE(window.isConnected());
    EXPECT_EQ(window.header()->liveText(), "Live");
    fake.queue->advance(2.9);
    snapshot.apply(populatedSnapshot());
    fake.queue->advance(2.9);
    EXPECT_TRUE(window.isConnected()) << "each snapshot starts the wait afresh";
    fake.queue->advance(0.2);
    EXPECT_FALSE(window.isConnected());
    EXPECT_EQ(window.header()->liveText(), "Connecting…");

    snapshot.apply(populatedSnapshot());
    EXPECT_EQ(window.header()->liveText(), "Live") << "fills in as soon as snapshots flow again";
}

TEST_F(MonitorWindowTest, CardsWithoutReadingsMakeRoomForTheirNeighbours) {
    window.resize(1180, 820);
    window.show();
    ASSERT_TRUE(window.isTwoColumns());
    auto values = populatedSnapshot();
    values.gpu.reset();
    values.hasBattery = false;
    values.battery.reset();
    for (int i = 0; i < 3; ++i)
        snapshot.apply(values);
    settle();
    const auto* cpu = window.cards()[0];
    const auto* memory = window.cards()[1];
    const auto* sensors = window.sensorsCard();
    EXPECT_TRUE(window.gpuCard()->isNote());
    EXPECT_FALSE(window.batteryCard()->isVisible());
    EXPECT_EQ(memory->width(), cpu->width()) << "memory takes the row the GPU leaves";
    EXPECT_EQ(sensors->width(), cpu->width()) << "sensors take the battery's half too";

    values.gpu = GPUReading{.utilization = 0.1};
    values.hasBattery = true;
    values.battery = BatteryReading{.chargePercent = 0.5};
    snapshot.apply(values);
    settle();
    EXPECT_FALSE(window.gpuCard()->isNote());
    EXPECT_TRUE(window.batteryCard()->isVisible());
    EXPECT_LT(memory->width(), cpu->width() / 2 + 1);
    EXPECT_EQ(window.batteryCard()->width(), sensors->width());

    window.resize(800, 820);
    settle();
    EXPECT_FALSE(window.isTwoColumns());
    EXPECT_EQ(window.batteryCard()->width(), cpu->width()) << "one column when narrow";
}

TEST_F(MonitorWindowTest, WithoutTheHelperTheSensorsCardOpensTheGeneralSettings) {
    auto values = populatedSnapshot();
    values.sensorsAvailable = false;
    values.thermal.reset();
    values.fan.reset();
    snapshot.apply(values);
    ASSERT_TRUE(window.sensorsCard()->showsHelperPrompt());
    showSettingsWindow(SettingsView::Tab::about);
    window.sensorsCard()->setUpButton()->click();
    SettingsView* settings = nullptr;
    for (auto* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<SettingsView*>(w); v && v->isVisible()) settings = v;
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->tab(), SettingsView::Tab::general);
    settings->close();

    values.sensorsAvailable = true;
    values.thermal = ThermalReading{.cpuTemperatureC = 60};
    snapshot.apply(values);
    EXPECT_FALSE(window.sensorsCard()->showsHelperPrompt());
}

} // namespace
} // namespace quillfen::app
