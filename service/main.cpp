#include "MonitoringService.h"

#include "platform/Platform.h"
#include "platform/linux/DBusMessaging.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Starts the service once the event loop runs, so a stop request can end it at any time.
class Launch final : public quillfen::platform::ApplicationDelegate {
public:
    void applicationDidFinishLaunching() override {
        service = std::make_shared<quillfen::MonitoringService>();
        service->start([this](const std::string& error) {
            std::fprintf(stderr, "quillfen-service: %s\n", error.c_str());
            failed = true;
            quillfen::platform::current().application->terminate();
        });
    }
    std::shared_ptr<quillfen::MonitoringService> service;
    bool failed = false;
};

} // namespace

// The monitoring service: one sampling loop for every client on the session bus.
int main(int argc, char* argv[]) {
    if (argc > 1) {
        std::fprintf(stderr, "usage: %s\n", argv[0]);
        return 2;
    }
    // Qt's own event dispatcher does less per wakeup than the GLib one, and the service has
    // no GLib sources to share a loop with. It wakes every second all day.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication eventLoop(argc, argv);
    quillfen::platform::dbus::enableDBus();
    Launch launch;
    auto& app = *quillfen::platform::current().application;
    app.setDelegate(&launch);
    app.run();
    return launch.failed ? 1 : 0;
}
