#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen {

// `url` with `items` (name, value) appended to its query. The existing query keeps its exact
// text; names and values are percent-encoded completely, "+" included, which a web server
// would otherwise read as a blank. Nothing when `url` is not an absolute URL.
std::optional<std::string>
appendingQueryItems(std::string_view url,
                    const std::vector<std::pair<std::string, std::string>>& items);

} // namespace quillfen
