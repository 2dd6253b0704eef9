#pragma once

#include "platform/Platform.h"

namespace quillfen::platform::linux {

// Every port backed by the running Linux system.
Platform makePlatform();

} // namespace quillfen::platform::linux
