#pragma once

#include "model/SystemSnapshot.h"

#include <string>

namespace quillfen::cli {

// Every reading of a snapshot as a few lines of text for a terminal, formatted as the views
// format them; readings not known yet show as "—".
std::string snapshotText(const SnapshotValues& snapshot);

// "CPU 55°C  GPU —  memory 43°C  battery —  storage 45°C" in the user's unit.
std::string temperaturesText(const ThermalReading& thermal);
// "1045 rpm (1045 rpm, Off, 870 rpm)  range 200 rpm – 2000 rpm"
std::string fansText(const FanReading& fan);

} // namespace quillfen::cli
