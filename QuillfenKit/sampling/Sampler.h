#pragma once

#include "model/SystemSnapshot.h"
#include "platform/MainQueue.h"
#include "sampling/BatterySampler.h"
#include "sampling/CPUSampler.h"
#include "sampling/DiskSampler.h"
#include "sampling/DiskUsageSampler.h"
#include "sampling/GPUSampler.h"
#include "sampling/MemorySampler.h"
#include "sampling/NetworkSampler.h"
#include "sampling/ProcessSampler.h"

#include <functional>
#include <memory>

namespace quillfen {

// The sampling loop: fills a snapshot tick by tick and reports each tick. A tick is full
// while someone looks at the details (the popover is open, a full sample is forced, or the
// user keeps sampling with the popover closed); otherwise it samples only what the menu bar
// shows, with the cheap variants and no history points, and never disks, volumes or
// processes. The interval is measured from the end of one tick to the start of the next, so
// ticks never overlap. Main thread only.
class Sampler {
public:
    explicit Sampler(SystemSnapshot& snapshot);
    ~Sampler();
    Sampler(const Sampler&) = delete;
    Sampler& operator=(const Sampler&) = delete;

    // Runs a tick at once and then one every `interval` seconds; replaces a running loop.
    void start(double interval);
    // Harmless when nothing runs.
    void stop();

    SystemSnapshot& snapshot;
    // Called after every tick.
    std::function<void()> didTick;
    // Makes every tick full until cleared.
    bool forceFullSample = false;

private:
    struct Loop;
    static void run(const std::shared_ptr<Loop>& loop);
    void tick();

    CPUSampler cpu;
    GPUSampler gpu;
    MemorySampler memory;
    NetworkSampler network;
    DiskSampler disk;
    DiskUsageSampler diskUsage;
    ProcessSampler processes;
    BatterySampler battery;
    std::shared_ptr<Loop> task;
    // The loop holds the sampler only through this, so it never outlives it.
    std::shared_ptr<Sampler*> self_;
};

} // namespace quillfen
