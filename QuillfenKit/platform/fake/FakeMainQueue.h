#pragma once

#include "platform/MainQueue.h"
#include "platform/fake/FakeClock.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace quillfen::platform::fake {

// A main queue that runs work only when the test advances it, moving the clock to each
// piece of work's due time as it goes.
class FakeMainQueue final : public MainQueue {
public:
    explicit FakeMainQueue(FakeClock& clock)
        : clock_(clock) {}

    void async(std::function<void()> work) override;
    Cancellable asyncAfter(double seconds, std::function<void()> work) override;
    Cancellable repeating(double interval, std::function<void()> work) override;

    // Runs, in due order, everything that falls due within `seconds` (including work that
    // this work schedules), then leaves the clock `seconds` later than it was.
    void advance(double seconds);
    void runUntilIdle() { advance(0); }

    // Scheduled work that is neither cancelled nor spent.
    std::size_t pendingCount() const;
    // Seconds until the next pending work is due, if any.
    std::optional<double> nextDueIn() const;

private:
    struct Item {
        double due;
        std::uint64_t seq;
        double interval; // 0 for one-shot work
        std::function<void()> work;
        Cancellable handle;
    };
    Cancellable add(double delay, double interval, std::function<void()> work);

    FakeClock& clock_;
    mutable std::mutex mutex_;
    std::vector<Item> items_;
    std::uint64_t nextSeq_ = 0;
};

} // namespace quillfen::platform::fake
