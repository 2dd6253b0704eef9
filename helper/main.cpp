#include "SensorsAgent.h"
#include "platform/Platform.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

// `--print`: one sample to standard output, the quickest way to see what the helper sees.
int printOnce() {
    const auto agent = std::make_shared<quillfen::SensorsAgent>();
    const auto text = quillfen::json::encode(agent->takeSample());
    if (!text) {
        std::fputs("quillfen-helper: the sensors reported a value that is not a number\n", stderr);
        return 1;
    }
    std::printf("%s\n", text->c_str());
    return 0;
}

} // namespace

// The sensor helper: publishes fan speeds and temperatures once a second. QtCore only, so
// that a process that runs all day stays small.
int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--print") == 0) return printOnce();
    if (argc > 1) {
        std::fprintf(stderr, "usage: %s [--print]\n", argv[0]);
        return 2;
    }
    QCoreApplication eventLoop(argc, argv);
    auto& app = *quillfen::platform::current().application;
    const auto agent = std::make_shared<quillfen::SensorsAgent>();
    app.setDelegate(agent.get());
    app.setActivationPolicy(quillfen::platform::ActivationPolicy::accessory);
    app.run();
    return 0;
}
