#include "platform/Kernel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quillfen::platform {

int answerSysctl(std::string_view value, void* oldp, std::size_t* oldlenp) {
    if (!oldlenp) return EINVAL;
    if (!oldp) {
        *oldlenp = value.size();
        return 0;
    }
    const std::size_t n = std::min(*oldlenp, value.size());
    std::memcpy(oldp, value.data(), n);
    *oldlenp = n;
    return n < value.size() ? ENOMEM : 0;
}

} // namespace quillfen::platform
