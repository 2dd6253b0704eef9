// quillfen-menu: the menu-bar app. A tray item whose icon shows the chosen metric chips, with a
// popover of the readings; a client of the monitoring service. At login it starts with its
// tray item only.

#include "MenuActions.h"
#include "PopoverWindow.h"
#include "TrayItem.h"

#include "model/ClientSnapshotStore.h"
#include "platform/linux/DBusMessaging.h"
#include "support/SystemLog.h"
#include "ui/QFQuillfenMark.h"
#include "xpc/XPCClient.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace {

using namespace quillfen;

constexpr const char* kUsage =
    "usage: quillfen-menu [--popover]\n"
    "  Shows the tray item; --popover also opens the popover at once.\n"
    "  QUILLFEN_TRAY_ICON=wide|square: how the tray host shows icons (default square).\n";

// Whether a compositing manager runs, so that a translucent margin shows as a shadow and not
// as a black frame.
bool windowSystemComposites() {
    const QString platformName = QGuiApplication::platformName();
    if (platformName.startsWith(QLatin1String("wayland"))) return true;
    if (platformName != QLatin1String("xcb")) return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* c = x11->connection();
    const std::string name = "_NET_WM_CM_S0";
    const auto atomCookie = xcb_intern_atom(c, 1, std::uint16_t(name.size()), name.c_str());
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, atomCookie, nullptr);
    if (!atom) return false;
    const bool composites = atom->atom != XCB_ATOM_NONE && [&] {
        auto* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
        const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        return owned;
    }();
    std::free(atom);
    return composites;
}

// Nearly every tray host squeezes an icon into a square; a host that shows wide icons is
// named by the user.
menu::TrayShape trayShape() {
    const char* asked = std::getenv("QUILLFEN_TRAY_ICON");
    return asked && std::strcmp(asked, "wide") == 0 ? menu::TrayShape::wide
                                                    : menu::TrayShape::square;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quillfen Menu");
    QGuiApplication::setDesktopFileName("com.brenvoll.pellgrove.menu");
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(qfQuillfenAppIconImage(256))));

    bool openPopover = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--popover") == 0) {
            openPopover = true;
        } else {
            std::cerr << (std::strcmp(argv[i], "--help") == 0 ? ""
                                                              : "quillfen-menu: unknown option\n")
                      << kUsage;
            return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
        }
    }

    platform::dbus::enableDBus();
    // The session bus starts the service on the first message when it is not running.
    XPCClient::shared().start();

    auto& snapshot = ClientSnapshotStore::shared().snapshot();
    const auto actions = menu::systemMenuActions();
    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    menu::PopoverWindow popover(snapshot, actions,
                                tray ? menu::PopoverWindow::Mode::popover
                                     : menu::PopoverWindow::Mode::window,
                                tray && windowSystemComposites());
    std::unique_ptr<menu::TrayItem> item;
    if (tray) {
        // The popover closing leaves the tray item running.
        QApplication::setQuitOnLastWindowClosed(false);
        item = std::make_unique<menu::TrayItem>(snapshot, popover, actions, trayShape());
        item->show();
        if (openPopover) popover.showAt(std::nullopt);
    } else {
        const std::string line =
            "[QuillfenMenu] this desktop has no system tray; showing the readings in a window";
        std::cerr << "quillfen-menu: this desktop has no system tray; showing the readings in a "
                     "window instead\n";
        systemLog(line);
        popover.showAt(std::nullopt);
    }
    return application.exec();
}
