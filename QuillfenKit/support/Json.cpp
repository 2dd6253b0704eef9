#include "support/Json.h"

namespace quillfen::json {

bool allNumbersFinite(const Json& j) {
    switch (j.type()) {
    case Json::value_t::number_float:
        return std::isfinite(j.get<double>());
    case Json::value_t::object:
    case Json::value_t::array:
        for (const auto& e : j)
            if (!allNumbersFinite(e)) return false;
        return true;
    default:
        return true;
    }
}

std::optional<Json> parse(std::string_view text) {
    if (text.size() > kMaxDocumentBytes) return std::nullopt;
    Json j = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (j.is_discarded()) return std::nullopt;
    return j;
}

std::optional<std::string> dump(const Json& j) {
    if (!allNumbersFinite(j)) return std::nullopt;
    // Invalid UTF-8 in a text is replaced rather than thrown on: a sensor label read from the
    // system must not be able to stop a document from being written.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace quillfen::json
