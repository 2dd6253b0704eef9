#include "platform/linux/LinuxClock.h"

#include <ctime>

namespace quillfen::platform::linux {
namespace {

double read(clockid_t id) {
    timespec ts{};
    ::clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

} // namespace

double LinuxClock::now() const {
    return read(CLOCK_REALTIME);
}
double LinuxClock::monotonic() const {
    return read(CLOCK_BOOTTIME);
}

} // namespace quillfen::platform::linux
