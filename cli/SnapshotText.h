#pragma once

#include "model/SystemSnapshot.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// "CPU 55°C  GPU —  memory 43°C  battery —  storage 45°C" in the user's unit.
std::string temperaturesText(const ThermalReading& thermal);
// "1045 rpm (1045 rpm, Off, 870 rpm)  range 200 rpm to 2000 rpm"
std::string fansText(const FanReading& fan);
// "range 0 rpm to 2000 rpm": the ends are speeds the fan is allowed, so a lowest speed of
// nought is "0 rpm" rather than the "Off" of a fan that stands still.
std::string fanRangeText(const RPMRange& range);

} // namespace quillfen::cli
