#pragma once

#include "support/RawEnum.h"

namespace quillfen {

enum class MenuBarMetric { cpu, gpu, memory, temperature, battery, netDown, netUp };

inline constexpr RawEnum<MenuBarMetric, 7> kMenuBarMetrics{{{
    {MenuBarMetric::cpu, "cpu"},
    {MenuBarMetric::gpu, "gpu"},
    {MenuBarMetric::memory, "memory"},
    {MenuBarMetric::temperature, "temperature"},
    {MenuBarMetric::battery, "battery"},
    {MenuBarMetric::netDown, "netDown"},
    {MenuBarMetric::netUp, "netUp"},
}}};

inline std::string_view rawValue(MenuBarMetric m) {
    return kMenuBarMetrics.raw(m);
}
std::string_view displayName(MenuBarMetric m);

inline void to_json(json::Json& j, MenuBarMetric m) {
    kMenuBarMetrics.encode(j, m);
}
inline bool from_json(const json::Json& j, MenuBarMetric& m) {
    return kMenuBarMetrics.decode(j, m);
}

} // namespace quillfen
