#pragma once

#include "platform/Clock.h"

namespace quillfen::platform::linux {

class LinuxClock final : public Clock {
public:
    double now() const override;
    // CLOCK_BOOTTIME: monotonic and counting suspend.
    double monotonic() const override;
};

} // namespace quillfen::platform::linux
