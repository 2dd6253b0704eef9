#include "SampleData.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace quillfen::gallery {
namespace {

constexpr int kPoints = 60;

// A smoothed random walk around `base` with occasional bursts that decay.
std::vector<double> traffic(std::mt19937& rng, double base, double noise, double burstChance,
                            double burstHeight, double decay) {
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> out;
    double burst = 0, level = base;
    for (int i = 0; i < kPoints; ++i) {
        if (unit(rng) < burstChance) burst = burstHeight * (0.6 + 0.4 * unit(rng));
        burst *= decay;
        level = 0.7 * level + 0.3 * (base + noise * (unit(rng) - 0.5) * 2);
        out.push_back(std::max(0.0, level + burst));
    }
    return out;
}

} // namespace

SampleData makeSampleData() {
    std::mt19937 rng(20240611);
    SampleData d;
    d.cpuUser = traffic(rng, 0.16, 0.05, 0.08, 0.45, 0.82);
    d.cpuSystem = traffic(rng, 0.06, 0.02, 0.06, 0.12, 0.8);
    d.gpu = traffic(rng, 0.22, 0.08, 0.05, 0.5, 0.9);
    for (int i = 0; i < kPoints; ++i)
        d.memory.push_back(0.58 + 0.05 * std::sin(i / 9.0) + 0.0006 * i);
    // A download of a few megabytes a second over an idle line, a little upload beside it.
    d.netIn = traffic(rng, 18e3, 12e3, 0.04, 4.8e6, 0.9);
    d.netOut = traffic(rng, 9e3, 6e3, 0.06, 6.2e5, 0.7);
    d.diskRead = traffic(rng, 40e3, 40e3, 0.05, 38e6, 0.6);
    d.diskWrite = traffic(rng, 120e3, 80e3, 0.07, 21e6, 0.75);
    d.cores = {0.72, 0.18, 0.0, 0.41, 1.0, 0.09, 0.33, 0.56, 0.04, 0.27, 0.88, 0.13};
    return d;
}

} // namespace quillfen::gallery
