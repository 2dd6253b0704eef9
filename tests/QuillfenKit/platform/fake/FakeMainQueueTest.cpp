#include "platform/fake/FakeMainQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillfen::platform::fake {
namespace {

class FakeMainQueueTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeMainQueue queue{clock};
    std::vector<std::string> ran;
    std::vector<double> at;

    std::function<void()> record(std::string name) {
        return [this, name] {
            ran.push_back(name);
            at.push_back(clock.monotonic());
        };
    }
};

TEST_F(FakeMainQueueTest, RunsWorkInDueOrderWithTheClockAtEachDueTime) {
    const double t0 = clock.monotonic();
    queue.asyncAfter(2, record("two"));
    queue.asyncAfter(1, record("one"));
    queue.async(record("now"));
    queue.asyncAfter(1, record("one-later"));
    EXPECT_TRUE(ran.empty());

    queue.advance(1.5);
    EXPECT_EQ(ran, (std::vector<std::string>{"now", "one", "one-later"}));
    EXPECT_EQ(at, (std::vector<double>{t0, t0 + 1, t0 + 1}));
    EXPECT_DOUBLE_EQ(clock.monotonic(), t0 + 1.5);

    queue.advance(0.5);
    EXPECT_EQ(ran.back(), "two");
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(FakeMainQueueTest, RepeatingKeepsItsScheduleUntilCancelledFromInside) {
    const double t0 = clock.monotonic();
    int fired = 0;
    Cancellable timer;
    timer = queue.repeating(1.0, [&] {
        at.push_back(clock.monotonic());
        if (++fired == 3) timer.cancel();
    });
    queue.advance(10);
    EXPECT_EQ(at, (std::vector<double>{t0 + 1, t0 + 2, t0 + 3}));
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(FakeMainQueueTest, WorkScheduledByWorkRunsInTheSameAdvanceWhenDue) {
    queue.async([&] {
        queue.async(record("nested-now"));
        queue.asyncAfter(3, record("nested-late"));
    });
    queue.runUntilIdle();
    EXPECT_EQ(ran, std::vector<std::string>{"nested-now"});
    EXPECT_EQ(queue.nextDueIn(), 3.0);
}

} // namespace
} // namespace quillfen::platform::fake
