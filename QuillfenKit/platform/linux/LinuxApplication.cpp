#include "platform/linux/LinuxApplication.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quillfen::platform::linux {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int) {
    const char byte = 1;
    // Nothing to do when the pipe is full: a wake-up is already pending.
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &byte, 1);
}

// Turns SIGTERM, SIGINT and SIGHUP (the terminal went away) into an event on the main loop (the
// self-pipe trick: a signal handler may do nothing but write to a descriptor).
void watchTerminationSignals(Application& app) {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [&app] {
        char buf[16];
        while (::read(signalPipe[0], buf, sizeof buf) > 0) {
        }
        app.terminate();
    });
    struct sigaction sa {};
    sa.sa_handler = onTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
}

} // namespace

int LinuxApplication::run() {
    if (!QCoreApplication::instance()) return 1;
    watchTerminationSignals(*this);
    QTimer::singleShot(0, QCoreApplication::instance(), [this] {
        if (delegate_ && !terminating_) delegate_->applicationDidFinishLaunching();
    });
    QCoreApplication::exec();
    return 0;
}

void LinuxApplication::terminate() {
    terminating_ = true;
    QCoreApplication::exit(0);
}

} // namespace quillfen::platform::linux
