#pragma once

namespace quillfen {

// Whether work last done at `previous` (seconds since 1970; 0 = never) is due again at `now`:
// at least `interval` later. A wall clock set back restarts the window rather than holding
// the work off until the clock has caught up with `previous`.
inline bool isDue(double previous, double now, double interval) {
    const double since = now - previous;
    return !(previous > 0 && since >= 0 && since < interval);
}

} // namespace quillfen
