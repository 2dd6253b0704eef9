#include "platform/Platform.h"

#include "platform/linux/LinuxPlatform.h"

namespace quillfen::platform {
namespace {

Platform* installed = nullptr;

} // namespace

Platform& current() {
    if (installed) return *installed;
    static Platform system = linux::makePlatform();
    return system;
}

ScopedPlatform::ScopedPlatform(Platform& platform)
    : previous_(installed) {
    installed = &platform;
}

ScopedPlatform::~ScopedPlatform() {
    installed = previous_;
}

} // namespace quillfen::platform
