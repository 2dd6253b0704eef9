// quillfen-app: the monitor window (or, with --settings, only the settings window), a client of
// the monitoring service.

#include "AppLaunch.h"
#include "MonitorWindow.h"

#include "model/ClientSnapshotStore.h"
#include "platform/Platform.h"
#include "platform/linux/DBusMessaging.h"
#include "ui/QFQuillfenMark.h"
#include "xpc/XPCClient.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <iostream>
#include <memory>

int main(int argc, char* argv[]) {
    using namespace quillfen;
    QApplication application(argc, argv);
    QApplication::setApplicationName("Quillfen");
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName("com.brenvoll.pellgrove");
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(qfQuillfenAppIconImage(256))));

    // Qt has taken its own options out of argv by now.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const auto parsed = app::parseArguments(arguments);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << "quillfen-app: " << *error << "\n" << app::kUsage;
        return 2;
    }
    const auto& options = std::get<app::LaunchOptions>(parsed);
    if (options.help) {
        std::cout << app::kUsage;
        return 0;
    }

    platform::dbus::enableDBus();
    app::installLoginItemHandler();
    app::followThemeInApplicationPalette();
    // The session bus starts the service on the first message when it is not running.
    XPCClient::shared().start();

    std::unique_ptr<app::MonitorWindow> window;
    if (options.settingsOnly) {
        showSettingsWindow(options.tab);
    } else {
        window = std::make_unique<app::MonitorWindow>(ClientSnapshotStore::shared().snapshot());
        window->show();
    }
    // Once the window is up: these look at files and processes.
    platform::current().mainQueue->async([] { app::runHelperManagement(); });
    return application.exec();
}
