#pragma once

#include "support/RawEnum.h"

namespace quillfen {

enum class QFThemeChoice { multi, dual, mono, monoGray, monoBlue, light };

inline constexpr RawEnum<QFThemeChoice, 6> kThemeChoices{{{
    {QFThemeChoice::multi, "multi"},
    {QFThemeChoice::dual, "dual"},
    {QFThemeChoice::mono, "mono"},
    {QFThemeChoice::monoGray, "monoGray"},
    {QFThemeChoice::monoBlue, "monoBlue"},
    {QFThemeChoice::light, "light"},
}}};

inline std::string_view rawValue(QFThemeChoice t) {
    return kThemeChoices.raw(t);
}
std::string_view displayName(QFThemeChoice t);
std::string_view detail(QFThemeChoice t);
inline bool isLight(QFThemeChoice t) {
    return t == QFThemeChoice::light;
}
inline bool isMono(QFThemeChoice t) {
    return t == QFThemeChoice::mono || t == QFThemeChoice::monoGray || t == QFThemeChoice::monoBlue;
}
// The menu-bar item is drawn as a template image, tinted by the system.
inline bool menuBarUsesTemplate(QFThemeChoice t) {
    return t == QFThemeChoice::monoGray;
}

inline void to_json(json::Json& j, QFThemeChoice t) {
    kThemeChoices.encode(j, t);
}
inline bool from_json(const json::Json& j, QFThemeChoice& t) {
    return kThemeChoices.decode(j, t);
}

} // namespace quillfen
