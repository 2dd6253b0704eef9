#pragma once

#include "SystemSummary.h"

#include "model/SystemSnapshot.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// Every reading of a snapshot as a few lines of text for a terminal, formatted as the views
// format them; readings not known yet show as "—". `whyNoProcesses`, when not empty, follows
// the dash of processes not known yet.
std::string snapshotText(const SnapshotValues& snapshot, std::string_view whyNoProcesses = {});

// The "System" block, in the columns of snapshotText, without line breaks:
//   System     QEMU Standard PC, OS 12.5
//              up 3d 4h, load 0.52 0.61 0.70, swap 1 GB of 2 GB used
std::vector<std::string> systemLines(const SystemSummary& summary);

// "CPU 55°C  GPU —  memory 43°C  battery —  storage 45°C" in the user's unit.
std::string temperaturesText(const ThermalReading& thermal);
// "1045 rpm (1045 rpm, Off, 870 rpm)  range 200 rpm – 2000 rpm"
std::string fansText(const FanReading& fan);

} // namespace quillfen::cli
