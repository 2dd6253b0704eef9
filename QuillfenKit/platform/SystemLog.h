#pragma once

#include <string_view>

namespace quillfen::platform {

// The system log: one entry per call, the text taken literally (never as a format).
class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void write(std::string_view line) = 0;
};

} // namespace quillfen::platform
