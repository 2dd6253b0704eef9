// libFuzzer target: the samplers reading /proc files of any content, through the Linux
// kernel port on a folder of the target's own. The first byte picks the file; the rest, up to
// its first NUL, is what the first read sees and what follows it the second. Whatever the
// files hold, a reading is in range: fractions within 0…1, memory that adds up to no more
// than the machine has.

#include "platform/fake/FakePlatform.h"
#include "platform/linux/LinuxKernel.h"
#include "sampling/CPUSampler.h"
#include "sampling/MemorySampler.h"
#include "sampling/NetworkSampler.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;
using namespace quillfen;

void check(bool ok) {
    if (!ok) std::abort();
}

bool fraction(double v) {
    return std::isfinite(v) && v >= 0 && v <= 1 + 1e-9;
}

// The folder the "kernel" lives in, made once: three physical interfaces and a zram disk.
const fs::path& root() {
    static const fs::path path = [] {
        char name[] = "/tmp/quillfen-fuzz-XXXXXX";
        if (!::mkdtemp(name)) std::abort();
        fs::create_directories(fs::path(name) / "proc/net");
        for (const char* interface : {"eth0", "enp5s0", "wlp4s0"})
            fs::create_directories(fs::path(name) / "sys/class/net" / interface / "device");
        fs::create_directories(fs::path(name) / "sys/block/zram0");
        return fs::path(name);
    }();
    return path;
}

void write(const fs::path& file, std::string_view text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
}

void cpu(const fs::path& stat, std::string_view first, std::string_view second) {
    CPUSampler sampler;
    write(stat, first);
    sampler.sample();
    sampler.sampleOverallOnly();
    write(stat, second);
    for (const auto& reading : {sampler.sample(), sampler.sampleOverallOnly()}) {
        if (!reading) continue;
        for (const double core : reading->perCore)
            check(fraction(core));
        check(fraction(reading->user) && fraction(reading->system) && fraction(reading->idle));
        check(fraction(reading->overall));
    }
}

void memory(std::string_view meminfo, std::string_view zram) {
    write(root() / "proc/meminfo", meminfo);
    write(root() / "sys/block/zram0/mm_stat", zram);
    if (const auto reading = MemorySampler().sample()) {
        check(reading->used() <= reading->total);
        check(reading->available <= reading->total - reading->used());
    }
}

void network(platform::fake::FakePlatform& fake, std::string_view first, std::string_view second) {
    NetworkSampler sampler;
    write(root() / "proc/net/dev", first);
    sampler.sample();
    fake.clock->advance(1);
    write(root() / "proc/net/dev", second);
    sampler.sample();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto nul = input.find('\0');
    const std::string_view first = std::string_view(input).substr(0, nul);
    const std::string_view second =
        nul == std::string::npos ? first : std::string_view(input).substr(nul + 1);

    platform::fake::FakePlatform fake;
    fake.platform.kernel =
        std::make_shared<platform::linux::LinuxKernel>(root() / "proc", root() / "sys", 4096);
    switch (data[0] % 3) {
    case 0:
        cpu(root() / "proc/stat", first, second);
        break;
    case 1:
        memory(first, second);
        break;
    default:
        network(fake, first, second);
        break;
    }
    return 0;
}
