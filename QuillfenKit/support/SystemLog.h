#pragma once

#include <string_view>

namespace quillfen {

// Writes one line to the system log of the current platform.
void systemLog(std::string_view line);

} // namespace quillfen
