#include "platform/linux/PCBListBuilder.h"

#include "platform/Kernel.h"
#include "platform/PCBList.h"
#include "platform/linux/KernelText.h"

#include <cerrno>
#include <chrono>

namespace quillfen::platform::linux {
namespace {

// /proc/net/dev is a line per interface; thousands of containers' veths stay well below this.
constexpr std::size_t kMaxNetDevBytes = 4 << 20;

template <typename T> void append(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void appendHeader(std::string& out, std::uint32_t count, std::uint64_t generation) {
    append(out, pcblist::GenerationHeader{sizeof(pcblist::GenerationHeader), count, generation,
                                          generation});
}

} // namespace

PCBListBuilder::PCBListBuilder(std::filesystem::path procRoot, std::filesystem::path sysRoot)
    : netDev_(procRoot / "net" / "dev", isLiveKernelTree(procRoot))
    , sysNet_(sysRoot / "class" / "net") {}

bool PCBListBuilder::isPhysical(const std::string& interface,
                                std::unordered_map<std::string, bool>& seen) {
    bool physical = false;
    if (const auto it = physical_.find(interface); it != physical_.end()) {
        physical = it->second;
    } else {
        // A real adapter has a parent device; interfaces made in software live under
        // devices/virtual and have none.
        std::error_code ec;
        physical = std::filesystem::exists(sysNet_ / interface / "device", ec);
    }
    seen.emplace(interface, physical);
    return physical;
}

std::string PCBListBuilder::build(Protocol protocol) {
    std::string out;
    ++generation_;
    if (protocol == Protocol::udp) {
        appendHeader(out, 0, generation_);
        appendHeader(out, 0, generation_);
        return out;
    }
    const auto text = netDev_.read(kMaxNetDevBytes);
    std::string records;
    std::uint32_t count = 0;
    // Only the interfaces of this listing are remembered, so names of containers' interfaces
    // that come and go do not pile up.
    std::unordered_map<std::string, bool> seen;
    std::string_view rest = text ? std::string_view(*text) : std::string_view();
    nextLine(rest); // two lines of column titles
    nextLine(rest);
    while (!rest.empty()) {
        const std::string_view line = nextLine(rest);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name(trim(line.substr(0, colon)));
        if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
            continue;
        std::string_view fields = line.substr(colon + 1);
        std::uint64_t column[10] = {};
        bool complete = true;
        for (auto& value : column) {
            const auto v = parseUnsigned(nextField(fields));
            if (!v) {
                complete = false;
                break;
            }
            value = *v;
        }
        if (!complete || !isPhysical(name, seen)) continue;
        pcblist::StatisticsRecord record{};
        record.header = {sizeof record, pcblist::kKindStatistics};
        record.blocks[0] = {column[1], column[0], column[9], column[8]};
        append(records, record);
        ++count;
    }
    physical_.swap(seen);
    appendHeader(out, count, generation_);
    out += records;
    appendHeader(out, count, generation_);
    return out;
}

int PCBListBuilder::read(Protocol protocol, void* oldp, std::size_t* oldlenp) {
    if (!oldlenp) return EINVAL;
    const auto now = std::chrono::steady_clock::now();
    if (!oldp) {
        // The list is built for the size query and kept for the read that follows it, so the
        // size is exact rather than a guess that a new interface could outgrow.
        sized_ = build(protocol);
        sizedProtocol_ = protocol;
        sizedAt_ = now;
        *oldlenp = sized_->size();
        return 0;
    }
    if (sized_ && sizedProtocol_ == protocol && now - sizedAt_ < kSizedListLifetime) {
        const std::string list = std::move(*sized_);
        sized_.reset();
        return answerSysctl(list, oldp, oldlenp);
    }
    return answerSysctl(build(protocol), oldp, oldlenp);
}

} // namespace quillfen::platform::linux
