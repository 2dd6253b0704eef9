// From the service's tick to the clients' snapshot store: the service and five clients in
// one process on a private session bus, sampling in full, for twenty ticks. Prints the
// median and worst latency to the first and to the fifth client. One process and one
// thread is the pessimistic case: the five clients decode one after another.

#include "MonitoringService.h"
#include "model/ClientSnapshotStore.h"
#include "platform/linux/DBusMessaging.h"
#include "xpc/XPCClient.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus.waitForReadyRead(5000)) return 1;
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());

    QCoreApplication app(argc, argv);
    quillfen::platform::dbus::enableDBus();
    const auto running = std::make_shared<quillfen::MonitoringService>();
    auto& service = *running;
    service.start([](const std::string& e) { std::fprintf(stderr, "%s\n", e.c_str()); });

    std::vector<std::shared_ptr<quillfen::XPCClient>> clients;
    for (int i = 0; i < 5; ++i) {
        clients.push_back(std::make_shared<quillfen::XPCClient>());
        clients.back()->start();
        clients.back()->setPopoverOpen(true);
    }

    Clock::time_point tickEnd;
    int arrivals = 0;
    std::vector<double> first, fifth;
    // A full tick appends the disk history last, just before the service sends.
    QObject::connect(&service.snapshot(), &quillfen::SystemSnapshot::diskWriteHistoryChanged, [&] {
        tickEnd = Clock::now();
        arrivals = 0;
    });
    QObject::connect(
        &quillfen::ClientSnapshotStore::shared().snapshot(),
        &quillfen::SystemSnapshot::diskWriteHistoryChanged, [&] {
            if (tickEnd == Clock::time_point()) return; // before the first full tick
            const double ms =
                std::chrono::duration<double, std::milli>(Clock::now() - tickEnd).count();
            if (++arrivals == 1) first.push_back(ms);
            if (arrivals == 5) fifth.push_back(ms);
            if (fifth.size() == 20) app.quit();
        });
    QTimer::singleShot(40'000, &app, [&] {
        std::fprintf(stderr, "clients registered: %zu, ticks seen: %zu\n", service.clientCount(),
                     first.size());
        app.quit();
    });
    app.exec();
    bus.kill();
    bus.waitForFinished();
    if (first.empty() || fifth.empty()) {
        std::fprintf(stderr, "no snapshots arrived\n");
        return 1;
    }
    std::printf("tick → first client's store: median %.3f ms, worst %.3f ms (%zu ticks)\n",
                median(first), *std::max_element(first.begin(), first.end()), first.size());
    std::printf("tick → fifth client's store: median %.3f ms, worst %.3f ms\n", median(fifth),
                *std::max_element(fifth.begin(), fifth.end()));
    return 0;
}
