#pragma once

// The kernel's boot time as the sysctl {kCtlKern, kKernBoottime} hands it over: a time value
// of seconds and microseconds since 1970, 16 bytes.

#include <cstddef>
#include <cstdint>

namespace quillfen::platform::boottime {

inline constexpr int kKernBoottime = 21;

struct Timeval {
    std::int64_t seconds;
    std::int64_t microseconds;
};

static_assert(sizeof(Timeval) == 16);
static_assert(offsetof(Timeval, seconds) == 0);

} // namespace quillfen::platform::boottime
