// libFuzzer target: the control-block list walker must stay inside the length it is given
// whatever the bytes claim. The input's first two bytes choose how much of the rest the
// "kernel" reports, so lengths shorter than the data are explored too.

#include "sampling/PCBListWalker.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t cut = (std::size_t(data[0]) << 8 | data[1]);
    // A copy of exactly the reported length, so any read beyond it is caught.
    const std::size_t reported = std::min(size - 2, cut);
    std::vector<std::uint8_t> list(data + 2, data + 2 + reported);
    quillfen::walkPCBList(list.data(), list.size());
    return 0;
}
