#include "SensorsAgent.h"
#include "platform/Platform.h"

#include <QCoreApplication>

// The sensor helper: publishes fan speeds and temperatures once a second. QtCore only, so
// that a process that runs all day stays small.
int main(int argc, char* argv[]) {
    QCoreApplication eventLoop(argc, argv);
    auto& app = *quillfen::platform::current().application;
    const auto agent = std::make_shared<quillfen::SensorsAgent>();
    app.setDelegate(agent.get());
    app.setActivationPolicy(quillfen::platform::ActivationPolicy::accessory);
    app.run();
    return 0;
}
