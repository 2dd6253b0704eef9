#pragma once

#include <string_view>

namespace quillfen {

// The version of Quillfen this program was built as (the project's version).
std::string_view productVersion();

} // namespace quillfen
