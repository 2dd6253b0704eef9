#include "settings/MenuBarMetric.h"

namespace quillfen {

std::string_view displayName(MenuBarMetric m) {
    switch (m) {
    case MenuBarMetric::cpu:
        return "CPU %";
    case MenuBarMetric::gpu:
        return "GPU %";
    case MenuBarMetric::memory:
        return "Memory used";
    case MenuBarMetric::temperature:
        return "Temperature";
    case MenuBarMetric::battery:
        return "Battery %";
    case MenuBarMetric::netDown:
        return "Network ↓";
    case MenuBarMetric::netUp:
        return "Network ↑";
    }
    return {};
}

} // namespace quillfen
