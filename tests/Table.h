#pragma once

#include <ostream>

namespace quillfen::testing {

// A row of a table-driven test. Rows print as their name, so that
// ::testing::PrintToStringParamName() names each case after it and failures show which.
struct Row {
    const char* name;
};

inline std::ostream& operator<<(std::ostream& os, const Row& row) {
    return os << row.name;
}

} // namespace quillfen::testing
