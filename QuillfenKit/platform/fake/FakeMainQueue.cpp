#include "platform/fake/FakeMainQueue.h"

#include <algorithm>

namespace quillfen::platform::fake {
namespace {

// A zero interval would make one advance spin forever.
constexpr double kMinimumInterval = 1e-4;

} // namespace

Cancellable FakeMainQueue::add(double delay, double interval, std::function<void()> work) {
    Cancellable handle = Cancellable::make();
    std::lock_guard lock(mutex_);
    items_.push_back(Item{clock_.monotonic() + std::max(delay, 0.0), nextSeq_++, interval,
                          std::move(work), handle});
    return handle;
}

void FakeMainQueue::async(std::function<void()> work) {
    add(0, 0, std::move(work));
}

Cancellable FakeMainQueue::asyncAfter(double seconds, std::function<void()> work) {
    return add(seconds, 0, std::move(work));
}

Cancellable FakeMainQueue::repeating(double interval, std::function<void()> work) {
    interval = std::max(interval, kMinimumInterval);
    return add(interval, interval, std::move(work));
}

void FakeMainQueue::advance(double seconds) {
    const double target = clock_.monotonic() + std::max(seconds, 0.0);
    for (;;) {
        Item item;
        {
            std::lock_guard lock(mutex_);
            std::erase_if(items_, [](const Item& i) { return i.handle.isCancelled(); });
            auto it =
                std::min_element(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
                    return a.due != b.due ? a.due < b.due : a.seq < b.seq;
                });
            if (it == items_.end() || it->due > target) break;
            item = std::move(*it);
            items_.erase(it);
        }
        if (item.due > clock_.monotonic()) clock_.advance(item.due - clock_.monotonic());
        if (item.interval > 0) {
            // Rescheduled before it runs, so the work may cancel its own timer.
            std::lock_guard lock(mutex_);
            items_.push_back(
                Item{item.due + item.interval, nextSeq_++, item.interval, item.work, item.handle});
        }
        item.work();
    }
    if (target > clock_.monotonic()) clock_.advance(target - clock_.monotonic());
}

std::size_t FakeMainQueue::pendingCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        items_.begin(), items_.end(), [](const Item& i) { return !i.handle.isCancelled(); }));
}

std::optional<double> FakeMainQueue::nextDueIn() const {
    std::lock_guard lock(mutex_);
    std::optional<double> next;
    for (const auto& i : items_)
        if (!i.handle.isCancelled() && (!next || i.due < *next)) next = i.due;
    if (!next) return std::nullopt;
    return *next - clock_.monotonic();
}

} // namespace quillfen::platform::fake
