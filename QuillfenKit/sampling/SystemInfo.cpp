#include "sampling/SystemInfo.h"

#include "platform/BootTime.h"
#include "platform/Platform.h"
#include "platform/XswUsage.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace quillfen::SystemInfo {
namespace {

platform::Kernel& kernel() {
    return *platform::current().kernel;
}

// White space, line breaks and NUL padding at either end.
QString trimmedOfPadding(QString text) {
    const auto isPadding = [](QChar c) { return c.isNull() || c.isSpace(); };
    qsizetype begin = 0, end = text.size();
    while (begin < end && isPadding(text[begin]))
        ++begin;
    while (end > begin && isPadding(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<std::string> marketingName() {
    const auto entry = platform::current().registry->entryFromPath("IODeviceTree:/product");
    if (!entry) return std::nullopt;
    const auto value = entry->property("product-name");
    if (!value) return std::nullopt;
    QString text;
    if (const auto* bytes = std::get_if<platform::RegistryBytes>(&value->variant())) {
        // Invalid sequences become replacement characters.
        text = QString::fromUtf8(reinterpret_cast<const char*>(bytes->data()),
                                 static_cast<qsizetype>(bytes->size()));
    } else if (const auto* string = value->text()) {
        text = QString::fromStdString(*string);
    } else {
        return std::nullopt;
    }
    text = trimmedOfPadding(std::move(text));
    if (text.isEmpty()) return std::nullopt;
    return text.toStdString();
}

std::string machineName() {
    const auto name = marketingName();
    if (!name) return modelIdentifier();
    const std::string base = name->substr(0, name->find(" ("));
    // The first "<digits>-inch" of the whole name gives the screen size.
    for (std::size_t at = name->find("-inch"); at != std::string::npos;
         at = name->find("-inch", at + 1)) {
        std::size_t start = at;
        while (start > 0 && isDigit((*name)[start - 1]))
            --start;
        if (start < at) return base + " " + name->substr(start, at - start) + "\"";
    }
    return base;
}

std::string modelIdentifier() {
    std::size_t size = 0;
    if (kernel().sysctlByName("hw.model", nullptr, &size) != 0 || size < 1) return "Mac";
    std::vector<char> buffer(size, '\0');
    if (kernel().sysctlByName("hw.model", buffer.data(), &size) != 0) return "Mac";
    return std::string(buffer.data(), ::strnlen(buffer.data(), std::min(size, buffer.size())));
}

std::string osVersionString() {
    const auto v = kernel().operatingSystemVersion();
    // The minor number keeps the zeros its maker writes it with.
    const int minorDigits = std::clamp(v.minorDigits, 1, 18);
    char text[96];
    if (v.patchVersion != 0)
        std::snprintf(text, sizeof text, "%lld.%0*lld.%lld", static_cast<long long>(v.majorVersion),
                      minorDigits, static_cast<long long>(v.minorVersion),
                      static_cast<long long>(v.patchVersion));
    else
        std::snprintf(text, sizeof text, "%lld.%0*lld", static_cast<long long>(v.majorVersion),
                      minorDigits, static_cast<long long>(v.minorVersion));
    return text;
}

double uptimeSeconds() {
    int name[] = {platform::kCtlKern, platform::boottime::kKernBoottime};
    platform::boottime::Timeval boot{};
    std::size_t size = sizeof boot;
    if (kernel().sysctl(name, 2, &boot, &size) != 0) return 0;
    const double uptime = platform::current().clock->now() - static_cast<double>(boot.seconds);
    return uptime > 0 ? uptime : 0;
}

std::string uptimeString() {
    // Beyond any real uptime, and small enough to convert.
    const auto s = static_cast<std::int64_t>(std::min(uptimeSeconds(), 1e15));
    const std::int64_t days = s / 86400, hours = s % 86400 / 3600, minutes = s % 3600 / 60;
    if (s < 3600) return std::to_string(minutes) + "m";
    if (s < 86400) return std::to_string(hours) + "h " + std::to_string(minutes) + "m";
    return std::to_string(days) + "d " + std::to_string(hours) + "h";
}

LoadAverage loadAverage() {
    double samples[3] = {};
    if (kernel().loadAverage(samples, 3) != 3) return {};
    return {samples[0], samples[1], samples[2]};
}

std::uint64_t physicalMemoryBytes() {
    return kernel().physicalMemory();
}

SwapUsage swapUsage() {
    platform::swapusage::XswUsage usage{};
    std::size_t size = sizeof usage;
    if (kernel().sysctlByName("vm.swapusage", &usage, &size) != 0) return {};
    return {usage.used, usage.total};
}

} // namespace quillfen::SystemInfo
