#include "settings/QFThemeChoice.h"

namespace quillfen {

std::string_view displayName(QFThemeChoice t) {
    switch (t) {
    case QFThemeChoice::multi:
        return "Multi";
    case QFThemeChoice::dual:
        return "Dual";
    case QFThemeChoice::mono:
        return "Mono";
    case QFThemeChoice::monoGray:
        return "Mono Gray";
    case QFThemeChoice::monoBlue:
        return "Mono Blue";
    case QFThemeChoice::light:
        return "Light";
    }
    return {};
}

std::string_view detail(QFThemeChoice t) {
    switch (t) {
    case QFThemeChoice::multi:
        return "Semantic color per metric";
    case QFThemeChoice::dual:
        return "Blue & amber duotone";
    case QFThemeChoice::mono:
        return "Single accent — amber";
    case QFThemeChoice::monoGray:
        return "Single accent — gray";
    case QFThemeChoice::monoBlue:
        return "Single accent — bright blue";
    case QFThemeChoice::light:
        return "Bright background";
    }
    return {};
}

} // namespace quillfen
