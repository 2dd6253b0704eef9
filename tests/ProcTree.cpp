#include "ProcTree.h"

#include "TempDir.h"

namespace quillfen::testing {

void writeProcess(const std::filesystem::path& procRoot, const FakeProcess& p) {
    const auto dir = procRoot / std::to_string(p.pid);
    writeText(dir / "comm", p.comm + "\n");
    writeText(dir / "cmdline", p.cmdline);
    if (p.exe) std::filesystem::create_symlink(*p.exe, dir / "exe");
    if (!p.hasStat) return;
    // Fields 3 to 24 of the kernel's stat line, then a few more as the kernel writes them. A
    // process without program or arguments is a kernel thread, and flagged as one.
    const char* flags = !p.exe && p.cmdline.empty() ? " 0 -1 2129984 " : " 0 -1 4194560 ";
    const std::string stat =
        std::to_string(p.pid) + " (" + p.comm + ") S 1 " + std::to_string(p.pid) + " " +
        std::to_string(p.pid) + flags + "1200 0 3 0 " + std::to_string(p.userTicks) + " " +
        std::to_string(p.systemTicks) + " 0 0 20 0 1 0 " + std::to_string(p.startTicks) +
        " 104857600 " + std::to_string(p.residentPages) +
        " 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 3 0 0 0 0 0\n";
    writeText(dir / "stat", stat);
}

} // namespace quillfen::testing
