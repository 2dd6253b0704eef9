#pragma once

namespace quillfen::platform {

// Time as the kit reads it. Tests substitute a clock they advance by hand.
class Clock {
public:
    virtual ~Clock() = default;

    // Wall-clock time, seconds since 1970-01-01 00:00 UTC.
    virtual double now() const = 0;

    // Seconds on a clock that never steps backwards and keeps counting while the machine
    // sleeps; only differences between two readings mean anything.
    virtual double monotonic() const = 0;
};

} // namespace quillfen::platform
