#pragma once

namespace quillfen::platform {

enum class ActivationPolicy { regular = 0, accessory = 1, prohibited = 2 };

class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    // Called once on the main thread when the event loop has started.
    virtual void applicationDidFinishLaunching() = 0;
};

// The process's shared application object and its event loop.
class Application {
public:
    virtual ~Application() = default;

    // Not owned; must outlive the event loop.
    virtual void setDelegate(ApplicationDelegate* delegate) = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    // Brings the application's windows in front of other applications'.
    virtual void activateIgnoringOtherApps() = 0;

    // Runs the event loop: calls the delegate's applicationDidFinishLaunching once the loop
    // is up, and returns when the loop ends.
    virtual int run() = 0;

    // Ends the process through the normal way out of the event loop. Work already in
    // progress on the main thread must check `isTerminating()` and stop at once.
    virtual void terminate() = 0;
    virtual bool isTerminating() const = 0;
};

} // namespace quillfen::platform
