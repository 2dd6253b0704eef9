#pragma once

#include <vector>

namespace quillfen::gallery {

// Sixty-second histories shaped like a real machine's, the same on every run.
struct SampleData {
    std::vector<double> cpuUser, cpuSystem;  // fractions
    std::vector<double> gpu;                 // fraction
    std::vector<double> memory;              // used fraction
    std::vector<double> netIn, netOut;       // bytes per second
    std::vector<double> diskRead, diskWrite; // bytes per second
    std::vector<double> cores;               // load per core, one idle and one flat out
};

SampleData makeSampleData();

} // namespace quillfen::gallery
