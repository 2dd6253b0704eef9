#pragma once

#include "platform/Messaging.h"

#include <string_view>

namespace quillfen {

// The monitoring service's name on the session bus.
inline constexpr std::string_view kQuillfenServiceMachName = "com.brenvoll.pellgrove.service";

namespace QuillfenXPC {

inline constexpr std::string_view serviceInterfaceName = "com.brenvoll.pellgrove.QuillfenService";
inline constexpr std::string_view clientInterfaceName = "com.brenvoll.pellgrove.QuillfenClient";
inline constexpr std::string_view serviceObjectPath = "/com/brenvoll/pellgrove/service";
inline constexpr std::string_view clientObjectPath = "/com/brenvoll/pellgrove/client";

// Fresh descriptions on every call.
platform::InterfaceDescription serviceInterface();
platform::InterfaceDescription clientInterface();

} // namespace QuillfenXPC
} // namespace quillfen
