#include "platform/linux/LinuxMainQueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimerEvent>

#include <chrono>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace quillfen::platform::linux {
namespace {

std::chrono::milliseconds toMilliseconds(double seconds) {
    if (!(seconds > 0)) return std::chrono::milliseconds(0);
    // Qt timers take an int of milliseconds; anything longer than ~24 days is clamped.
    const double ms = std::min(std::ceil(seconds * 1000.0), 2147483647.0);
    return std::chrono::milliseconds(static_cast<long long>(ms));
}

// Every timer of the main queue, held by one object on the application. A single shot costs
// no timer object of its own: creating one for each tick and deleting it later would wake
// the event loop once more each time.
class Timers final : public QObject {
public:
    explicit Timers(QObject* parent)
        : QObject(parent) {}

    static Timers* of(QCoreApplication* app) {
        // Tests may make the application anew; the timers go with the old one.
        static QPointer<Timers> timers;
        if (!timers || timers->parent() != app) timers = new Timers(app);
        return timers;
    }

    Cancellable start(double seconds, bool repeat, std::function<void()> work) {
        const int id = startTimer(toMilliseconds(seconds), Qt::PreciseTimer);
        if (id == 0) return Cancellable::make();
        auto entry = std::make_shared<Entry>(Entry{repeat, std::move(work), true});
        entries_[id] = entry;
        QPointer<Timers> self(this);
        // Timer numbers are reused once a timer is stopped: a handle whose work has run or
        // been cancelled must not stop a later timer that got its number.
        std::weak_ptr<Entry> weak = entry;
        return Cancellable::make([self, id, weak] {
            const auto e = weak.lock();
            if (self && e && e->active) self->stop(id);
        });
    }

protected:
    void timerEvent(QTimerEvent* event) override {
        const int id = event->timerId();
        const auto it = entries_.find(id);
        if (it == entries_.end()) {
            killTimer(id);
            return;
        }
        // Held while it runs: the work may cancel its own timer.
        const std::shared_ptr<Entry> entry = it->second;
        if (!entry->repeat) stop(id);
        entry->work();
    }

private:
    struct Entry {
        bool repeat;
        std::function<void()> work;
        bool active; // until stopped: fired once, or cancelled
    };

    void stop(int id) {
        killTimer(id);
        if (const auto it = entries_.find(id); it != entries_.end()) {
            it->second->active = false;
            entries_.erase(it);
        }
    }

    std::unordered_map<int, std::shared_ptr<Entry>> entries_;
};

} // namespace

void LinuxMainQueue::async(std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

Cancellable LinuxMainQueue::asyncAfter(double seconds, std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return Cancellable::make();
    return Timers::of(app)->start(seconds, false, std::move(work));
}

Cancellable LinuxMainQueue::repeating(double interval, std::function<void()> work) {
    auto* app = QCoreApplication::instance();
    if (!app) return Cancellable::make();
    return Timers::of(app)->start(interval, true, std::move(work));
}

} // namespace quillfen::platform::linux
