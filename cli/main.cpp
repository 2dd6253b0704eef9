#include "Commands.h"

#include "platform/linux/DBusMessaging.h"

#include <QCoreApplication>

#include <iostream>

// The command-line client: `quillfen <command> …`.
int main(int argc, char* argv[]) {
    QCoreApplication eventLoop(argc, argv);
    quillfen::platform::dbus::enableDBus();
    return quillfen::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                              std::cerr);
}
