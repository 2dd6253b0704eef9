#pragma once

#include "platform/MainQueue.h"

namespace quillfen::platform::linux {

// The main queue on the Qt event loop of the process's QCoreApplication (or a subclass),
// which must exist before work is scheduled; without one, work is dropped.
class LinuxMainQueue final : public MainQueue {
public:
    void async(std::function<void()> work) override;
    Cancellable asyncAfter(double seconds, std::function<void()> work) override;
    Cancellable repeating(double interval, std::function<void()> work) override;
};

} // namespace quillfen::platform::linux
