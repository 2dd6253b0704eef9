// What any Qt process pays to do the least the service does while only the menu bar is shown:
// wake once a second, read the first line of /proc/stat and send one document of the
// snapshot's size to one client as a one-way call on the session bus, the way the service
// sends it (from the main thread, not through QtDBus's thread). bench/service-load
// --menu-bar runs it beside the service, so the service's figure can be read against it.
//   quillfen-bus-floor --sink          prints its bus name and takes what it is sent
//   quillfen-bus-floor NAME [BYTES]    sends BYTES (default 12288) to NAME every second

#include "platform/linux/DirectBusSender.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Takes every call in silence, as the service's clients do: an unknown path would be answered
// with an error, and the sender would pay a second wakeup a second to read it.
class Sink final : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
    QString introspect(const QString&) const override { return {}; }
};

} // namespace

int main(int argc, char* argv[]) {
    // As the service runs.
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s --sink | NAME [BYTES]\n", argv[0]);
        return 2;
    }
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return 1;
    if (std::string(argv[1]) == "--sink") {
        Sink sink;
        if (!bus.registerVirtualObject("/floor", &sink)) return 1;
        std::printf("%s\n", qPrintable(bus.baseService()));
        std::fflush(stdout);
        return app.exec();
    }
    const std::string destination = argv[1];
    const std::string document(argc > 2 ? std::stoul(argv[2]) : 12288, '0');
    quillfen::platform::dbus::DirectBusSender sender;
    const quillfen::platform::dbus::DirectBusSender::Call call(destination, "/floor",
                                                               "quillfen.Floor", "Take");
    if (!sender.isConnected() || !call.isValid()) return 1;
    const int stat = ::open("/proc/stat", O_RDONLY | O_CLOEXEC);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        char line[512];
        if (::pread(stat, line, sizeof line, 0) < 0) std::perror("/proc/stat");
        sender.send(call, document);
    });
    timer.start(1000);
    return app.exec();
}
