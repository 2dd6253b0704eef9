#include "sampling/Sampler.h"

#include "model/AppState.h"
#include "platform/Platform.h"
#include "sensors/SensorBridge.h"
#include "settings/AppSettings.h"

#include <algorithm>

namespace quillfen {

struct Sampler::Loop {
    double interval = 1;
    bool cancelled = false;
    platform::Cancellable pending;
    std::weak_ptr<Sampler*> sampler;
    // Weak: the queue holds the loop's next step, which holds the loop.
    std::weak_ptr<platform::MainQueue> queue;
};

Sampler::Sampler(SystemSnapshot& s)
    : snapshot(s)
    , self_(std::make_shared<Sampler*>(this)) {}

Sampler::~Sampler() {
    // The loop can do nothing without its sampler; it ends with it rather than idling on.
    stop();
}

void Sampler::start(double interval) {
    stop();
    task = std::make_shared<Loop>();
    task->interval = interval;
    task->sampler = self_;
    task->queue = platform::current().mainQueue;
    // The first tick runs at once, as soon as the main queue is free.
    task->pending = platform::current().mainQueue->asyncAfter(0, [loop = task] { run(loop); });
}

void Sampler::stop() {
    if (!task) return;
    task->cancelled = true;
    task->pending.cancel();
    task.reset();
}

void Sampler::run(const std::shared_ptr<Loop>& loop) {
    if (loop->cancelled) return;
    const auto self = loop->sampler.lock();
    if (!self) return;
    Sampler& sampler = **self;
    sampler.tick();
    // didTick may stop the loop, or start another one.
    if (!loop->cancelled && sampler.didTick) sampler.didTick();
    if (loop->cancelled) return;
    if (const auto queue = loop->queue.lock())
        loop->pending = queue->asyncAfter(loop->interval, [loop] { run(loop); });
}

void Sampler::tick() {
    auto& settings = AppSettings::shared();
    const std::vector<MenuBarMetric>& metrics = settings.menuBarMetrics();
    const bool full = forceFullSample || AppState::shared().popoverIsOpen() ||
                      !settings.pauseSamplingWhenClosed();
    const auto shows = [&](MenuBarMetric m) {
        return std::find(metrics.begin(), metrics.end(), m) != metrics.end();
    };
    using H = SystemSnapshot::History;

    if (full || shows(MenuBarMetric::cpu)) {
        if (auto r = full ? cpu.sample() : cpu.sampleOverallOnly()) {
            const double user = r->user, system = r->system;
            snapshot.setCpu(std::move(r));
            if (full) {
                snapshot.append(H::cpuUser, user);
                snapshot.append(H::cpuSystem, system);
            }
        }
    }
    if (full || shows(MenuBarMetric::gpu)) {
        if (auto r = full ? gpu.sample() : gpu.sampleOverallOnly()) {
            const double utilization = r->utilization;
            snapshot.setGpu(std::move(r));
            if (full) snapshot.append(H::gpu, utilization);
        }
    }
    if (full || shows(MenuBarMetric::memory)) {
        if (auto r = memory.sample()) {
            const std::uint64_t used = r->app + r->wired + r->compressed;
            const double fraction =
                r->total == 0 ? 0.0 : static_cast<double>(used) / static_cast<double>(r->total);
            snapshot.setMemory(std::move(r));
            if (full) snapshot.append(H::memoryUsed, fraction);
        }
    }
    if (full || shows(MenuBarMetric::netDown) || shows(MenuBarMetric::netUp)) {
        if (auto r = network.sample()) {
            const auto in = r->bytesInPerSec, out = r->bytesOutPerSec;
            snapshot.setNetwork(std::move(r));
            if (full) {
                snapshot.append(H::netIn, static_cast<double>(in));
                snapshot.append(H::netOut, static_cast<double>(out));
            }
        }
    }
    if (full || shows(MenuBarMetric::temperature)) {
        auto payload = SensorBridge::readAccepted(platform::current().clock->now());
        snapshot.setThermal(payload ? payload->thermal : std::nullopt);
        snapshot.setFan(payload ? payload->fan : std::nullopt);
        snapshot.setSensorsAvailable(payload.has_value());
    }
    if (full || shows(MenuBarMetric::battery)) {
        if (auto r = battery.sample()) snapshot.setBattery(std::move(r));
        if (const auto known = battery.hasInternalBattery()) snapshot.setHasBattery(*known);
    }
    if (!full) return;
    if (auto r = disk.sample()) {
        const auto read = r->bytesReadPerSec, written = r->bytesWrittenPerSec;
        snapshot.setDisk(std::move(r));
        snapshot.append(H::diskRead, static_cast<double>(read));
        snapshot.append(H::diskWrite, static_cast<double>(written));
    }
    if (auto r = diskUsage.sample()) snapshot.setDiskUsage(std::move(*r));
    if (auto r = processes.sample()) snapshot.setProcesses(std::move(r));
}

} // namespace quillfen
