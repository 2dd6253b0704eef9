#include "support/SystemLog.h"

#include "platform/Platform.h"

namespace quillfen {

void systemLog(std::string_view line) {
    platform::current().systemLog->write(line);
}

} // namespace quillfen
