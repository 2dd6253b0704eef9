#include "platform/linux/LinuxMainQueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace quillfen::platform::linux {
namespace {

std::chrono::milliseconds toMilliseconds(double seconds) {
    if (!(seconds > 0)) return std::chrono::milliseconds(0);
    // QTimer takes an int of milliseconds; anything longer than ~24 days is clamped.
    const double ms = std::min(std::ceil(seconds * 1000.0), 2147483647.0);
    return std::chrono::milliseconds(static_cast<long long>(ms));
}

Cancellable schedule(double seconds, bool repeat, std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return Cancellable::make();
    auto* timer = new QTimer(app);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(!repeat);
    timer->setInterval(toMilliseconds(seconds));
    QPointer<QTimer> guard(timer);
    Cancellable handle = Cancellable::make([guard] {
        if (guard) guard->deleteLater();
    });
    QObject::connect(timer, &QTimer::timeout, timer, [timer, repeat, handle, work] {
        if (handle.isCancelled()) return;
        if (!repeat) timer->deleteLater();
        work();
    });
    timer->start();
    return handle;
}

} // namespace

void LinuxMainQueue::async(std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

Cancellable LinuxMainQueue::asyncAfter(double seconds, std::function<void()> work) {
    return schedule(seconds, false, std::move(work));
}

Cancellable LinuxMainQueue::repeating(double interval, std::function<void()> work) {
    return schedule(interval, true, std::move(work));
}

} // namespace quillfen::platform::linux
