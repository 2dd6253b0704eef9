#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillfen {

// `text` made safe to show on one line of a log or a terminal: control characters (C0, DEL,
// C1, which steer terminals) and bytes that are not UTF-8 become "?", and a text longer than
// `maxBytes` is cut at a character boundary and ends in "…". Names from the system (process
// names, labels, versions from files) pass through here before they are shown.
std::string printable(std::string_view text, std::size_t maxBytes = std::string_view::npos);

} // namespace quillfen
