#include "sampling/CPUTopology.h"

#include "platform/Platform.h"

#include <QString>

#include <cstring>
#include <vector>

namespace quillfen {

std::string CPUTopology::chipName() const {
    constexpr std::string_view prefix = "Apple ";
    if (brandString.starts_with(prefix)) return brandString.substr(prefix.size());
    return brandString;
}

const CPUTopology& CPUTopology::current() {
    static const CPUTopology topology = read();
    return topology;
}

CPUTopology CPUTopology::read() {
    CPUTopology t;
    t.brandString = sysctlString("machdep.cpu.brand_string").value_or("Mac");
    t.totalCount = sysctlInt("hw.ncpu").value_or(0);
    t.performanceCount = sysctlInt("hw.perflevel0.physicalcpu").value_or(t.totalCount);
    const auto levels = sysctlInt("hw.nperflevels");
    t.efficiencyCount =
        levels && *levels >= 2 ? sysctlInt("hw.perflevel1.physicalcpu").value_or(0) : 0;
    return t;
}

std::optional<std::string> CPUTopology::sysctlString(std::string_view name) {
    auto& kernel = *platform::current().kernel;
    std::size_t size = 0;
    // No text the kernel names a processor by comes near this; a larger claim is not trusted
    // with an allocation.
    constexpr std::size_t kMaxTextBytes = 64 << 10;
    if (kernel.sysctlByName(name, nullptr, &size) != 0 || size < 1 || size > kMaxTextBytes)
        return std::nullopt;
    std::vector<char> buffer(size, '\0');
    if (kernel.sysctlByName(name, buffer.data(), &size) != 0) return std::nullopt;
    const std::size_t length = ::strnlen(buffer.data(), std::min(size, buffer.size()));
    // Invalid UTF-8 becomes replacement characters rather than failing the read.
    return QString::fromUtf8(buffer.data(), static_cast<qsizetype>(length)).trimmed().toStdString();
}

std::optional<std::int64_t> CPUTopology::sysctlInt(std::string_view name) {
    std::uint64_t value = 0;
    std::size_t size = sizeof value;
    if (platform::current().kernel->sysctlByName(name, &value, &size) != 0) return std::nullopt;
    return static_cast<std::int64_t>(value);
}

} // namespace quillfen
