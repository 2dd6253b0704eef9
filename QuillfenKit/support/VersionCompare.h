#pragma once

#include <string_view>

namespace quillfen {

// Orders version texts the way a person reads them: runs of digits compare as numbers
// (so 1.9 < 1.10), everything else byte by byte, no locale. When one text is a prefix
// of the other the shorter orders first, so 1 < 1.0 < 1.0.1.
// Returns a negative number, 0 or a positive number.
int compareNumeric(std::string_view a, std::string_view b);

} // namespace quillfen
