#pragma once

#include "platform/Clock.h"

namespace quillfen::platform::fake {

// A clock that moves only when told. Advancing moves wall and monotonic time together;
// setNow jumps the wall clock alone, as a user changing the date would.
class FakeClock final : public Clock {
public:
    double now() const override { return wall_; }
    double monotonic() const override { return monotonic_; }

    void advance(double seconds) {
        wall_ += seconds;
        monotonic_ += seconds;
    }
    void setNow(double wall) { wall_ = wall; }

private:
    double wall_ = 1'700'000'000.0;
    double monotonic_ = 1000.0;
};

} // namespace quillfen::platform::fake
