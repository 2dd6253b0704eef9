// libFuzzer target: the readers of /proc, /sys and desktop-entry text. Whatever the bytes,
// they return or refuse without reading outside their input, and what this system writes in
// each format (or the kernel's escaping of it) reads back as it was. The first byte picks the
// reader; the rest is its input.

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/KernelText.h"
#include "platform/linux/MachineIdentity.h"
#include "platform/linux/MountInfo.h"
#include "platform/linux/ProcessTable.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace quillfen::platform::linux;

void check(bool ok) {
    if (!ok) std::abort();
}

// The kernel's escaping of a path in mountinfo: blanks, newlines and backslashes as "\ooo".
std::string kernelEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto u = static_cast<unsigned char>(c);
            out += '\\';
            out += static_cast<char>('0' + (u >> 6));
            out += static_cast<char>('0' + ((u >> 3) & 7));
            out += static_cast<char>('0' + (u & 7));
        } else {
            out += c;
        }
    }
    return out;
}

void numbers(std::string_view text) {
    const auto u = parseUnsigned(text);
    std::uint64_t expected = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), expected);
    const bool digitsOnly = !text.empty() && text.front() != '-' && text.front() != '+';
    check(u.has_value() == (digitsOnly && ec == std::errc() && end == text.data() + text.size()));
    if (u) check(*u == expected);
    parseSigned(text);
    parseHex(text);
    if (const auto cpus = parseCPUList(text))
        for (const unsigned cpu : *cpus)
            check(cpu < kMaxProcessors);
}

void mounts(std::string_view text) {
    parseMountInfo(text);
    // A path escaped as the kernel writes it comes back whole, wherever it stands.
    const std::string path(text.substr(0, text.find('\0')));
    check(decodeOctalEscapes(kernelEscaped(path)) == path);
    if (path.empty()) return;
    const auto parsed = parseMountInfo("36 35 8:1 / " + kernelEscaped(path) + " rw - ext4 " +
                                       kernelEscaped(path) + " rw\n");
    check(parsed.size() == 1 && parsed[0].mountPoint == path && parsed[0].source == path);
}

void desktopEntry(std::string_view text) {
    desktop::parse(text);
    desktop::execArguments(text);
    desktop::execProgram(text);
    // A program and a name written into an entry read back as they were.
    const std::string program(text.substr(0, text.find('\0')));
    if (program.empty()) return;
    const auto entry = desktop::parse(
        desktop::format({{"Name", std::string(text)}, {"Exec", desktop::execValue(program)}}));
    check(entry.has_value());
    check(desktop::execProgram(entry->at("Exec")) == program);
    const auto blank = [](char c) { return c == '\v' || c == '\f'; };
    if (!blank(text.front()) && !blank(text.back())) check(entry->at("Name") == text);
}

void processStat(std::string_view text) {
    parseProcessStat(text);
    // Any command name, parentheses and blanks included, is read back whole.
    const std::string comm(text.substr(0, 64));
    const std::string line = "42 (" + comm +
                             ") S 1 42 42 0 -1 4194560 1 0 0 0 7 8 0 0 20 0 1 0 "
                             "99 4096 12 18446744073709551615\n";
    const auto stat = parseProcessStat(line);
    check(stat && stat->comm == comm && stat->userTicks == 7 && stat->systemTicks == 8 &&
          stat->startTicks == 99 && stat->residentPages == 12);
}

void osRelease(std::string_view text) {
    osReleaseValue(text, "VERSION_ID");
    isPlaceholder(text);
    const auto version = parseVersionNumbers(text);
    if (version)
        check(version->majorVersion >= 0 && version->minorVersion >= 0 &&
              version->patchVersion >= 0);
    // Three numbers as a release names them come back as they were, whatever follows.
    if (text.size() < 24) return;
    std::int64_t parts[3];
    for (int i = 0; i < 3; ++i) {
        std::uint64_t bits = 0;
        for (int b = 0; b < 8; ++b)
            bits = bits << 8 | static_cast<unsigned char>(text[i * 8 + b]);
        parts[i] = static_cast<std::int64_t>(bits >> 1);
    }
    const auto tail = text.substr(24);
    const std::string written = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." +
                                std::to_string(parts[2]) + std::string(tail);
    const auto read = parseVersionNumbers(written);
    check(read && read->majorVersion == parts[0] && read->minorVersion == parts[1]);
    if (tail.empty() || tail.front() < '0' || tail.front() > '9')
        check(read->patchVersion == parts[2]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // A copy of exactly the input, so any read beyond it is caught.
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0:
        numbers(input);
        break;
    case 1:
        mounts(input);
        break;
    case 2:
        desktopEntry(input);
        break;
    case 3:
        processStat(input);
        break;
    default:
        osRelease(input);
        break;
    }
    return 0;
}
