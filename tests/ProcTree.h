#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace quillfen::testing {

// One process of a procfs tree written for a test.
struct FakeProcess {
    std::int32_t pid = 0;
    std::string comm;
    // Target of the `exe` link; none for a kernel thread (which has no arguments either) or
    // another user's process.
    std::optional<std::string> exe;
    std::string cmdline; // arguments, each followed by a NUL
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    std::uint64_t residentPages = 0;
    // False leaves `stat` out, as for a process that ends while it is being read.
    bool hasStat = true;
    std::uint64_t startTicks = 5000; // since boot
};

// Writes the process's folder under `procRoot`: comm, stat, cmdline and the exe link.
void writeProcess(const std::filesystem::path& procRoot, const FakeProcess& process);

} // namespace quillfen::testing
