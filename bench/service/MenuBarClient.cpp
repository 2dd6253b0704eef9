// A stand-in for the menu-bar app with its popover closed: registers with the monitoring
// service on the session bus and takes every snapshot the service sends, but never says the
// popover is open, so the service samples only what the menu bar shows. bench/service-load
// --menu-bar measures the service against it: what the service costs all day while the
// tray item is up.

#include "platform/Platform.h"
#include "platform/linux/DBusMessaging.h"
#include "xpc/XPCClient.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    quillfen::platform::dbus::enableDBus();
    auto& client = quillfen::XPCClient::shared();
    client.start();
    client.setPopoverOpen(false);
    struct Run final : quillfen::platform::ApplicationDelegate {
        void applicationDidFinishLaunching() override {}
    } run;
    auto& application = *quillfen::platform::current().application;
    application.setDelegate(&run);
    application.run();
    return 0;
}
