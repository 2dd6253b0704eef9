#include "support/VersionCompare.h"

namespace quillfen {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view digitRun(std::string_view s, std::size_t& i) {
    const std::size_t start = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return s.substr(start, i - start);
}

// Compares two digit runs by value without converting them, so no run is too long.
int compareRuns(std::string_view a, std::string_view b) {
    while (a.size() > 1 && a.front() == '0')
        a.remove_prefix(1);
    while (b.size() > 1 && b.front() == '0')
        b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int compareNumeric(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            if (const int c = compareRuns(digitRun(a, i), digitRun(b, j)); c != 0) return c;
            continue;
        }
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    const bool aDone = i == a.size();
    const bool bDone = j == b.size();
    if (aDone && bDone) return 0;
    return aDone ? -1 : 1;
}

} // namespace quillfen
