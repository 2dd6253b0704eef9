#pragma once

#include <functional>
#include <memory>

namespace quillfen::platform {

// Handle to scheduled work. Cancelling stops work that has not run yet (and every later
// firing of a repeating timer); it is harmless on a handle whose work already ran or on an
// empty handle. Copies share one state.
class Cancellable {
public:
    Cancellable() = default;

    // For queue implementations: `onCancel` releases whatever keeps the work scheduled.
    static Cancellable make(std::function<void()> onCancel = {});

    void cancel();
    bool isCancelled() const;
    bool isEmpty() const { return !state_; }

private:
    struct State {
        bool cancelled = false;
        std::function<void()> onCancel;
    };
    std::shared_ptr<State> state_;
};

// The main thread's event queue: everything that touches the kit's state runs here.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    // Runs `work` on the main thread after the current event. Safe to call from any thread.
    virtual void async(std::function<void()> work) = 0;

    // Runs `work` once on the main thread after `seconds` on the monotonic clock.
    // Main thread only.
    virtual Cancellable asyncAfter(double seconds, std::function<void()> work) = 0;

    // Runs `work` on the main thread every `interval` seconds, first one interval from now,
    // until cancelled. Firings keep to the schedule rather than drifting with the work's
    // duration. Main thread only.
    virtual Cancellable repeating(double interval, std::function<void()> work) = 0;
};

} // namespace quillfen::platform
