#pragma once

#include "support/RawEnum.h"

namespace quillfen {

enum class TemperatureUnit { celsius, fahrenheit };

inline constexpr RawEnum<TemperatureUnit, 2> kTemperatureUnits{
    {{{TemperatureUnit::celsius, "celsius"}, {TemperatureUnit::fahrenheit, "fahrenheit"}}}};

inline std::string_view rawValue(TemperatureUnit u) {
    return kTemperatureUnits.raw(u);
}
inline std::string_view displayName(TemperatureUnit u) {
    return u == TemperatureUnit::fahrenheit ? "Fahrenheit (°F)" : "Celsius (°C)";
}
inline std::string_view suffix(TemperatureUnit u) {
    return u == TemperatureUnit::fahrenheit ? "°F" : "°C";
}

inline void to_json(json::Json& j, TemperatureUnit u) {
    kTemperatureUnits.encode(j, u);
}
inline bool from_json(const json::Json& j, TemperatureUnit& u) {
    return kTemperatureUnits.decode(j, u);
}

} // namespace quillfen
