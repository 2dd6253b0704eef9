#include "PopoverPlacement.h"
#include "PopoverWindow.h"

#include "QuillfenKit/ui/UiTestSupport.h"
#include "model/SystemSnapshot.h"
#include "ui/QFStatTile.h"
#include "xpc/XPCClient.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace quillfen::menu {
namespace {

using quillfen::testing::settle;
using ::testing::ElementsAre;

TEST(PopoverPlacement, BesideTheTrayItemOrInTheCornerNearestTheCursor) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(380, 600);
    struct Case {
        const char* what;
        std::optional<QRect> item;
        QPoint cursor;
        QPoint expected;
    };
    const std::vector<Case> cases{
        {"below an item in a top panel", QRect(1000, 0, 24, 24), {}, {822, 28}},
        {"above an item in a bottom panel", QRect(1000, 1056, 24, 24), {}, {822, 452}},
        {"kept on screen at the right edge", QRect(1890, 0, 24, 24), {}, {1532, 28}},
        {"kept on screen at the left edge", QRect(2, 1056, 24, 24), {}, {8, 452}},
        {"no geometry: top right", std::nullopt, {1900, 10}, {1532, 8}},
        {"no geometry: bottom left", std::nullopt, {5, 1070}, {8, 472}},
        {"an empty geometry counts as none", QRect(), {1900, 1070}, {1532, 472}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(popoverPosition(size, c.item, screen, c.cursor), c.expected) << c.what;
    // A second screen to the right, with a panel on top.
    EXPECT_EQ(popoverPosition(size, std::nullopt, QRect(1920, 30, 1280, 994), {3100, 40}),
              QPoint(1920 + 1280 - 8 - 380, 38));
}

class Popover : public quillfen::testing::UiTest {
protected:
    Popover() { XPCClient::shared().start(); }

    std::vector<bool>& told() { return fake.messaging->connections.at(0)->service->popover; }

    SystemSnapshot snapshot;
    std::vector<std::string> done;
    MenuActions actions{[this] { done.push_back("open"); }, [this] { done.push_back("settings"); },
                        [this] { done.push_back("quit"); }};
    PopoverWindow popover{snapshot, actions, PopoverWindow::Mode::popover, false};
};

TEST_F(Popover, TellsTheServiceItIsOpenWhileShownAndClosesOnEscapeSecondClickAndFocusLoss) {
    EXPECT_TRUE(told().empty()) << "nothing is said before it shows";

    popover.toggle(std::nullopt);
    EXPECT_TRUE(popover.isVisible());
    popover.toggle(std::nullopt); // the second click
    EXPECT_FALSE(popover.isVisible());

    popover.toggle(std::nullopt);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&popover, &escape);
    EXPECT_FALSE(popover.isVisible());

    popover.toggle(std::nullopt);
    settle();
    QWidget elsewhere;
    elsewhere.show();
    settle();
    QApplication::setActiveWindow(&elsewhere);
    settle();
    EXPECT_FALSE(popover.isVisible()) << "closed when another window took the focus";
    // The click on the item that took the focus away must not open it again…
    popover.toggle(std::nullopt);
    EXPECT_FALSE(popover.isVisible());
    // …but a later click does.
    fake.clock->advance(1);
    popover.toggle(std::nullopt);
    EXPECT_TRUE(popover.isVisible());
    popover.hide();
    popover.hide();

    EXPECT_THAT(told(), ElementsAre(true, false, true, false, true, false, true, false));
}

TEST_F(Popover, WithoutATrayItIsAWindowThatEscapeDoesNotClose) {
    PopoverWindow window(snapshot, actions, PopoverWindow::Mode::window, false);
    window.showAt(std::nullopt);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_THAT(told(), ElementsAre(true));
    window.close();
    EXPECT_THAT(told(), ElementsAre(true, false));
}

TEST_F(Popover, FooterButtonsCloseThePopoverAndDoTheirAction) {
    for (const char* title : {"Open Quillfen", "Settings…", "Quit"}) {
        popover.showAt(std::nullopt);
        QAbstractButton* button = nullptr;
        for (auto* b : popover.findChildren<QAbstractButton*>())
            if (b->text() == QString::fromUtf8(title)) button = b;
        ASSERT_TRUE(button) << title;
        button->click();
        EXPECT_FALSE(popover.isVisible()) << title;
    }
    EXPECT_THAT(done, ElementsAre("open", "settings", "quit"));
}

// Processes arrive a few seconds after the popover opens, and other sections with their first
// readings: the panel grows with them (up to a share of the screen, then the readings scroll)
// and stays beside the item, and its buttons stay in view.
TEST_F(Popover, GrowsWithItsContentAndKeepsTheFooterInView) {
    const QRect item(1000, 0, 24, 24);
    popover.showAt(item);
    const QRect before = popover.geometry();

    ProcessReading processes;
    for (int pid = 1; pid <= 5; ++pid)
        processes.topByCPU.push_back({pid, "process", std::nullopt, 10.0 * pid, 1u << 20});
    processes.topByMemory = processes.topByCPU;
    snapshot.setProcesses(processes);
    snapshot.setBattery(BatteryReading{.chargePercent = 0.5});
    settle();

    EXPECT_GT(popover.height(), before.height());
    EXPECT_LE(popover.height(), popover.screen()->availableGeometry().height() * 0.8 + 1);
    EXPECT_EQ(popover.geometry().top(), before.top()) << "still hangs below the item";
    for (auto* button : popover.findChildren<QAbstractButton*>()) {
        if (button->text() != "Quit") continue;
        const QRect shown(button->mapTo(&popover, QPoint(0, 0)), button->size());
        EXPECT_TRUE(popover.panelRect().contains(shown)) << "the buttons are cut off";
        return;
    }
    ADD_FAILURE() << "no Quit button";
}

TEST_F(Popover, ShowsTheReadingsWithTemperaturesInTheUsersUnit) {
    AppSettings::shared().setTemperatureUnit(TemperatureUnit::fahrenheit);
    SnapshotValues v;
    v.cpu = CPUReading{.overall = 0.42, .user = 0.3, .system = 0.12};
    v.memory = MemoryReading{.total = 16ull << 30, .app = 6ull << 30};
    v.network = NetworkReading{.bytesInPerSec = 2048, .bytesOutPerSec = 512};
    v.thermal = ThermalReading{.cpuTemperatureC = 50};
    snapshot.apply(v);
    PopoverWindow shadowed(snapshot, actions, PopoverWindow::Mode::popover, true);
    shadowed.showAt(std::nullopt);
    const auto tiles = [&] {
        std::map<QString, QString> shown;
        for (auto* tile : shadowed.findChildren<QFStatTile*>())
            shown[tile->options().label] = tile->options().value;
        return shown;
    };
    EXPECT_EQ(tiles(), (std::map<QString, QString>{{"CPU", "42%"},
                                                   {"GPU", "—"},
                                                   {"Disk read", "—"},
                                                   {"Memory", "6 GB"},
                                                   {"Network ↓", "2 KB/s"},
                                                   {"Temperature", "122°F"}}));
    // Later readings arrive while it is shown.
    snapshot.setCpu(CPUReading{.overall = 0.07});
    settle();
    EXPECT_EQ(tiles()["CPU"], "7%");
    // The shadow margin surrounds a panel 380 points wide.
    EXPECT_EQ(shadowed.panelRect().width(), PopoverWindow::panelWidth);
    EXPECT_GT(shadowed.panelRect().left(), 0);
}

} // namespace
} // namespace quillfen::menu
