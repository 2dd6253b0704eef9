#pragma once

#include "platform/SystemLog.h"

namespace quillfen::platform::linux {

// syslog(3), which the journal collects; echoed to standard error as well when the
// environment sets QUILLFEN_LOG_STDERR=1.
class LinuxSystemLog final : public SystemLog {
public:
    LinuxSystemLog();
    void write(std::string_view line) override;

private:
    bool echo_;
};

} // namespace quillfen::platform::linux
