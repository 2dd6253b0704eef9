#include "support/ProductVersion.h"

namespace quillfen {

std::string_view productVersion() {
    return QUILLFEN_PRODUCT_VERSION;
}

} // namespace quillfen
