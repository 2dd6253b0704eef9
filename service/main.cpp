#include "MonitoringService.h"

#include "platform/Platform.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Starts the service once the event loop runs, so a stop request can end it at any time.
class Launch final : public quillfen::platform::ApplicationDelegate {
public:
    void applicationDidFinishLaunching() override {
        service = std::make_unique<quillfen::MonitoringService>(QDBusConnection::sessionBus());
        service->start([this](const QString& error) {
            std::fprintf(stderr, "quillfen-service: %s\n", error.toLocal8Bit().constData());
            failed = true;
            quillfen::platform::current().application->terminate();
        });
    }
    std::unique_ptr<quillfen::MonitoringService> service;
    bool failed = false;
};

} // namespace

// The monitoring service: one sampling loop for every client on the session bus.
int main(int argc, char* argv[]) {
    if (argc > 1) {
        std::fprintf(stderr, "usage: %s\n", argv[0]);
        return 2;
    }
    QCoreApplication eventLoop(argc, argv);
    Launch launch;
    auto& app = *quillfen::platform::current().application;
    app.setDelegate(&launch);
    app.run();
    return launch.failed ? 1 : 0;
}
