#include "platform/linux/LinuxSystemLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <syslog.h>

namespace quillfen::platform::linux {

LinuxSystemLog::LinuxSystemLog() {
    const char* echo = std::getenv("QUILLFEN_LOG_STDERR");
    echo_ = echo && std::strcmp(echo, "1") == 0;
}

void LinuxSystemLog::write(std::string_view line) {
    const std::string text(line);
    ::syslog(LOG_NOTICE, "%s", text.c_str());
    if (echo_) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
}

} // namespace quillfen::platform::linux
